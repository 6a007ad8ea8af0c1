// Test support: images built with the tree file writer, and scratch folders.
#include "tests/core/test_image.h"

#include "dict/treefile.h"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

ScratchDir::ScratchDir() {
    static std::atomic<int> serial{0};
    root = (std::filesystem::temp_directory_path() /
            ("tavo-test-" + std::to_string(getpid()) + "-" + std::to_string(serial++)))
               .string();
    std::filesystem::create_directories(root);
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
}

std::string ScratchDir::path(const std::string &name) const {
    return root + "/" + name;
}

HANDLE CreateScratchFile(const std::string &path) {
    return CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, NULL);
}

std::vector<BYTE> ReadWholeFile(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<BYTE>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<BYTE> BuildImage(const char *id, const ImageEntries &entries) {
    ScratchDir dir;
    std::string path = dir.path("image.db");
    HANDLE file = CreateScratchFile(path);
    treefile *tf = treefile_create(file, id);
    for (const auto &[key, data] : entries)
        treefile_insertData(tf, key.c_str(), data.data(), (DWORD)data.size());
    treefile_close(tf);
    CloseHandle(file);
    return ReadWholeFile(path);
}
