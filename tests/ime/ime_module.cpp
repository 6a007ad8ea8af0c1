// Test support: the input-method module loaded with its exports found.
#include "tests/ime/ime_module.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

std::string MakeScratchFolder() {
    char pattern[] = "/tmp/tavo_ime_XXXXXX";
    const char *made = mkdtemp(pattern);
    return made ? made : "";
}

// Everything the module reads at its attach points into the folder.
void PointProcessAt(const std::string &folder) {
    setenv("TAVO_WINDOWS_DIR", folder.c_str(), 1);
    setenv("TAVO_SYSTEM_DIR", folder.c_str(), 1);
    setenv("TAVO_REGISTRY", (folder + "/registry").c_str(), 1);
    setenv("TAVO_SOUND", ("capture:" + folder + "/sound.wav").c_str(), 1);
}

template <typename Function> void Find(HMODULE library, Function &function, const char *name) {
    function =
        reinterpret_cast<Function>(reinterpret_cast<void (*)(void)>(GetProcAddress(library, name)));
}

std::string createdFolder;

ImeModule Load() {
    ImeModule module{};
    module.folder = createdFolder = MakeScratchFolder();
    PointProcessAt(module.folder);
    module.library = LoadLibraryA(TAVO_MODULE_FILE);
    Find(module.library, module.ImeInquire, "ImeInquire");
    Find(module.library, module.ImeSelect, "ImeSelect");
    Find(module.library, module.ImeSetActiveContext, "ImeSetActiveContext");
    Find(module.library, module.DllMain, "DllMain");
    return module;
}

// The folder goes with the process.
struct FolderRemover {
    ~FolderRemover() {
        if (!createdFolder.empty())
            std::filesystem::remove_all(createdFolder);
    }
} remover;

} // namespace

const ImeModule &TestModule() {
    static const ImeModule module = Load();
    return module;
}

FARPROC ModuleExport(const char *name) {
    return GetProcAddress(TestModule().library, name);
}

std::string ScratchFile(const std::string &name) {
    return TestModule().folder + "/" + name;
}

void WriteFile(const std::string &path, const std::string &bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadFile(const std::string &path) {
    std::ostringstream bytes;
    bytes << std::ifstream(path, std::ios::binary).rdbuf();
    return bytes.str();
}

std::string SoundLog() {
    return ReadFile(ScratchFile("sound.wav.log"));
}
