// The worker thread: takes the pending reading codes apart from the front
// and plays the recording of each piece.
#include "speech/globals.h"

#include <cstring>

// The voice database in the system directory, or null without one.
static ptree *OpenVoice(void) {
    char path[MAX_PATH + 40];
    char name[32];
    UINT length = GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH ||
        LoadStringA(hInstance, SPEECH_VOICE_STRING, name, 32) == 0)
        return NULL;
    // The path is made whole rather than by changing the current
    // directory, which belongs to the application.
    lstrcatA(path, "\\");
    lstrcatA(path, name);
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_RANDOM_ACCESS, NULL);
    ptree *voice = ptree_open_handle(file);
    if (!ptree_check_id(voice, SPEECH_VOICE_ID)) {
        ptree_close(voice);
        return NULL;
    }
    return voice;
}

// The recording in a voice key's data: one skipped byte, then a WAVE
// image that must lie wholly inside the data. The player takes the
// image's length from its RIFF header, so a header that claims more than
// the data holds (or data too short for a header) is damage, not sound.
static const char *RecordingIn(const char *data, DWORD size) {
    if (size < 1 + 12)
        return NULL;
    const BYTE *wave = (const BYTE *)data + 1;
    DWORD riff =
        (DWORD)wave[4] | ((DWORD)wave[5] << 8) | ((DWORD)wave[6] << 16) | ((DWORD)wave[7] << 24);
    if (memcmp(wave, "RIFF", 4) != 0 || riff > size - 1 - 8)
        return NULL;
    return (const char *)wave;
}

// Takes the next piece off the pending text: the longest recording that
// begins it, or else one character said by nothing. Returns the wave to
// play, or null, and the generation of the text it came from.
static const char *TakePiece(ptree *voice, LONG *generation) {
    const char *wave = NULL;
    EnterCriticalSection(&csData);
    *generation = speechGeneration;
    if (lpSD->length > 0) {
        int n = ptree_match(voice, lpSD->text, 0);
        if (n > 0)
            wave = RecordingIn(ptree_data(voice), ptree_dataSize(voice));
        else
            // A reading code, like a Big5 character, is two bytes: both go.
            n = (lpSD->text[0] & 0x80) && lpSD->text[1] != 0 ? 2 : 1;
        if (n > lpSD->length)
            n = lpSD->length;
        memmove(lpSD->text, lpSD->text + n, lpSD->length - n + 1);
        lpSD->length -= n;
    }
    LeaveCriticalSection(&csData);
    return wave;
}

// Waits one poll interval; TRUE when the worker is to end. The run mutex
// is released by the detach; if the thread that owned it ends first, the
// worker goes on pacing itself by sleeping, so speech does not die with
// the thread that happened to load the library.
static BOOL WaitForStop(BOOL *pacedBySleep) {
    if (*pacedBySleep) {
        Sleep(SPEECH_POLL_MS);
    } else {
        DWORD result = WaitForSingleObject(hRunMutex, SPEECH_POLL_MS);
        if (result == WAIT_OBJECT_0 || result == WAIT_ABANDONED) {
            ReleaseMutex(hRunMutex);
            *pacedBySleep = TRUE;
        } else if (result != WAIT_TIMEOUT) {
            *pacedBySleep = TRUE;
        }
    }
    return InterlockedCompareExchange(&stopRequested, 0, 0) != 0;
}

void __cdecl SpeechThread(void *) {
    ptree *voice = OpenVoice();
    BOOL pacedBySleep = FALSE;
    do {
        LONG generation = 0;
        const char *wave = TakePiece(voice, &generation);
        if (wave != NULL && generation == InterlockedCompareExchange(&speechGeneration, 0, 0))
            PlaySoundA(wave, NULL, SND_MEMORY);
    } while (!WaitForStop(&pacedBySleep));
    ptree_close(voice);
    InterlockedExchange(&workerDone, 1);
}
