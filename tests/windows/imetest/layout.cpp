#include "tests/windows/imetest/layout.h"

#include <imm.h>

#include <cwchar>

namespace imetest {

namespace {

constexpr wchar_t kLayouts[] = L"SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts";

std::wstring hex(HKL layout) {
    wchar_t text[16];
    swprintf(text, 16, L"%08X", (unsigned)(UINT_PTR)layout);
    return text;
}

} // namespace

std::wstring installLayout(const std::wstring &imeFile, const std::wstring &text,
                           std::wstring &error) {
    HKL layout = ImmInstallIMEW(imeFile.c_str(), text.c_str());
    if (!layout) {
        error = L"ImmInstallIMEW refused " + imeFile + L" (error " +
                std::to_wstring(GetLastError()) + L")";
        return L"";
    }
    return hex(layout);
}

std::wstring findLayout(const std::wstring &imeFile) {
    HKEY layouts;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kLayouts, 0, KEY_READ, &layouts) != ERROR_SUCCESS)
        return L"";
    std::wstring found;
    wchar_t name[64];
    for (DWORD index = 0; found.empty(); index++) {
        DWORD length = 64;
        if (RegEnumKeyExW(layouts, index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        wchar_t file[MAX_PATH] = {};
        DWORD size = sizeof file - sizeof(wchar_t);
        // Windows keeps the file's name; Wine keeps the path it was given.
        if (RegGetValueW(layouts, name, L"Ime File", RRF_RT_REG_SZ, nullptr, file, &size) !=
            ERROR_SUCCESS)
            continue;
        const wchar_t *base = std::wcsrchr(file, L'\\');
        if (_wcsicmp(base ? base + 1 : file, imeFile.c_str()) == 0)
            found = name;
    }
    RegCloseKey(layouts);
    return found;
}

HKL activateLayout(const std::wstring &identifier, std::wstring &error) {
    HKL layout = LoadKeyboardLayoutW(identifier.c_str(), KLF_ACTIVATE);
    if (!layout) {
        error = L"LoadKeyboardLayoutW failed for " + identifier;
        return nullptr;
    }
    ActivateKeyboardLayout(layout, 0);
    if (GetKeyboardLayout(0) != layout) {
        error = L"the layout " + identifier + L" is not the thread's layout";
        return nullptr;
    }
    if (!ImmIsIME(layout)) {
        error = L"the layout " + identifier + L" is not an input method";
        return nullptr;
    }
    return layout;
}

} // namespace imetest
