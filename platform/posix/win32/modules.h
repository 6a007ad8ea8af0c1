// Modules (DLLs) and their resources.
#ifndef TAVO_POSIX_WIN32_MODULES_H
#define TAVO_POSIX_WIN32_MODULES_H

#include "platform/posix/win32/base.h"

// ---- Modules and resources ---------------------------------------------
// A module is a shared library loaded the Windows way: LoadLibrary calls
// its entry point with DLL_PROCESS_ATTACH after attaching the modules it
// imports, FreeLibrary calls it with DLL_PROCESS_DETACH when the last
// reference goes and then releases the imports. An HMODULE is the address
// at which the library is mapped, so it means the same in every part of
// the process. Resources come from the table compiled into each library
// from its resource list. Names without an extension get ".so", and
// ".dll" and ".ime" become ".so".

#define ERROR_MOD_NOT_FOUND 126L
#define ERROR_PROC_NOT_FOUND 127L
#define ERROR_BAD_EXE_FORMAT 193L
#define ERROR_DLL_INIT_FAILED 1114L
#define ERROR_RESOURCE_DATA_NOT_FOUND 1812L
#define ERROR_RESOURCE_TYPE_NOT_FOUND 1813L
#define ERROR_RESOURCE_NAME_NOT_FOUND 1814L

#define DLL_PROCESS_DETACH 0
#define DLL_PROCESS_ATTACH 1
#define DLL_THREAD_ATTACH 2
#define DLL_THREAD_DETACH 3

struct HRSRC__;
typedef HRSRC__ *HRSRC;
typedef INT_PTR(WINAPI *FARPROC)(void);

#define IS_INTRESOURCE(r) ((((ULONG_PTR)(r)) >> 16) == 0)
#define MAKEINTRESOURCEA(i) ((LPSTR)((ULONG_PTR)((WORD)(i))))
#define MAKEINTRESOURCEW(i) ((LPWSTR)((ULONG_PTR)((WORD)(i))))

#define RT_CURSOR MAKEINTRESOURCE(1)
#define RT_BITMAP MAKEINTRESOURCE(2)
#define RT_ICON MAKEINTRESOURCE(3)
#define RT_MENU MAKEINTRESOURCE(4)
#define RT_DIALOG MAKEINTRESOURCE(5)
#define RT_STRING MAKEINTRESOURCE(6)
#define RT_RCDATA MAKEINTRESOURCE(10)
#define RT_GROUP_CURSOR MAKEINTRESOURCE(12)
#define RT_GROUP_ICON MAKEINTRESOURCE(14)
#define RT_VERSION MAKEINTRESOURCE(16)

// The entry point a module exports; declared here so that a definition
// written the Windows way gets the unmangled name the loader looks for.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);
extern "C" BOOL WINAPI DllEntryPoint(HINSTANCE instance, DWORD reason, LPVOID reserved);

HMODULE WINAPI LoadLibraryA(LPCSTR name);
HMODULE WINAPI LoadLibraryW(LPCWSTR name);
BOOL WINAPI FreeLibrary(HMODULE module);
FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR name);
HMODULE WINAPI GetModuleHandleA(LPCSTR name);
HMODULE WINAPI GetModuleHandleW(LPCWSTR name);
DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size);
DWORD WINAPI GetModuleFileNameW(HMODULE module, LPWSTR buffer, DWORD size);
BOOL WINAPI DisableThreadLibraryCalls(HMODULE module);

HRSRC WINAPI FindResourceA(HMODULE module, LPCSTR name, LPCSTR type);
HRSRC WINAPI FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type);
HGLOBAL WINAPI LoadResource(HMODULE module, HRSRC resource);
LPVOID WINAPI LockResource(HGLOBAL data);
DWORD WINAPI SizeofResource(HMODULE module, HRSRC resource);
BOOL WINAPI FreeResource(HGLOBAL data);
int WINAPI LoadStringA(HINSTANCE instance, UINT id, LPSTR buffer, int size);
int WINAPI LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int size);

#define MAKEINTRESOURCE TAVO_AW(MAKEINTRESOURCE)
#define LoadLibrary TAVO_AW(LoadLibrary)
#define GetModuleHandle TAVO_AW(GetModuleHandle)
#define GetModuleFileName TAVO_AW(GetModuleFileName)
#define FindResource TAVO_AW(FindResource)
#define LoadString TAVO_AW(LoadString)

#endif
