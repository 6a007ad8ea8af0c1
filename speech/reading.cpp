// speech_read and speech_stop: what the input method calls, on its own
// thread. Neither ever waits for a sound to finish.
#include "speech/globals.h"
#include "speech/speech.h"

#include "dict/lookup.h"

#include <cstring>

// Puts the codes in the pending block, replacing it when they don't fit.
// Called with csData held.
static void SetPending(const char *codes) {
    LONG length = (LONG)strlen(codes);
    if (length >= lpSD->capacity) {
        SpeechData *block = (SpeechData *)GlobalAlloc(GMEM_FIXED, length + 32);
        if (block == NULL) {
            lpSD->length = 0; // better silence than a text cut short anywhere
            return;
        }
        block->capacity = length + 20;
        GlobalFree(lpSD);
        lpSD = block;
    }
    memcpy(lpSD->text, codes, length + 1);
    lpSD->length = length;
}

int WINAPI speech_read(const char *text) {
    // The dictionary tree keeps its place between matches, so callers on
    // several threads take turns with it under the same lock.
    EnterCriticalSection(&csData);
    char *codes = LookupCantonese(dicTree, text != NULL ? text : "");
    LeaveCriticalSection(&csData);
    // Stopping the sound first makes a worker that is playing return at
    // once, so the new text starts without waiting for a syllable to end.
    PlaySoundA(NULL, NULL, 0);
    EnterCriticalSection(&csData);
    if (codes != NULL)
        SetPending(codes);
    else
        lpSD->length = 0;
    InterlockedIncrement(&speechGeneration);
    LeaveCriticalSection(&csData);
    // Again, for a piece the worker began to play while the text changed.
    PlaySoundA(NULL, NULL, 0);
    if (codes != NULL)
        GlobalFree(codes);
    return 1;
}

int WINAPI speech_stop(void) {
    PlaySoundA(NULL, NULL, 0);
    // The block may be replaced by speech_read on another thread, so its
    // address is only read under the lock.
    EnterCriticalSection(&csData);
    InterlockedExchange(&lpSD->length, 0);
    InterlockedIncrement(&speechGeneration);
    LeaveCriticalSection(&csData);
    PlaySoundA(NULL, NULL, 0);
    return 1;
}
