// The registry: values kept in a file that other processes share.
#include "platform/platform.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

namespace {

const char kSettings[] = "Software\\Microsoft\\Windows\\CurrentVersion\\VEXAIME";

class Registry : public ::testing::Test {
protected:
    void SetUp() override {
        const char *old = std::getenv("TAVO_REGISTRY");
        hadOld = old != nullptr;
        if (old)
            oldValue = old;
        setenv("TAVO_REGISTRY", file().c_str(), 1);
    }
    void TearDown() override {
        if (hadOld)
            setenv("TAVO_REGISTRY", oldValue.c_str(), 1);
        else
            unsetenv("TAVO_REGISTRY");
    }

    std::string file() const { return folder.file("config/registry"); }

    HKEY create(const char *path = kSettings) {
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  &key, nullptr),
                  ERROR_SUCCESS);
        return key;
    }

    LONG setDword(HKEY key, const char *name, DWORD value) {
        return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&value),
                              sizeof value);
    }

    // The value, or -1 when it is missing or not a DWORD.
    long long readDword(HKEY key, const char *name) {
        DWORD type = 0, value = 0, size = sizeof value;
        if (RegQueryValueExA(key, name, nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS ||
            type != REG_DWORD)
            return -1;
        EXPECT_EQ(
            RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE *>(&value), &size),
            ERROR_SUCCESS);
        return value;
    }

    // Runs body in a child process and waits for it.
    static void inChild(const std::function<void()> &body) {
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            body();
            _exit(0);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }

    ScratchFolder folder;
    bool hadOld = false;
    std::string oldValue;
};

TEST_F(Registry, ValuesSurviveIntoAnotherProcessAndBack) {
    HKEY key = create();
    ASSERT_EQ(setDword(key, "Font Size", 36), ERROR_SUCCESS);
    inChild([this] {
        HKEY child = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettings, 0, KEY_READ, &child) != ERROR_SUCCESS ||
            readDword(child, "Font Size") != 36 || setDword(child, "Speech", 1) != ERROR_SUCCESS)
            _exit(1);
        RegCloseKey(child);
    });
    // The parent sees the child's value without reopening, and its own
    // next write keeps it.
    EXPECT_EQ(readDword(key, "Speech"), 1);
    ASSERT_EQ(setDword(key, "Dot Keys", 1), ERROR_SUCCESS);
    EXPECT_EQ(readDword(key, "Speech"), 1);
    EXPECT_EQ(readDword(key, "Font Size"), 36);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(Registry, ConcurrentWritersLoseNothing) {
    create();
    auto writer = [this](const char *prefix) {
        return [this, prefix] {
            HKEY key = create();
            for (int i = 0; i < 15; ++i)
                if (setDword(key, (prefix + std::to_string(i)).c_str(), i) != ERROR_SUCCESS)
                    _exit(1);
            _exit(0);
        };
    };
    pid_t first = fork();
    if (first == 0)
        writer("a")();
    pid_t second = fork();
    if (second == 0)
        writer("b")();
    int status = 0;
    waitpid(first, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    waitpid(second, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    HKEY key = create();
    for (int i = 0; i < 15; ++i) {
        EXPECT_EQ(readDword(key, ("a" + std::to_string(i)).c_str()), i);
        EXPECT_EQ(readDword(key, ("b" + std::to_string(i)).c_str()), i);
    }
    RegCloseKey(key);
}

TEST_F(Registry, KeysAndNamesIgnoreCaseAndNestedKeysExist) {
    HKEY key = create();
    setDword(key, "Reverse Video", 1);
    HKEY other = nullptr, parent = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER,
                            "software\\MICROSOFT\\windows\\currentversion\\vexaime", 0, KEY_READ,
                            &other),
              ERROR_SUCCESS);
    EXPECT_EQ(readDword(other, "REVERSE VIDEO"), 1);
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft", 0, KEY_READ, &parent),
              ERROR_SUCCESS);
    HKEY child = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExA(parent, "Windows\\CurrentVersion\\VEXAIME", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &child, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, DWORD(REG_OPENED_EXISTING_KEY));
    EXPECT_EQ(readDword(child, "Reverse Video"), 1);
    for (HKEY k : {key, other, parent, child})
        RegCloseKey(k);
}

TEST_F(Registry, MissingThingsAndOtherRoots) {
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Nothing", 0, KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_ACCESS_DENIED);
    key = create();
    DWORD type = 0;
    EXPECT_EQ(RegQueryValueExA(key, "Speech", nullptr, &type, nullptr, nullptr),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteValueA(key, "Speech"), ERROR_FILE_NOT_FOUND);
    setDword(key, "Speech", 1);
    EXPECT_EQ(RegDeleteValueA(key, "speech"), ERROR_SUCCESS);
    EXPECT_EQ(readDword(key, "Speech"), -1);
    RegCloseKey(key);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(setDword(key, "Speech", 1), ERROR_INVALID_HANDLE);
}

