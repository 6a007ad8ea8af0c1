// The settings in the registry and the settings dialog, worked through the
// host's dialog driver on the test module's copy of the dialog.
#include "frame/exports.h"
#include "frame/globdata.h"
#include "frame/settings.h"
#include "platform/posix/dialog_host.h"
#include "tests/core/test_image.h"
#include "tests/core/test_text.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>

namespace {

const TCHAR kModuleKey[] = TEXT("Software\\Microsoft\\Windows\\CurrentVersion\\SETTINGSTEST");
const LPCTSTR kNames[7] = {TEXT("Dot Keys"),        TEXT("Speech"),
                           TEXT("Reverse Video"),   TEXT("Verbose Composition"),
                           TEXT("Braille Display"), TEXT("Braille Explanation"),
                           TEXT("Font Size")};

// The test module beside this program, which carries a settings dialog.
std::string TestModulePath() {
    char program[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, program, MAX_PATH);
    std::string path(program, length);
    return path.substr(0, path.rfind('/')) + "/modules/tavo_testmod_base.so";
}

std::function<void(HWND)> drive;

void Drive(void *, HWND dialog) {
    if (drive)
        drive(dialog);
}

class Settings : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("TAVO_REGISTRY", dir.path("registry").c_str(), 1);
        saved = globData;
        lstrcpy(globData.uiClass, TEXT("SETTINGSTEST"));
        globData.configOpen = 0;
        tavo_SetDialogDriver(Drive, nullptr);
    }
    void TearDown() override {
        tavo_SetDialogDriver(nullptr, nullptr);
        drive = nullptr;
        if (module)
            FreeLibrary(module);
        globData = saved;
    }

    HKEY Key() {
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, kModuleKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                 nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        return key;
    }
    void Store(LPCTSTR name, DWORD value) {
        HKEY key = Key();
        RegSetValueEx(key, name, 0, REG_DWORD, (const BYTE *)&value, sizeof value);
        RegCloseKey(key);
    }
    // The stored value, or ~0 - 1 when it is missing or no DWORD.
    DWORD Stored(LPCTSTR name) {
        HKEY key = Key();
        DWORD value = 0xFFFFFFFE;
        DWORD type = 0;
        DWORD bytes = sizeof value;
        if (RegQueryValueEx(key, name, nullptr, &type, (LPBYTE)&value, &bytes) != ERROR_SUCCESS ||
            type != REG_DWORD)
            value = 0xFFFFFFFE;
        RegCloseKey(key);
        return value;
    }
    void UseTestModule() {
        module = LoadLibraryA(TestModulePath().c_str());
        ASSERT_NE(module, nullptr) << TestModulePath();
        globData.hInstance = module;
    }

    ScratchDir dir;
    GLOBDATA saved;
    HMODULE module = nullptr;
};

TEST_F(Settings, FontSizeDefaultsAndIsClamped) {
    LoadUserSettings();
    EXPECT_EQ(globData.fontSize, 24u);
    const DWORD cases[][2] = {{0, 12},    {11, 12},   {12, 12},         {60, 60},
                              {128, 128}, {129, 128}, {0xFFFFFFFF, 128}};
    for (const auto &c : cases) {
        Store(TEXT("Font Size"), c[0]);
        LoadUserSettings();
        EXPECT_EQ(globData.fontSize, c[1]) << c[0];
    }
}

TEST_F(Settings, ValuesOfAnotherTypeAreIgnoredAndSwitchesKeepTheirValue) {
    globData.speech = 5;
    HKEY key = Key();
    const TCHAR text[] = TEXT("1");
    RegSetValueEx(key, TEXT("Speech"), 0, REG_SZ, (const BYTE *)text, sizeof text);
    EXPECT_EQ(LoadDWordSetting(key, TEXT("Speech"), 7), 7u);
    EXPECT_EQ(LoadDWordSetting(key, TEXT("Missing"), 9), 9u);
    RegCloseKey(key);
    Store(TEXT("Dot Keys"), 3);
    LoadUserSettings();
    EXPECT_EQ(globData.speech, 0u);
    EXPECT_EQ(globData.dotKeyboard, 3u);
}

