// Threads, synchronisation and the operating system's version.
#ifndef TAVO_POSIX_WIN32_THREADS_H
#define TAVO_POSIX_WIN32_THREADS_H

#include "platform/posix/win32/base.h"
#include "platform/posix/win32/security.h"

#define __cdecl

// Threads of the C runtime (<process.h>). The handle that _beginthread
// returns closes itself when the thread ends; -1 means failure (errno).
uintptr_t _beginthread(void(__cdecl *start)(void *), unsigned stackSize, void *arg);
void _endthread(void);
DWORD WINAPI GetCurrentThreadId(void);
void WINAPI Sleep(DWORD milliseconds);
DWORD WINAPI GetTickCount(void);

#define INFINITE 0xFFFFFFFF
#define WAIT_OBJECT_0 0x00000000L
#define WAIT_ABANDONED 0x00000080L
#define WAIT_TIMEOUT 258L
#define WAIT_FAILED ((DWORD)0xFFFFFFFF)
#define ERROR_NOT_OWNER 288L

// The layout of Windows' critical section; the lock itself lives on the
// heap behind LockSemaphore (the other fields are not kept), so the
// struct may be a zeroed global.
typedef struct _RTL_CRITICAL_SECTION {
    PVOID DebugInfo;
    LONG LockCount;
    LONG RecursionCount;
    HANDLE OwningThread;
    HANDLE LockSemaphore;
    ULONG_PTR SpinCount;
} CRITICAL_SECTION, *PCRITICAL_SECTION, *LPCRITICAL_SECTION;

void WINAPI InitializeCriticalSection(LPCRITICAL_SECTION section);
void WINAPI EnterCriticalSection(LPCRITICAL_SECTION section);
BOOL WINAPI TryEnterCriticalSection(LPCRITICAL_SECTION section);
void WINAPI LeaveCriticalSection(LPCRITICAL_SECTION section);
void WINAPI DeleteCriticalSection(LPCRITICAL_SECTION section);

HANDLE WINAPI CreateMutexA(LPSECURITY_ATTRIBUTES security, BOOL initialOwner, LPCSTR name);
HANDLE WINAPI CreateMutexW(LPSECURITY_ATTRIBUTES security, BOOL initialOwner, LPCWSTR name);
BOOL WINAPI ReleaseMutex(HANDLE mutex);
DWORD WINAPI WaitForSingleObject(HANDLE object, DWORD milliseconds);

LONG WINAPI InterlockedExchange(volatile LONG *target, LONG value);
LONG WINAPI InterlockedIncrement(volatile LONG *target);
LONG WINAPI InterlockedDecrement(volatile LONG *target);
LONG WINAPI InterlockedCompareExchange(volatile LONG *target, LONG exchange, LONG comparand);

// Operating system version.
#define VER_PLATFORM_WIN32s 0
#define VER_PLATFORM_WIN32_WINDOWS 1
#define VER_PLATFORM_WIN32_NT 2

typedef struct _OSVERSIONINFOA {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    CHAR szCSDVersion[128];
} OSVERSIONINFOA, *POSVERSIONINFOA, *LPOSVERSIONINFOA;

typedef struct _OSVERSIONINFOW {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    WCHAR szCSDVersion[128];
} OSVERSIONINFOW, *POSVERSIONINFOW, *LPOSVERSIONINFOW;

BOOL WINAPI GetVersionExA(LPOSVERSIONINFOA info);
BOOL WINAPI GetVersionExW(LPOSVERSIONINFOW info);

#define CreateMutex TAVO_AW(CreateMutex)
#define GetVersionEx TAVO_AW(GetVersionEx)
#ifdef UNICODE
typedef OSVERSIONINFOW OSVERSIONINFO, *POSVERSIONINFO, *LPOSVERSIONINFO;
#else
typedef OSVERSIONINFOA OSVERSIONINFO, *POSVERSIONINFO, *LPOSVERSIONINFO;
#endif

#endif