TEST_F(Registry, StringsTypesAndSmallBuffers) {
    HKEY key = create();
    const char big5[] = "\xA7\x41\xA6\x6E"; // 你好, with its terminator
    ASSERT_EQ(RegSetValueExA(key, "Font Size", 0, REG_SZ, reinterpret_cast<const BYTE *>(big5),
                             sizeof big5),
              ERROR_SUCCESS);
    // A reader that wants a DWORD sees the string's type and keeps its
    // default.
    DWORD type = 0;
    EXPECT_EQ(RegQueryValueExA(key, "Font Size", nullptr, &type, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(type, DWORD(REG_SZ));
    EXPECT_EQ(readDword(key, "Font Size"), -1);

    WCHAR wide[8] = {};
    DWORD size = 2;
    EXPECT_EQ(RegQueryValueExW(key, u"font size", nullptr, nullptr, reinterpret_cast<BYTE *>(wide),
                               &size),
              ERROR_MORE_DATA);
    EXPECT_EQ(size, 3 * sizeof(WCHAR));
    EXPECT_EQ(RegQueryValueExW(key, u"font size", nullptr, nullptr, reinterpret_cast<BYTE *>(wide),
                               &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::u16string(wide), u"你好");

    char ansi[8] = {};
    size = sizeof ansi;
    EXPECT_EQ(
        RegQueryValueExA(key, "Font Size", nullptr, nullptr, reinterpret_cast<BYTE *>(ansi), &size),
        ERROR_SUCCESS);
    EXPECT_EQ(size, sizeof big5);
    EXPECT_STREQ(ansi, big5);
    RegCloseKey(key);
}

TEST_F(Registry, DamagedFileReadsAsEmptyAndIsReplacedWhole) {
    std::filesystem::create_directories(folder.file("config"));
    std::ofstream(file(), std::ios::binary) << "\x01garbage\tvalue\n%%%\n";
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kSettings, 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    key = create();
    ASSERT_EQ(setDword(key, "Speech", 1), ERROR_SUCCESS);
    // Written whole through a temporary file: only the file and its lock
    // file are left.
    int entries = 0;
    for (const auto &entry : std::filesystem::directory_iterator(folder.file("config"))) {
        ++entries;
        EXPECT_TRUE(entry.path().filename() == "registry" ||
                    entry.path().filename() == "registry.lock")
            << entry.path();
    }
    EXPECT_EQ(entries, 2);
    // A line damaged later costs that line only.
    std::ifstream in(file(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    std::ofstream(file(), std::ios::binary | std::ios::trunc) << text.str() << "value\tbad\n";
    EXPECT_EQ(readDword(key, "Speech"), 1);
    RegCloseKey(key);
}

// String values of no bytes and of an odd number of bytes (as a wide
// caller may store them) read back through the ANSI calls whole.
TEST_F(Registry, EmptyAndOddLengthStringsReadBackWhole) {
    HKEY key = create();
    ASSERT_EQ(RegSetValueExW(key, u"Empty", 0, REG_SZ, nullptr, 0), ERROR_SUCCESS);
    const BYTE odd[] = {'A', 0, 'B'};
    ASSERT_EQ(RegSetValueExW(key, u"Odd", 0, REG_SZ, odd, sizeof odd), ERROR_SUCCESS);

    char ansi[8] = {'x', 'x', 'x', 'x'};
    DWORD size = sizeof ansi, type = 0;
    EXPECT_EQ(RegQueryValueExA(key, "Empty", nullptr, &type, reinterpret_cast<BYTE *>(ansi), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, DWORD(REG_SZ));
    EXPECT_EQ(size, 0u);
    size = sizeof ansi;
    EXPECT_EQ(RegQueryValueExA(key, "Odd", nullptr, nullptr, reinterpret_cast<BYTE *>(ansi), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::string(ansi, size), "AB");
    RegCloseKey(key);
}

// Lines that this version does not understand, another program's among
// them, survive every change to the file, as they stood.
TEST_F(Registry, LinesNotUnderstoodAreKeptThroughChanges) {
    std::filesystem::create_directories(folder.file("config"));
    const std::string foreign[] = {"value\tSoftware\\Other\tName\t1\tnot hex",
                                   "key\tSoftware\\Other\textra field", "another program's line"};
    {
        std::ofstream out(file(), std::ios::binary);
        out << "tavo registry 1\n"
            << foreign[0] << "\n\n"
            << foreign[1] << "\n"
            << foreign[2] << "\n";
    }
    HKEY key = create();
    ASSERT_EQ(setDword(key, "Speech", 1), ERROR_SUCCESS);
    ASSERT_EQ(setDword(key, "Speech", 0), ERROR_SUCCESS);
    RegCloseKey(key);
    std::ifstream in(file(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    for (const std::string &line : foreign) {
        size_t at = text.str().find(line + "\n");
        ASSERT_NE(at, std::string::npos) << line << " lost from:\n" << text.str();
        EXPECT_EQ(text.str().find(line + "\n", at + 1), std::string::npos) << "written once";
    }
}

// A file of another format is not understood at all, but it is not thrown
// away by the first change either.
TEST_F(Registry, AFileOfAnotherFormatIsKeptWhole) {
    std::filesystem::create_directories(folder.file("config"));
    std::ofstream(file(), std::ios::binary) << "[settings]\nspeech=1\n";
    HKEY key = create();
    ASSERT_EQ(setDword(key, "Speech", 1), ERROR_SUCCESS);
    EXPECT_EQ(readDword(key, "Speech"), 1);
    RegCloseKey(key);
    std::ifstream in(file(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str().find("[settings]\nspeech=1\n"), std::string::npos) << text.str();
}

} // namespace