TEST_F(Settings, TheFirstLoadCreatesTheKeyPath) {
    LoadUserSettings();
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, kModuleKey, 0, KEY_READ, &key), ERROR_SUCCESS);
    if (key)
        RegCloseKey(key);
}

TEST_F(Settings, SavingWritesAllSevenInTheirOrder) {
    for (int i = 0; i < 7; ++i)
        (&globData.dotKeyboard)[i] = DWORD(i + 1);
    SaveUserSettings();
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(Stored(kNames[i]), DWORD(i + 1)) << i;
}

TEST_F(Settings, OkShowsTheStoredSettingsAndSavesTheBoxes) {
    UseTestModule();
    Store(TEXT("Speech"), 1);
    Store(TEXT("Reverse Video"), 1);
    Store(TEXT("Font Size"), 40);
    UINT shown[6] = {};
    BOOL second = TRUE;
    drive = [&](HWND dialog) {
        for (int i = 0; i < 6; ++i)
            shown[i] = IsDlgButtonChecked(dialog, IDC_FIRST_SETTING + i);
        second = ImeConfigure(nullptr, nullptr, IME_CONFIG_GENERAL, nullptr);
        tavo_PressDialogButton(dialog, IDC_FIRST_SETTING);     // dot keys on
        tavo_PressDialogButton(dialog, IDC_FIRST_SETTING + 2); // reverse video off
        tavo_PressDialogButton(dialog, IDOK);
    };
    EXPECT_TRUE(ImeConfigure(nullptr, nullptr, IME_CONFIG_GENERAL, nullptr));
    EXPECT_FALSE(second);
    const UINT expectedShown[6] = {0, 1, 1, 0, 0, 0};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(shown[i], expectedShown[i]) << i;
    const DWORD expectedStored[7] = {1, 1, 0, 0, 0, 0, 40};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(Stored(kNames[i]), expectedStored[i]) << i;
        EXPECT_EQ((&globData.dotKeyboard)[i], expectedStored[i]) << i;
    }
    EXPECT_EQ(globData.configOpen, 0u);
}

TEST_F(Settings, CancelChangesNothing) {
    UseTestModule();
    drive = [&](HWND dialog) {
        tavo_PressDialogButton(dialog, IDC_FIRST_SETTING + 1);
        tavo_PressDialogButton(dialog, IDCANCEL);
    };
    EXPECT_TRUE(ImeConfigure(nullptr, nullptr, IME_CONFIG_GENERAL, nullptr));
    EXPECT_EQ(globData.speech, 0u);
    EXPECT_EQ(Stored(TEXT("Speech")), 0xFFFFFFFEu);
    EXPECT_EQ(globData.configOpen, 0u);

    drive = nullptr; // closed without an answer: cancelled as well
    EXPECT_TRUE(ImeConfigure(nullptr, nullptr, IME_CONFIG_GENERAL, nullptr));
    EXPECT_EQ(Stored(TEXT("Speech")), 0xFFFFFFFEu);
}

TEST_F(Settings, OnlyTheGeneralPageAndOnlyADialogThatCanBeShown) {
    UseTestModule();
    EXPECT_FALSE(ImeConfigure(nullptr, nullptr, IME_CONFIG_REGISTERWORD, nullptr));
    globData.configOpen = 1;
    EXPECT_FALSE(ImeConfigure(nullptr, nullptr, IME_CONFIG_GENERAL, nullptr));
    globData.configOpen = 0;

    // A module without the dialog fails and leaves the way open.
    globData.hInstance = nullptr;
    EXPECT_FALSE(ImeConfigure(nullptr, nullptr, IME_CONFIG_GENERAL, nullptr));
    EXPECT_EQ(globData.configOpen, 0u);
    EXPECT_FALSE(ConfigDlgProc(nullptr, WM_COMMAND, 3, 0));
}

} // namespace
