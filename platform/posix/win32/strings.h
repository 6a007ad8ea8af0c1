// Code pages and the C runtime's and USER32's string functions.
#ifndef TAVO_POSIX_WIN32_STRINGS_H
#define TAVO_POSIX_WIN32_STRINGS_H

#include "platform/posix/win32/base.h"

// ---- Code pages --------------------------------------------------------

#define CP_ACP 0
#define CP_OEMCP 1
#define CP_UTF8 65001
#define MB_PRECOMPOSED 0x00000001
#define MB_ERR_INVALID_CHARS 0x00000008
#define WC_NO_BEST_FIT_CHARS 0x00000400
#define WC_ERR_INVALID_CHARS 0x00000080

int WINAPI MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR source, int sourceLength,
                               LPWSTR target, int targetLength);
int WINAPI WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR source, int sourceLength,
                               LPSTR target, int targetLength, LPCSTR defaultChar,
                               LPBOOL usedDefaultChar);
BOOL WINAPI IsDBCSLeadByteEx(UINT codePage, BYTE testChar);
BOOL WINAPI IsDBCSLeadByte(BYTE testChar);

// ---- Strings -----------------------------------------------------------

LPSTR WINAPI CharLowerA(LPSTR text);
LPWSTR WINAPI CharLowerW(LPWSTR text);
LPSTR WINAPI CharUpperA(LPSTR text);
LPWSTR WINAPI CharUpperW(LPWSTR text);
int WINAPI lstrlenA(LPCSTR text);
int WINAPI lstrlenW(LPCWSTR text);
LPSTR WINAPI lstrcpyA(LPSTR target, LPCSTR source);
LPWSTR WINAPI lstrcpyW(LPWSTR target, LPCWSTR source);
LPSTR WINAPI lstrcpynA(LPSTR target, LPCSTR source, int length);
LPWSTR WINAPI lstrcpynW(LPWSTR target, LPCWSTR source, int length);
LPSTR WINAPI lstrcatA(LPSTR target, LPCSTR source);
LPWSTR WINAPI lstrcatW(LPWSTR target, LPCWSTR source);
int WINAPI lstrcmpA(LPCSTR first, LPCSTR second);
int WINAPI lstrcmpW(LPCWSTR first, LPCWSTR second);
int WINAPI lstrcmpiA(LPCSTR first, LPCSTR second);
int WINAPI lstrcmpiW(LPCWSTR first, LPCWSTR second);
char *_strlwr(char *text);

#define CharLower TAVO_AW(CharLower)
#define CharUpper TAVO_AW(CharUpper)
#define lstrlen TAVO_AW(lstrlen)
#define lstrcpy TAVO_AW(lstrcpy)
#define lstrcpyn TAVO_AW(lstrcpyn)
#define lstrcat TAVO_AW(lstrcat)
#define lstrcmp TAVO_AW(lstrcmp)
#define lstrcmpi TAVO_AW(lstrcmpi)

#endif
