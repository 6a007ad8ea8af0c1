// The Windows and system directories and the current directory.
#include "platform/platform.h"
#include "tests/platform/scratch_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <map>
#include <optional>
#include <string>

namespace {

// Sets or clears environment variables for one test, restoring them after.
class Environment {
public:
    ~Environment() {
        for (auto &[name, value] : saved_)
            value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
    }

    void set(const char *name, const char *value) {
        if (!saved_.count(name)) {
            const char *old = std::getenv(name);
            saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        value ? setenv(name, value, 1) : unsetenv(name);
    }

private:
    std::map<std::string, std::optional<std::string>> saved_;
};

std::string windowsDirectory() {
    char buffer[MAX_PATH];
    UINT length = GetWindowsDirectoryA(buffer, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::string(buffer, length) : "";
}

std::string systemDirectory() {
    char buffer[MAX_PATH];
    UINT length = GetSystemDirectoryA(buffer, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::string(buffer, length) : "";
}

bool isFolder(const std::string &path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

TEST(Directories, WindowsAndSystemFoldersComeFromTheEnvironment) {
    ScratchFolder folder;
    Environment environment;
    environment.set("TAVO_WINDOWS_DIR", folder.file("win/deep").c_str());
    environment.set("TAVO_SYSTEM_DIR", folder.file("sys/").c_str());
    EXPECT_EQ(windowsDirectory(), folder.file("win/deep"));
    EXPECT_TRUE(isFolder(folder.file("win/deep")));
    EXPECT_EQ(systemDirectory(), folder.file("sys"));

    environment.set("TAVO_WINDOWS_DIR", nullptr);
    environment.set("TAVO_SYSTEM_DIR", nullptr);
    environment.set("XDG_CONFIG_HOME", folder.file("config").c_str());
    environment.set("XDG_DATA_HOME", "relative/is/ignored");
    environment.set("HOME", folder.file("home").c_str());
    EXPECT_EQ(windowsDirectory(), folder.file("config/tavo"));
    EXPECT_EQ(systemDirectory(), folder.file("home/.local/share/tavo"));
    EXPECT_TRUE(isFolder(folder.file("home/.local/share/tavo")));

    environment.set("XDG_CONFIG_HOME", nullptr);
    EXPECT_EQ(windowsDirectory(), folder.file("home/.config/tavo"));
}

TEST(Directories, TooSmallBufferGetsTheSizeNeeded) {
    ScratchFolder folder;
    Environment environment;
    environment.set("TAVO_SYSTEM_DIR", folder.path().c_str());
    const UINT length = UINT(folder.path().size());
    char buffer[MAX_PATH] = "untouched";
    EXPECT_EQ(GetSystemDirectoryA(buffer, length), length + 1);
    EXPECT_STREQ(buffer, "untouched");
    EXPECT_EQ(GetSystemDirectoryA(nullptr, 0), length + 1);
    EXPECT_EQ(GetSystemDirectoryA(buffer, length + 1), length);
    EXPECT_EQ(buffer, folder.path());
    WCHAR wide[MAX_PATH];
    EXPECT_EQ(GetSystemDirectoryW(wide, length), length + 1);
    EXPECT_EQ(GetSystemDirectoryW(wide, MAX_PATH), length);
}

TEST(Directories, CurrentDirectoryRoundTrip) {
    ScratchFolder folder;
    char saved[4096];
    ASSERT_GT(GetCurrentDirectoryA(sizeof saved, saved), 0u);
    ASSERT_TRUE(mkdir(folder.file("你好").c_str(), 0700) == 0);

    const std::u16string wideName = u"/你好";
    std::u16string widePath(folder.path().begin(), folder.path().end());
    widePath += wideName;
    EXPECT_TRUE(SetCurrentDirectoryW(widePath.c_str()));
    char current[4096];
    EXPECT_EQ(GetCurrentDirectoryA(sizeof current, current), folder.path().size() + 5);
    EXPECT_EQ(current, folder.path() + "/\xA7\x41\xA6\x6E"); // 你好 in Big5
    WCHAR wide[4096];
    EXPECT_EQ(GetCurrentDirectoryW(4096, wide), widePath.size());
    EXPECT_EQ(std::u16string(wide), widePath);
    EXPECT_EQ(GetCurrentDirectoryW(3, wide), widePath.size() + 1);

    EXPECT_FALSE(SetCurrentDirectoryA(folder.file("missing").c_str()));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_TRUE(SetCurrentDirectoryA(saved));
}

} // namespace
