// The seven user settings: kept as DWORD values in the registry under the
// module's UI class name, held in globData, and edited in the settings
// dialog.
#include "frame/settings.h"
#include "frame/exports.h"
#include "frame/globdata.h"

namespace {

constexpr int kSwitchCount = 6;

// Value names in the order of the settings in globData.
const LPCTSTR kValueNames[kSwitchCount + 1] = {
    TEXT("Dot Keys"),        TEXT("Speech"),
    TEXT("Reverse Video"),   TEXT("Verbose Composition"),
    TEXT("Braille Display"), TEXT("Braille Explanation"),
    TEXT("Font Size"),
};

// The settings stand together in globData, in the order of kValueNames.
DWORD *setting(int index) {
    return &globData.dotKeyboard + index;
}

// Opens, creating them when absent, the settings key and the module's
// key beneath it; null when the module's key can't be had.
HKEY openModuleKey(HKEY *parent) {
    HKEY module = NULL;
    *parent = NULL;
    if (RegCreateKeyEx(HKEY_CURRENT_USER, SETTINGS_KEY, 0, NULL, REG_OPTION_NON_VOLATILE,
                       KEY_ALL_ACCESS, NULL, parent, NULL) != ERROR_SUCCESS) {
        *parent = NULL;
        return NULL;
    }
    if (RegCreateKeyEx(*parent, globData.uiClass, 0, NULL, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                       NULL, &module, NULL) != ERROR_SUCCESS)
        return NULL;
    return module;
}

void closeKeys(HKEY parent, HKEY module) {
    if (module)
        RegCloseKey(module);
    if (parent)
        RegCloseKey(parent);
}

DWORD clampFontSize(DWORD size) {
    if (size > FONT_SIZE_MAX)
        return FONT_SIZE_MAX;
    return size < FONT_SIZE_MIN ? FONT_SIZE_MIN : size;
}

} // namespace

DWORD LoadDWordSetting(HKEY key, LPCTSTR name, DWORD defaultValue) {
    DWORD type = REG_NONE;
    if (RegQueryValueEx(key, name, NULL, &type, NULL, NULL) != ERROR_SUCCESS || type != REG_DWORD)
        return defaultValue;
    DWORD value = 0;
    DWORD bytes = sizeof value;
    if (RegQueryValueEx(key, name, NULL, &type, (LPBYTE)&value, &bytes) != ERROR_SUCCESS ||
        bytes != sizeof value)
        return defaultValue;
    return value;
}

void LoadUserSettings(void) {
    HKEY parent;
    HKEY module = openModuleKey(&parent);
    if (module) {
        for (int i = 0; i < kSwitchCount; ++i)
            *setting(i) = LoadDWordSetting(module, kValueNames[i], 0);
        globData.fontSize =
            clampFontSize(LoadDWordSetting(module, kValueNames[kSwitchCount], FONT_SIZE_DEFAULT));
    }
    closeKeys(parent, module);
}

void SaveUserSettings(void) {
    HKEY parent;
    HKEY module = openModuleKey(&parent);
    if (module) {
        for (int i = 0; i <= kSwitchCount; ++i)
            RegSetValueEx(module, kValueNames[i], 0, REG_DWORD, (const BYTE *)setting(i),
                          sizeof(DWORD));
    }
    closeKeys(parent, module);
}

BOOL WINAPI ImeConfigure(HKL, HWND owner, DWORD mode, LPVOID) {
    if (mode != IME_CONFIG_GENERAL || globData.configOpen)
        return FALSE;
    globData.configOpen = 1;
    INT_PTR ended =
        DialogBoxParam(globData.hInstance, MAKEINTRESOURCE(IDD_SETTINGS), owner, ConfigDlgProc, 0);
    // A dialog that could not be shown must not block every later request.
    globData.configOpen = 0;
    return ended != -1;
}

INT_PTR CALLBACK ConfigDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        LoadUserSettings();
        for (int i = 0; i < kSwitchCount; ++i)
            if (*setting(i))
                CheckDlgButton(dialog, IDC_FIRST_SETTING + i, BST_CHECKED);
        return TRUE;
    }
    if (message != WM_COMMAND || (LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL))
        return FALSE;
    if (LOWORD(wParam) == IDOK) {
        for (int i = 0; i < kSwitchCount; ++i)
            *setting(i) = IsDlgButtonChecked(dialog, IDC_FIRST_SETTING + i) == BST_CHECKED;
        SaveUserSettings();
    }
    EndDialog(dialog, LOWORD(wParam));
    globData.configOpen = 0;
    return TRUE;
}
