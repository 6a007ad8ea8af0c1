// Loading the module, its global record and the manager's first questions.
#include "engine/privdata.h"
#include "frame/exports.h"
#include "frame/globdata.h"
#include "frame/settings.h"
#include "ui/uiwnd.h"

namespace {

// Properties of the module: the key's character comes with its virtual
// key, Alt combinations and key releases reach the module, candidates are
// numbered from 1; the text is UTF-16 only in the UNICODE build.
#ifdef UNICODE
constexpr DWORD kProperties = IME_PROP_KBD_CHAR_FIRST | IME_PROP_NEED_ALTKEY |
                              IME_PROP_CANDLIST_START_FROM_1 | IME_PROP_UNICODE;
#else
constexpr DWORD kProperties =
    IME_PROP_KBD_CHAR_FIRST | IME_PROP_NEED_ALTKEY | IME_PROP_CANDLIST_START_FROM_1;
#endif

// Loads string id into buffer, cut to the buffer; empty when missing.
template <size_t N> void LoadText(UINT id, TCHAR (&buffer)[N]) {
    buffer[0] = 0;
    LoadString(globData.hInstance, id, buffer, (int)N);
}

void LoadTexts() {
    LoadText(IDS_CHARLABEL, globData.charLabel);
    LoadText(IDS_UICLASS, globData.uiClass);
    LoadText(IDS_COMPCLASS, globData.compClass);
    LoadText(IDS_STATUSCLASS, globData.statusClass);
    LoadText(IDS_PHRASEDB, globData.phraseDbFile);
    LoadText(IDS_USERDB, globData.userDbFile);
    LoadText(IDS_USERDICT, globData.userDictFile);
    LoadText(IDS_OPTIONMENU, globData.optionMenu);
    LoadText(IDS_ONTEXT, globData.onText);
    LoadText(IDS_OFFTEXT, globData.offText);
}

} // namespace

void InitGlobalData(HINSTANCE instance) {
    if (globData.hInstance != NULL)
        return;
    globData.hInstance = instance;
    LoadTexts();
    // The settings live under the UI class name, so they come after it.
    LoadUserSettings();
    globData.brailleVariant = lstrcmp(globData.uiClass, BRAILLE_UI_CLASS) == 0 ? 1 : 0;
    globData.configOpen = 0;
    GetWindowsDirectory(globData.windowsDir, MAX_PATH);
    GetSystemDirectory(globData.systemDir, MAX_PATH);
}

extern "C" {

BOOL WINAPI ImeDllInit(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        InitGlobalData(instance);
        return RegisterIMEClasses(instance);
    }
    // At process exit the classes go with the process.
    if (reason == DLL_PROCESS_DETACH && reserved == NULL)
        UnregisterIMEClasses(instance);
    return TRUE;
}

// The loader calls this entry point; it is ImeDllInit under its usual name.
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    return ImeDllInit(instance, reason, reserved);
}

BOOL WINAPI ImeInquire(LPIMEINFO info, LPVOID uiClass, DWORD) {
    if (info == NULL)
        return FALSE;
    info->dwPrivateDataSize = sizeof(PrivateData);
    info->fdwProperty = kProperties;
    info->fdwConversionCaps = IME_CMODE_NATIVE | IME_CMODE_FULLSHAPE | IME_CMODE_NOCONVERSION;
    info->fdwSentenceCaps = IME_SMODE_PHRASEPREDICT;
    info->fdwUICaps = UI_CAP_ROT90;
    info->fdwSCSCaps = 0;
    info->fdwSelectCaps = 0;
    if (uiClass != NULL)
        lstrcpy((LPTSTR)uiClass, globData.uiClass);
    return TRUE;
}

BOOL WINAPI ImeDestroy(UINT reserved) {
    return reserved == 0;
}

// No word registration, escapes or conversion lists.
BOOL WINAPI ImeRegisterWord(LPCTSTR, DWORD, LPCTSTR) {
    return 0;
}

BOOL WINAPI ImeUnregisterWord(LPCTSTR, DWORD, LPCTSTR) {
    return 0;
}

LRESULT WINAPI ImeEscape(HIMC, UINT, LPVOID) {
    return 0;
}

UINT WINAPI ImeGetRegisterWordStyle(UINT, LPVOID) {
    return 0;
}

UINT WINAPI ImeEnumRegisterWord(LPVOID, LPCTSTR, DWORD, LPCTSTR, LPVOID) {
    return 0;
}

DWORD WINAPI ImeConversionList(HIMC, LPCTSTR, LPVOID, DWORD, UINT) {
    return 0;
}

} // extern "C"
