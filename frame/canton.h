// Reading codes and the three reading schemes that write them out.
//
// A reading code is two bytes per syllable: bit 7 of the first byte marks
// it, then 5 bits of initial (0..19), 6 bits of final (0..51) and 3 bits
// of tone (1..7; 0 = not a code). Finals 35..51 end in p, t or k; their
// tones 1..3 are the scheme's tone entries 7..9.
#ifndef TAVO_FRAME_CANTON_H
#define TAVO_FRAME_CANTON_H

#include "platform/platform.h"

#define CANTON_INITIALS 19
#define CANTON_FINALS 51
#define CANTON_TONES 9
#define CANTON_FIRST_STOP_FINAL 35

// Tables are indexed from 1; entry 0 is an empty string.
extern const TCHAR *const LSHK_initials[CANTON_INITIALS + 1];
extern const TCHAR *const LSHK_finals[CANTON_FINALS + 1];
extern const TCHAR *const LSHK_tones[CANTON_TONES + 1];
extern const TCHAR *const Braille_initials[CANTON_INITIALS + 1];
extern const TCHAR *const Braille_finals[CANTON_FINALS + 1];
extern const TCHAR *const Braille_tones[CANTON_TONES + 1];
extern const TCHAR *const *const Oskel_initials;
extern const TCHAR *const *const Oskel_finals;
extern const TCHAR *const Oskel_tones[CANTON_TONES + 1];

// Decodes a zero-terminated reading-code string in scheme 0 (jyutping),
// 1 (braille ASCII) or 2 (jyutping without tones) into a new string that
// the caller frees with GlobalFree. Never null.
LPTSTR canton_decode(int scheme, const char *codes);
void canton_decodeNow(LPTSTR out, const char *codes, const TCHAR *const *initials,
                      const TCHAR *const *finals, const TCHAR *const *tones);

#endif
