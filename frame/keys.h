// Key intake: which keys the module takes, and how a key or a braille
// chord on the dot keys becomes the engine's key code.
#ifndef TAVO_FRAME_KEYS_H
#define TAVO_FRAME_KEYS_H

#include "engine/privdata.h"

extern const BYTE dotKeys[7];
extern const BYTE altDirKeys[13];
extern const BYTE dotFilter[15];
extern const char cmdKeys[];
extern const TCHAR queryKeys[];
extern const TCHAR phraseKeys[];
extern const char brailleCells[128];

// A key code: the virtual key in the lowest text unit, the character in
// the unit above, as the keyboard hands keys to the engine.
DWORD KeyCode(TCHAR virtualKey, TCHAR character);
DWORD NextChar(PrivateData *data, UINT virtualKey, UINT scanCode, const BYTE *keyState);

#endif
