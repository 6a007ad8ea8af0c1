// The speech library's state, one set per process.
#ifndef TAVO_SPEECH_GLOBALS_H
#define TAVO_SPEECH_GLOBALS_H

#include "dict/ptree.h"

// The pending speech: reading codes still to be said. A block is replaced
// by a larger one when a text does not fit, never grown in place.
struct SpeechData {
    LONG capacity; // bytes of text the block has room for, terminator included
    LONG length;   // bytes pending, terminator excluded; 0 or less = nothing
    char text[4];  // zero-terminated; the block continues past these 4 bytes
};

#define SPEECH_HEADER_SIZE 8
#define SPEECH_VOICE_STRING 257
#define SPEECH_DICTIONARY_RESOURCE 256
#define SPEECH_VOICE_ID "TAVO voice database"
#define SPEECH_POLL_MS 10

extern HINSTANCE hInstance;
extern ptree *dicTree;
extern SpeechData *lpSD;
extern CRITICAL_SECTION csData;
extern HANDLE hRunMutex;
extern LPSECURITY_ATTRIBUTES pSA;
// Set by the detach to end the worker, whichever thread the detach runs
// on; set by the worker when it no longer touches anything of the library.
extern volatile LONG stopRequested;
extern volatile LONG workerDone;
// Counts the texts and stops: a piece taken before a newer one is dropped
// rather than played.
extern volatile LONG speechGeneration;

void __cdecl SpeechThread(void *unused);

LPSECURITY_ATTRIBUTES CreateGrantAllSecAttr(void);
void DeleteGrantAllSecAttr(LPSECURITY_ATTRIBUTES attributes);

#endif
