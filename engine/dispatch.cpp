// Key dispatch: what a key means in the engine's mode, with the option
// menu and Esc above every mode.
#include "engine/chars.h"
#include "engine/choosing.h"
#include "engine/engine.h"
#include "frame/compstr.h"
#include "frame/globdata.h"
#include "frame/settings.h"
#include "ui/resource.h"

// A text unit as an unsigned number, whatever the flavour.
static UINT Unit(TCHAR c) {
    return sizeof(TCHAR) == 1 ? (BYTE)c : (WORD)c;
}

static BOOL IsDown(const BYTE *keyState, int key) {
    return (keyState[key] & 0x80) != 0;
}

static BOOL IsReadingChar(TCHAR c) {
    return Unit(c) >= 0x21 && Unit(c) <= 0x7F;
}

// Esc: the reading and everything chosen are dropped and the composition
// ends, with nothing committed.
static void Escape(HIMCC *hCompStr, PrivateData *data) {
    LPCOMPOSITIONSTRING cs = LockCompStr(*hCompStr);
    if (cs != NULL) {
        ResetCompStr(cs);
        data->readLen = 0;
        RequestChange(data, CHANGED_EMPTIED);
        ImmUnlockIMCC(*hCompStr);
    }
    StopTAVO(hCompStr, data);
}

// Control+Shift+menu key: Cantonese input on or off, with its sound. The
// platform reports the change back through NotifyIME.
static void ToggleNative(HIMC hIMC, LPINPUTCONTEXT lpIMC) {
    PlayWave(WAVE_NATIVE_ON | (lpIMC->fdwConversion & IME_CMODE_NATIVE));
    ImmSetConversionStatus(hIMC, lpIMC->fdwConversion ^ IME_CMODE_NATIVE, lpIMC->fdwSentence);
}

// Mode 0: a reading character starts a composition in Cantonese mode;
// any other character is committed as it is. A key without a character
// (a cursor key of the dot keys) is dropped: there is nothing to commit.
static void IdleKey(LPINPUTCONTEXT lpIMC, HIMCC *hCompStr, PrivateData *data) {
    if (data->ch == 0)
        return;
    if (IsReadingChar(data->ch) && (lpIMC->fdwConversion & IME_CMODE_NATIVE)) {
        LoadUserSettings();
        ExtendReading(hCompStr, data);
    } else {
        TranslateToAscii(lpIMC, hCompStr, data);
    }
}

// Mode 1: the reading is typed, shortened, converted, committed as typed,
// or shown again.
static void ReadingKey(LPINPUTCONTEXT lpIMC, HIMCC *hCompStr, PrivateData *data, DWORD key) {
    if (IsReadingChar(data->ch)) {
        ExtendReading(hCompStr, data);
    } else if (Unit(data->ch) == CHAR_BACKSPACE) {
        ReduceReading(hCompStr, data);
    } else if (Unit(data->ch) == CHAR_SPACE || key == KEY_RIGHT) {
        // Space commits a single candidate covering the whole reading at
        // once; Right always shows the candidates.
        ConvertFirst(hCompStr, data, Unit(data->ch) == CHAR_SPACE);
    } else if (Unit(data->ch) == CHAR_ENTER) {
        BypassConversion(lpIMC, hCompStr, data);
        StopTAVO(hCompStr, data);
    } else if (key == KEY_DOWN) {
        DisplayReading(hCompStr, data);
    }
}

void TranslateChar(HIMC hIMC, LPINPUTCONTEXT lpIMC, DWORD key, const BYTE *keyState) {
    PrivateData *data = (PrivateData *)ImmLockIMCC(lpIMC->hPrivate);
    if (data == NULL)
        return;
    HIMCC *hCompStr = &lpIMC->hCompStr;
    BOOL menuKey = Unit(data->vkey) == KEY_MENU && IsDown(keyState, VK_CONTROL);
    if (data->optionMode)
        OptionChar(hCompStr, data, key, keyState);
    else if (Unit(data->ch) == CHAR_ESC)
        Escape(hCompStr, data);
    else if (menuKey && !IsDown(keyState, VK_SHIFT))
        DisplayOption(hCompStr, data);
    else if (menuKey)
        ToggleNative(hIMC, lpIMC);
    else if (data->mode == MODE_IDLE)
        IdleKey(lpIMC, hCompStr, data);
    else if (data->mode == MODE_READING)
        ReadingKey(lpIMC, hCompStr, data, key);
    else if ((data->mode == MODE_CHOOSING || data->mode == MODE_QUERY) &&
             !PhraseChar(hCompStr, data, key, keyState))
        (data->mode == MODE_CHOOSING ? ChoosingKey : QueryKey)(hCompStr, data, key);
    ImmUnlockIMCC(lpIMC->hPrivate);
}
