// The composition engine's operations. Every operation takes the address
// of the context's composition-string handle (the block may move when it
// grows) and the locked engine record; it edits the composition string
// and records message requests in the record, which BuildMessages turns
// into messages afterwards.
#ifndef TAVO_ENGINE_ENGINE_H
#define TAVO_ENGINE_ENGINE_H

#include "engine/privdata.h"

// Navigation keys that the engine compares with the whole key value.
#define KEY_PRIOR 0x21
#define KEY_NEXT 0x22
#define KEY_LEFT 0x25
#define KEY_UP 0x26
#define KEY_RIGHT 0x27
#define KEY_DOWN 0x28
// The key left of 1: with Control the option menu, with Control and Shift
// the switch between Cantonese and alphanumeric input.
#define KEY_MENU 0xC0

// Key dispatch: hands the current key (ch and vkey already in the record)
// to the operation that the mode and the option menu call for.
void TranslateChar(HIMC hIMC, LPINPUTCONTEXT lpIMC, DWORD key, const BYTE *keyState);

// Reading entry.
void ExtendReading(HIMCC *hCompStr, PrivateData *data);
void ReduceReading(HIMCC *hCompStr, PrivateData *data);
void DisplayReading(HIMCC *hCompStr, PrivateData *data);
void BypassConversion(LPINPUTCONTEXT lpIMC, HIMCC *hCompStr, PrivateData *data);
void TranslateToAscii(LPINPUTCONTEXT lpIMC, HIMCC *hCompStr, PrivateData *data);

// The option menu.
void DisplayOption(HIMCC *hCompStr, PrivateData *data);
void OptionChar(HIMCC *hCompStr, PrivateData *data, DWORD key, const BYTE *keyState);

#endif
