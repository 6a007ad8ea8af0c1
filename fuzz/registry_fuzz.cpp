// The registry file reader on arbitrary files: the settings read as the
// modules read them, then one value written; every line that is not a key
// or value of this format must come through the write as it stood.
#include "platform/platform.h"

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

const char kKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\VEXAIME";
const char *const kNames[] = {"Dot Keys", "Speech", "Font Size", "", "\xA7\x41", "x"};

std::string registryFile() {
    static std::string path = [] {
        char name[] = "/dev/shm/tavo-registry-fuzz-XXXXXX";
        if (!mkdtemp(name)) {
            std::perror("mkdtemp");
            std::abort();
        }
        static std::string made = name;
        std::atexit([] { std::filesystem::remove_all(made); });
        std::string file = std::string(name) + "/registry";
        setenv("TAVO_REGISTRY", file.c_str(), 1);
        return file;
    }();
    return path;
}

std::string readWhole(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void queryAll(HKEY key) {
    for (const char *name : kNames) {
        BYTE buffer[64];
        WCHAR wide[32];
        DWORD type = 0, size = 0;
        RegQueryValueExA(key, name, nullptr, &type, nullptr, &size);
        for (DWORD room : {DWORD(0), DWORD(1), DWORD(4), DWORD(sizeof buffer)}) {
            size = room;
            RegQueryValueExA(key, name, nullptr, &type, buffer, &size);
        }
        std::u16string wideName;
        for (const char *c = name; *c; c++)
            wideName += (char16_t)(unsigned char)*c;
        size = sizeof wide;
        RegQueryValueExW(key, wideName.c_str(), nullptr, &type, (BYTE *)wide, &size);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::string path = registryFile();
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write((const char *)data, (std::streamsize)size);
    }
    std::string before = readWhole(path);
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        queryAll(key);
        RegCloseKey(key);
    }
    // A write costs a new file: one input in four makes one.
    if (size % 4 != 0 || RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                         nullptr, &key, nullptr) != ERROR_SUCCESS)
        return 0;
    DWORD value = (DWORD)size;
    RegSetValueExA(key, "Speech", 0, REG_DWORD, (const BYTE *)&value, sizeof value);
    queryAll(key);
    RegCloseKey(key);
    // Lines of this format may be written back in another form; any other
    // line must be there, as it stood.
    std::string after = readWhole(path);
    std::istringstream lines(before);
    for (std::string line; std::getline(lines, line);) {
        if (line.empty() || line == "tavo registry 1" || line.rfind("key\t", 0) == 0 ||
            line.rfind("value\t", 0) == 0)
            continue;
        if (after.find(line + "\n") == std::string::npos)
            __builtin_trap();
    }
    return 0;
}
