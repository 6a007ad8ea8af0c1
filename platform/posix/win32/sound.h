// Sound (winmm).
#ifndef TAVO_POSIX_WIN32_SOUND_H
#define TAVO_POSIX_WIN32_SOUND_H

#include "platform/posix/win32/base.h"

// Sound (winmm). One sound plays per process at a time: a new one, or a
// call without a sound, cuts off the one playing, from any thread.
#define SND_SYNC 0x0000
#define SND_ASYNC 0x0001
#define SND_NODEFAULT 0x0002
#define SND_MEMORY 0x0004
#define SND_PURGE 0x0040
#define SND_RESOURCE 0x00040004L

BOOL WINAPI PlaySoundA(LPCSTR sound, HMODULE module, DWORD flags);
BOOL WINAPI PlaySoundW(LPCWSTR sound, HMODULE module, DWORD flags);

#define PlaySound TAVO_AW(PlaySound)

#endif
