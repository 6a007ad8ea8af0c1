// A loaded input-method module: the library and the exports the
// input-method manager calls. The module's text flavour (UTF-16 or Big5)
// is read from its IMEINFO.
#ifndef TAVO_HOST_MODULE_H
#define TAVO_HOST_MODULE_H

#include "platform/platform.h"

#include <string>

namespace host {

struct ModuleExports {
    BOOL(WINAPI *ImeInquire)(LPIMEINFO info, LPVOID uiClass, DWORD systemFlags);
    BOOL(WINAPI *ImeDestroy)(UINT reserved);
    BOOL(WINAPI *ImeConfigure)(HKL layout, HWND owner, DWORD mode, LPVOID data);
    BOOL(WINAPI *ImeSelect)(HIMC imc, BOOL select);
    BOOL(WINAPI *ImeSetActiveContext)(HIMC imc, BOOL active);
    BOOL(WINAPI *ImeProcessKey)(HIMC imc, UINT virtualKey, LPARAM keyData, const BYTE *keyState);
    UINT(WINAPI *ImeToAsciiEx)
    (UINT virtualKey, UINT scanCode, const BYTE *keyState, LPTRANSMSGLIST messages, UINT state,
     HIMC imc);
    BOOL(WINAPI *NotifyIME)(HIMC imc, DWORD action, DWORD index, DWORD value);
    BOOL(WINAPI *ImeSetCompositionString)
    (HIMC imc, DWORD index, LPVOID comp, DWORD compLength, LPVOID read, DWORD readLength);
};

class Module {
public:
    Module() = default;
    Module(const Module &) = delete;
    Module &operator=(const Module &) = delete;
    ~Module();

    // Loads the library (its imports are attached first), finds the exports
    // and asks ImeInquire. On failure, error says why and nothing stays
    // loaded.
    bool load(const std::string &path, std::string &error);
    // ImeDestroy, then the library is released.
    void unload();

    bool loaded() const { return library != nullptr; }
    bool unicode() const { return (info.fdwProperty & IME_PROP_UNICODE) != 0; }
    const IMEINFO &imeInfo() const { return info; }
    const std::string &uiClass() const { return windowClass; }
    const std::u16string &uiClassWide() const { return wideClass; }
    // The library, for which the module registers its window classes.
    HINSTANCE instance() const { return library; }
    const ModuleExports &exports() const { return calls; }

private:
    bool findExports(std::string &error);

    HMODULE library = nullptr;
    ModuleExports calls{};
    IMEINFO info{};
    std::string windowClass;
    std::u16string wideClass;
};

} // namespace host

#endif
