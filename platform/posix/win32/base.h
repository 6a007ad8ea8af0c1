// Basic types, the text flavour, errors, and the handles and geometry that windows, drawing and
// input contexts share.
#ifndef TAVO_POSIX_WIN32_BASE_H
#define TAVO_POSIX_WIN32_BASE_H

#include <cstddef>
#include <cstdint>

// ---- Basic types -------------------------------------------------------

#define WINAPI
#define CALLBACK
#define APIENTRY
#define CONST const
#define VOID void

typedef int BOOL;
typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef int INT;
typedef unsigned int UINT;
typedef short SHORT;
typedef unsigned short USHORT;
typedef char CHAR;
typedef unsigned char UCHAR;
typedef char16_t WCHAR;
typedef size_t SIZE_T;
typedef intptr_t INT_PTR;
typedef uintptr_t UINT_PTR;
typedef intptr_t LONG_PTR;
typedef uintptr_t ULONG_PTR;
typedef uintptr_t DWORD_PTR;
typedef int64_t LONGLONG;
typedef uint64_t ULONGLONG;

typedef void *LPVOID;
typedef const void *LPCVOID;
typedef void *PVOID;
typedef BOOL *LPBOOL;
typedef BYTE *LPBYTE;
typedef BYTE *PBYTE;
typedef WORD *LPWORD;
typedef DWORD *LPDWORD;
typedef DWORD *PDWORD;
typedef LONG *LPLONG;
typedef LONG *PLONG;
typedef CHAR *LPSTR;
typedef const CHAR *LPCSTR;
typedef WCHAR *LPWSTR;
typedef const WCHAR *LPCWSTR;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif
#ifndef MAX_PATH
#define MAX_PATH 260
#endif

// Kernel objects (files, mappings, threads, mutexes) are opaque handles.
typedef void *HANDLE;
typedef HANDLE *PHANDLE;
typedef HANDLE *LPHANDLE;
typedef void *HGLOBAL;
typedef void *HLOCAL;
struct HINSTANCE__;
typedef HINSTANCE__ *HINSTANCE;
typedef HINSTANCE HMODULE;

#define INVALID_HANDLE_VALUE ((HANDLE)(LONG_PTR)-1)

#define LOWORD(l) ((WORD)(((DWORD_PTR)(l)) & 0xffff))
#define HIWORD(l) ((WORD)((((DWORD_PTR)(l)) >> 16) & 0xffff))
#define LOBYTE(w) ((BYTE)(((DWORD_PTR)(w)) & 0xff))
#define HIBYTE(w) ((BYTE)((((DWORD_PTR)(w)) >> 8) & 0xff))
#define MAKEWORD(a, b) ((WORD)(((BYTE)(a)) | ((WORD)((BYTE)(b))) << 8))
#define MAKELONG(a, b) ((LONG)(((WORD)(a)) | ((DWORD)((WORD)(b))) << 16))

// ---- Text flavour ------------------------------------------------------

#ifdef UNICODE
typedef WCHAR TCHAR;
#define __TEXT(s) u##s
#else
typedef CHAR TCHAR;
#define __TEXT(s) s
#endif
#define TEXT(s) __TEXT(s)
typedef TCHAR *LPTSTR;
typedef const TCHAR *LPCTSTR;

#ifdef UNICODE
#define TAVO_AW(name) name##W
#else
#define TAVO_AW(name) name##A
#endif

// ---- Errors ------------------------------------------------------------

#define ERROR_SUCCESS 0L
#define NO_ERROR 0L
#define ERROR_INVALID_FUNCTION 1L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_PATH_NOT_FOUND 3L
#define ERROR_TOO_MANY_OPEN_FILES 4L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_NOT_ENOUGH_MEMORY 8L
#define ERROR_OUTOFMEMORY 14L
#define ERROR_NEGATIVE_SEEK 131L
#define ERROR_SHARING_VIOLATION 32L
#define ERROR_HANDLE_EOF 38L
#define ERROR_FILE_EXISTS 80L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_INSUFFICIENT_BUFFER 122L
#define ERROR_ALREADY_EXISTS 183L
#define ERROR_NO_UNICODE_TRANSLATION 1113L
#define ERROR_FILE_INVALID 1006L
#define ERROR_INVALID_FLAGS 1004L
#define ERROR_NOT_LOCKED 158L
#define ERROR_LOCK_VIOLATION 33L
#define ERROR_GEN_FAILURE 31L
#define ERROR_NOT_SUPPORTED 50L
#define ERROR_DISK_FULL 112L
#define ERROR_INVALID_NAME 123L
#define ERROR_DISCARDED 157L
#define ERROR_FILENAME_EXCED_RANGE 206L
#define ERROR_INVALID_ADDRESS 487L
#define ERROR_MAPPED_ALIGNMENT 1132L

DWORD WINAPI GetLastError(void);
void WINAPI SetLastError(DWORD code);

// ---- Windows: handles, messages and geometry ----------------------------

struct HWND__;
typedef HWND__ *HWND;
struct HICON__;
typedef HICON__ *HICON;
typedef HICON HCURSOR;
struct HIMC__;
typedef HIMC__ *HIMC;
struct HIMCC__;
typedef HIMCC__ *HIMCC;
struct HKL__;
typedef HKL__ *HKL;
typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef LONG_PTR LRESULT;

typedef struct tagPOINT {
    LONG x;
    LONG y;
} POINT, *PPOINT, *LPPOINT;

typedef struct tagRECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
} RECT, *PRECT, *LPRECT;

#endif
