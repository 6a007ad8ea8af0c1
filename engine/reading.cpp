// Reading entry: the typed reading grows and shrinks in the reading area
// of the composition string; Enter commits it as typed, and outside a
// composition a character is committed at once.
#include "engine/engine.h"
#include "frame/compstr.h"
#include "frame/globdata.h"

#include <cstring>

// Writes the full-width form of c (0x20..0x7E) from the module's table,
// or c itself; returns the text units written.
static DWORD WriteShaped(const PrivateData *data, TCHAR c, BOOL fullShape, LPTSTR out) {
    BYTE code = (BYTE)c;
    if (!fullShape || data->fullWidth == NULL || code < 0x20 || code > 0x7E) {
        out[0] = c;
        return 1;
    }
    const BYTE *entry = (const BYTE *)data->fullWidth + 2 * (code - 0x20);
#ifdef UNICODE
    out[0] = (TCHAR)(entry[0] | (entry[1] << 8));
    return 1;
#else
    out[0] = (TCHAR)entry[0];
    out[1] = (TCHAR)entry[1];
    return 2;
#endif
}

void DisplayReading(HIMCC *hCompStr, PrivateData *data) {
    LPCOMPOSITIONSTRING cs = LockCompStr(*hCompStr);
    if (cs == NULL)
        return;
    DWORD length = cs->dwCompReadStrLen;
    LPTSTR copy = (LPTSTR)GlobalAlloc(GMEM_FIXED, (length + 1) * sizeof(TCHAR));
    if (copy != NULL) {
        memcpy(copy, COMPSTR_TEXT(cs, dwCompReadStrOffset), length * sizeof(TCHAR));
        copy[length] = 0;
    }
    ImmUnlockIMCC(*hCompStr);
    if (copy != NULL) {
        UpdateCompStr(hCompStr, data, copy);
        GlobalFree(copy);
    }
}

void ExtendReading(HIMCC *hCompStr, PrivateData *data) {
    LPCOMPOSITIONSTRING cs = LockCompStr(*hCompStr);
    if (cs == NULL)
        return;
    if (data->mode == MODE_IDLE) {
        RequestStart(data);
        ResetCompStr(cs);
        data->readLen = 0;
    }
    DWORD n = data->readLen;
    ImmUnlockIMCC(*hCompStr);
    if (!ResizeCompStr(hCompStr, AREA_COMPREADSTR, (n + 2) * sizeof(TCHAR)) ||
        !ResizeCompStr(hCompStr, AREA_COMPREADATTR, n + 1) || (cs = LockCompStr(*hCompStr)) == NULL)
        return;
    ((BYTE *)cs + cs->dwCompReadAttrOffset)[n] = 0;
    COMPSTR_DWORDS(cs, dwCompReadClauseOffset)[1] = n + 1;
    LPTSTR reading = COMPSTR_TEXT(cs, dwCompReadStrOffset);
    reading[n] = data->ch;
    reading[n + 1] = 0;
    cs->dwCompReadStrLen = cs->dwCompReadAttrLen = n + 1;
    RequestChange(data, CHANGED_READING);
    data->readLen = n + 1;
    data->compChar = data->ch;
    ImmUnlockIMCC(*hCompStr);
    // Without "Verbose Composition" the reading is neither shown nor said.
    if (globData.verboseComposition)
        DisplayReading(hCompStr, data);
    else
        UpdateCompStr(hCompStr, data, TEXT(" "));
}

void ReduceReading(HIMCC *hCompStr, PrivateData *data) {
    LPCOMPOSITIONSTRING cs = LockCompStr(*hCompStr);
    if (cs == NULL)
        return;
    DWORD n = cs->dwCompReadStrLen;
    if (n > 0) {
        COMPSTR_TEXT(cs, dwCompReadStrOffset)[n - 1] = 0;
        COMPSTR_DWORDS(cs, dwCompReadClauseOffset)[1] = n - 1;
        cs->dwCompReadStrLen = cs->dwCompReadAttrLen = n - 1;
        data->readLen = n - 1;
        RequestChange(data, CHANGED_READING);
    }
    if (data->readLen == 0) {
        StopTAVO(hCompStr, data);
        ImmUnlockIMCC(*hCompStr);
        return;
    }
    ImmUnlockIMCC(*hCompStr);
    DisplayReading(hCompStr, data);
}

void BypassConversion(LPINPUTCONTEXT lpIMC, HIMCC *hCompStr, PrivateData *data) {
    DWORD n = data->readLen;
    BOOL fullShape = (lpIMC->fdwConversion & IME_CMODE_FULLSHAPE) != 0;
    DWORD room = (fullShape && sizeof(TCHAR) == 1 ? 2 * n : n) + 1;
    if (!ResizeCompStr(hCompStr, AREA_RESULTSTR, room * sizeof(TCHAR)) ||
        !ResizeCompStr(hCompStr, AREA_COMPSTR, room * sizeof(TCHAR)))
        return;
    LPCOMPOSITIONSTRING cs = LockCompStr(*hCompStr);
    if (cs == NULL)
        return;
    LPCTSTR reading = COMPSTR_TEXT(cs, dwCompReadStrOffset);
    LPTSTR result = COMPSTR_TEXT(cs, dwResultStrOffset);
    DWORD m = 0;
    for (DWORD i = 0; i < n; i++)
        m += WriteShaped(data, reading[i], fullShape, result + m);
    CommitResultStr(cs, data, m);
    ImmUnlockIMCC(*hCompStr);
}

void TranslateToAscii(LPINPUTCONTEXT lpIMC, HIMCC *hCompStr, PrivateData *data) {
    if (!ResizeCompStr(hCompStr, AREA_RESULTSTR, 3 * sizeof(TCHAR)))
        return;
    LPCOMPOSITIONSTRING cs = LockCompStr(*hCompStr);
    if (cs == NULL)
        return;
    LPTSTR result = COMPSTR_TEXT(cs, dwResultStrOffset);
    DWORD length =
        WriteShaped(data, data->ch, (lpIMC->fdwConversion & IME_CMODE_FULLSHAPE) != 0, result);
    result[length] = 0;
    COMPSTR_DWORDS(cs, dwResultClauseOffset)[1] = length;
    cs->dwResultStrLen = length;
    // Start, result and end in one batch: the composition itself is untouched.
    data->msgFlags |= MSG_START | MSG_CHANGE | MSG_END;
    data->msgCount += 4;
    data->gcsFlags |= CHANGED_PASSED;
    data->compChar = data->ch;
    ImmUnlockIMCC(*hCompStr);
}
