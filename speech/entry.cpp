// Loading and unloading the speech library: the dictionary, the pending
// block, its lock and the worker live from attach to detach.
#include "speech/globals.h"

HINSTANCE hInstance;
ptree *dicTree;
SpeechData *lpSD;
CRITICAL_SECTION csData;
HANDLE hRunMutex;
LPSECURITY_ATTRIBUTES pSA;
volatile LONG stopRequested;
volatile LONG workerDone;
volatile LONG speechGeneration;

// How long the detach waits for the worker to let go of the library.
#define WORKER_EXIT_MS 3000
// After its flag the worker still runs the few instructions that return
// from its function; this long it is given before the library goes.
#define WORKER_LEAVE_MS 50

static ptree *OpenDictionary(HINSTANCE instance) {
    HRSRC resource =
        FindResourceA(instance, MAKEINTRESOURCEA(SPEECH_DICTIONARY_RESOURCE), RT_RCDATA);
    HGLOBAL loaded = resource != NULL ? LoadResource(instance, resource) : NULL;
    const void *image = loaded != NULL ? LockResource(loaded) : NULL;
    return ptree_open(image, image != NULL ? SizeofResource(instance, resource) : 0);
}

static BOOL Attach(HINSTANCE instance) {
    DisableThreadLibraryCalls(instance);
    hInstance = instance;
    stopRequested = 0;
    workerDone = 0;
    lpSD = (SpeechData *)GlobalAlloc(GMEM_FIXED, SPEECH_HEADER_SIZE + 4);
    if (lpSD != NULL) {
        lpSD->capacity = 1;
        lpSD->length = 0;
        lpSD->text[0] = 0;
        InitializeCriticalSection(&csData);
        dicTree = OpenDictionary(instance);
    }
    if (dicTree != NULL) {
        pSA = CreateGrantAllSecAttr();
        hRunMutex = CreateMutexA(pSA, TRUE, NULL);
    }
    if (hRunMutex != NULL && _beginthread(SpeechThread, 0, NULL) != (uintptr_t)-1)
        return TRUE;
    if (hRunMutex != NULL)
        CloseHandle(hRunMutex);
    DeleteGrantAllSecAttr(pSA);
    ptree_close(dicTree);
    if (lpSD != NULL) {
        DeleteCriticalSection(&csData);
        GlobalFree(lpSD);
    }
    hRunMutex = NULL;
    pSA = NULL;
    dicTree = NULL;
    lpSD = NULL;
    return FALSE;
}

// Waits, for a bounded time and without taking any lock the loader may
// hold, until the worker no longer touches the library.
static BOOL WorkerEnded(void) {
    DWORD start = GetTickCount();
    while (InterlockedCompareExchange(&workerDone, 0, 0) == 0) {
        if (GetTickCount() - start >= WORKER_EXIT_MS)
            return FALSE;
        Sleep(1);
    }
    Sleep(WORKER_LEAVE_MS);
    return TRUE;
}

static void Detach(void) {
    InterlockedExchange(&stopRequested, 1);
    ReleaseMutex(hRunMutex);
    PlaySoundA(NULL, NULL, 0);
    // A worker that does not end in time may still use the record, the
    // lock and the dictionary: they are then left allocated rather than
    // freed under it.
    if (!WorkerEnded())
        return;
    CloseHandle(hRunMutex);
    DeleteGrantAllSecAttr(pSA);
    EnterCriticalSection(&csData);
    LeaveCriticalSection(&csData);
    DeleteCriticalSection(&csData);
    GlobalFree(lpSD);
    ptree_close(dicTree);
    hRunMutex = NULL;
    pSA = NULL;
    lpSD = NULL;
    dicTree = NULL;
}

// When the process ends (reserved not null) its other threads are gone
// already: the worker can't end by itself, and what it holds goes with the
// process, so there is nothing to wait for.
extern "C" BOOL WINAPI DllEntryPoint(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH)
        return Attach(instance);
    if (reason == DLL_PROCESS_DETACH && reserved == NULL)
        Detach();
    return FALSE;
}

// The entry point that the loader and the C runtime's start-up call.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    return DllEntryPoint(instance, reason, reserved);
}
