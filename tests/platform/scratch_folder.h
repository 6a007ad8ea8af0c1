// A private temporary folder for a test, removed with its content.
#ifndef TAVO_TESTS_SCRATCH_FOLDER_H
#define TAVO_TESTS_SCRATCH_FOLDER_H

#include <cstdlib>
#include <filesystem>
#include <string>

class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tavo-XXXXXX").string();
        path_ = std::filesystem::canonical(mkdtemp(pattern.data())).string();
    }
    ~ScratchFolder() { std::filesystem::remove_all(path_); }
    ScratchFolder(const ScratchFolder &) = delete;
    ScratchFolder &operator=(const ScratchFolder &) = delete;

    const std::string &path() const { return path_; }
    std::string file(const std::string &name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

#endif
