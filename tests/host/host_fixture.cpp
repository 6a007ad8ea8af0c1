// The host test fixture: a scratch folder, the built databases and a
// capture of the sound for each test.
#include "tests/host/host_fixture.h"

#include "host/built_modules.h"
#include "host/screen.h"

#include <unistd.h>

#include <cstdlib>

void HostTest::SetUp() {
    if (host::builtModulePath(GetParam()).empty())
        GTEST_SKIP() << "the " << GetParam() << " module is not built";
    static int serial = 0;
    folder = std::filesystem::temp_directory_path() /
             ("tavo-host-" + std::to_string(getpid()) + "-" + std::to_string(++serial));
    std::filesystem::create_directories(folder);
    setenv("TAVO_REGISTRY", (folder / "registry").c_str(), 1);
    setenv("TAVO_WINDOWS_DIR", folder.c_str(), 1);
    setenv("TAVO_SYSTEM_DIR", TAVO_DATABASE_DIR, 1);
    setenv("TAVO_SOUND", ("capture:" + (folder / "sound.wav").string()).c_str(), 1);
    setenv("TAVO_SOUND_TIMESCALE", "0.001", 1);
    heard = new host::CaptureLog;
}

void HostTest::TearDown() {
    session.close();
    delete heard;
    heard = nullptr;
    std::error_code ignored;
    if (!folder.empty())
        std::filesystem::remove_all(folder, ignored);
}

void HostTest::open() {
    std::string error;
    ASSERT_TRUE(session.open(host::builtModulePath(GetParam()), error)) << error;
    // The start sound plays on while the test goes on; it is heard (and
    // logged) before anything the test does.
    heard->waitForLines(1, std::chrono::seconds(5));
}

void HostTest::type(const std::string &script) {
    std::string error;
    std::vector<host::ScriptStep> steps = host::parseScript(script, error);
    ASSERT_TRUE(error.empty()) << error;
    for (const host::ScriptStep &step : steps)
        EXPECT_TRUE(host::perform(session, step)) << step.token;
}

std::string HostTest::settingsKey() const {
    return "Software\\Microsoft\\Windows\\CurrentVersion\\" +
           std::string(isRuda() ? "RUDAIME" : "VEXAIME");
}

void HostTest::setSetting(const char *name, DWORD value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, settingsKey().c_str(), 0, nullptr, 0,
                              KEY_READ | KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&value), sizeof value);
    RegCloseKey(key);
}

long long HostTest::setting(const char *name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, settingsKey().c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return -1;
    DWORD value = 0, size = sizeof value, type = 0;
    LONG found =
        RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE *>(&value), &size);
    RegCloseKey(key);
    return found == ERROR_SUCCESS && type == REG_DWORD ? static_cast<long long>(value) : -1;
}

std::vector<host::Message> HostTest::fresh() {
    std::vector<host::Message> messages = app().messages();
    app().clearMessages();
    return messages;
}

std::vector<int> HostTest::sounds() {
    std::vector<int> ids;
    const std::string name = "  resource ";
    for (const std::string &line : heard->newLines()) {
        size_t at = line.find(name);
        if (at != std::string::npos)
            ids.push_back(std::atoi(line.c_str() + at + name.size()));
    }
    return ids;
}
