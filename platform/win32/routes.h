// The Windows calls that the system makes through the platform layer
// rather than straight to Windows, compiled into each module:
//
// - Code page 950 is Big5-HKSCS here as on every platform: Windows' own
//   code page 950 has no 嘅, 咗, 啲, 嘢, 嚟 or 哋. MultiByteToWideChar,
//   WideCharToMultiByte and IsDBCSLeadByteEx with 950 use the project's
//   table (platform/cp950); other code pages go to Windows.
// - LoadStringA gives Big5-HKSCS text whatever the system's ANSI code page
//   is, since the byte flavour's texts are Big5 wherever they go.
// - Data files: a standard user can't write to the Windows or system
//   directory, so a file the system opens there lives in the user's own
//   folder, %APPDATA%\Tavo, when it is written, and is looked for there
//   first when it is read (platform/win32/userfiles.cpp).
//
// The platform's own sources define TAVO_WIN32_DIRECT to reach Windows.
#ifndef TAVO_WIN32_ROUTES_H
#define TAVO_WIN32_ROUTES_H

int WINAPI tavo_MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR source, int sourceLength,
                                    LPWSTR target, int targetLength);
int WINAPI tavo_WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR source, int sourceLength,
                                    LPSTR target, int targetLength, LPCSTR defaultChar,
                                    LPBOOL usedDefaultChar);
BOOL WINAPI tavo_IsDBCSLeadByteEx(UINT codePage, BYTE testChar);
int WINAPI tavo_LoadStringA(HINSTANCE instance, UINT id, LPSTR buffer, int bufferMax);
HANDLE WINAPI tavo_CreateFileA(LPCSTR name, DWORD access, DWORD share,
                               LPSECURITY_ATTRIBUTES security, DWORD creation, DWORD flags,
                               HANDLE templateFile);
HANDLE WINAPI tavo_CreateFileW(LPCWSTR name, DWORD access, DWORD share,
                               LPSECURITY_ATTRIBUTES security, DWORD creation, DWORD flags,
                               HANDLE templateFile);

#ifndef TAVO_WIN32_DIRECT
#define MultiByteToWideChar tavo_MultiByteToWideChar
#define WideCharToMultiByte tavo_WideCharToMultiByte
#define IsDBCSLeadByteEx tavo_IsDBCSLeadByteEx
#define LoadStringA tavo_LoadStringA
#define CreateFileA tavo_CreateFileA
#define CreateFileW tavo_CreateFileW
#endif

#endif
