// Test support: the flavour's input-method module loaded as the manager
// loads it, in a process whose Windows and system directories, registry
// and sound output are a scratch folder of the tests' own.
#ifndef TAVO_TESTS_IME_MODULE_H
#define TAVO_TESTS_IME_MODULE_H

#include "platform/platform.h"

#include <string>

struct ImeModule {
    HMODULE library;
    std::string folder; // the scratch Windows and system directory
    BOOL(WINAPI *ImeInquire)(LPIMEINFO info, LPVOID uiClass, DWORD systemFlags);
    BOOL(WINAPI *ImeSelect)(HIMC imc, BOOL select);
    BOOL(WINAPI *ImeSetActiveContext)(HIMC imc, BOOL active);
    BOOL(WINAPI *DllMain)(HINSTANCE instance, DWORD reason, LPVOID reserved);
};

// Loads the module on first use; it stays loaded for the whole process.
const ImeModule &TestModule();
// Any export of the module by name.
FARPROC ModuleExport(const char *name);
// An export as the function it is.
template <typename Function> Function ExportAs(const char *name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)(void)>(ModuleExport(name)));
}
// A file of the scratch folder.
std::string ScratchFile(const std::string &name);
void WriteFile(const std::string &path, const std::string &bytes);
std::string ReadFile(const std::string &path);
// The lines the sound capture has logged so far.
std::string SoundLog();

#endif
