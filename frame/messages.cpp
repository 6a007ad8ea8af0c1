// Turning the engine's pending message requests into input-method
// messages, speaking the composition when "Speech" is on, and the two
// exports through which the application acts on the composition.
#include <string.h>

#include "dict/tablist.h"
#include "dict/text.h"
#include "frame/compstr.h"
#include "frame/exports.h"
#include "frame/globdata.h"
#include "speech/speech.h"

// The most messages one call appends: start, change and end.
#define MAX_APPENDED 3

// A zero-terminated copy of length units of an area's text, clipped to
// the area and the block; null when memory runs out.
static LPTSTR CopyAreaText(LPCOMPOSITIONSTRING compStr, DWORD offset, DWORD end, DWORD length) {
    if (end > compStr->dwSize)
        end = compStr->dwSize;
    DWORD room = end > offset ? (end - offset) / sizeof(TCHAR) : 0;
    if (length > room)
        length = room;
    LPTSTR copy = (LPTSTR)GlobalAlloc(GMEM_FIXED, (length + 1) * sizeof(TCHAR));
    if (copy == NULL)
        return NULL;
    memcpy(copy, (BYTE *)compStr + offset, length * sizeof(TCHAR));
    copy[length] = 0;
    return copy;
}

// The text that a composition message with these change flags shows.
static LPTSTR CopyChangedText(HIMCC hCompStr, DWORD gcsFlags) {
    LPCOMPOSITIONSTRING compStr = LockCompStr(hCompStr);
    if (compStr == NULL)
        return NULL;
    LPTSTR copy = NULL;
    if (gcsFlags & GCS_COMPSTR)
        copy = CopyAreaText(compStr, compStr->dwCompStrOffset, compStr->dwResultReadClauseOffset,
                            compStr->dwCompStrLen);
    else if (gcsFlags & GCS_COMPREADSTR)
        copy = CopyAreaText(compStr, compStr->dwCompReadStrOffset, compStr->dwCompAttrOffset,
                            compStr->dwCompReadStrLen);
    ImmUnlockIMCC(hCompStr);
    return copy;
}

// The speech library reads Big5 text.
static void Speak(LPTSTR text) {
#ifdef UNICODE
    char *big5 = TCharToBig5(text);
    if (big5 != NULL) {
        speech_read(big5);
        GlobalFree(big5);
    }
#else
    speech_read(text);
#endif
    GlobalFree(text);
}

static void Append(LPINPUTCONTEXT lpIMC, LPTRANSMSG buffer, UINT message, WPARAM wParam,
                   LPARAM lParam) {
    LPTRANSMSG slot = buffer + lpIMC->dwNumMsgBuf++;
    slot->message = message;
    slot->wParam = wParam;
    slot->lParam = lParam;
}

static WPARAM CompCharParam(TCHAR ch) {
#ifdef UNICODE
    return (WPARAM)(WORD)ch;
#else
    return (WPARAM)(INT_PTR)(signed char)ch;
#endif
}

// Appends the pending messages and clears the requests; returns the text
// to speak, if any.
static LPTSTR AppendPending(LPINPUTCONTEXT lpIMC, PrivateData *data, LPTRANSMSG buffer) {
    LPTSTR spoken = NULL;
    if ((data->msgFlags & MSG_START) && data->mode != MODE_READING) {
        Append(lpIMC, buffer, WM_IME_STARTCOMPOSITION, 0, 0);
        if (!data->optionMode)
            data->mode = MODE_READING;
    }
    if (data->msgFlags & MSG_CHANGE) {
        if (globData.speech) {
            spoken = CopyChangedText(lpIMC->hCompStr, data->gcsFlags);
            data->gcsFlags &= ~(DWORD)CHANGED_COMPTEXT;
        }
        Append(lpIMC, buffer, WM_IME_COMPOSITION, CompCharParam(data->compChar),
               (LPARAM)data->gcsFlags);
        data->compChar = 0;
        data->gcsFlags = 0;
    }
    // An idle engine has no composition to end (the option menu, which
    // opens one while idle, leaves the mode at reading when it closes).
    if ((data->msgFlags & MSG_END) && (data->optionMode || data->mode != MODE_IDLE)) {
        Append(lpIMC, buffer, WM_IME_ENDCOMPOSITION, 0, 0);
        if (!data->optionMode)
            data->mode = MODE_IDLE;
        if (globData.speech)
            speech_stop();
    }
    data->msgFlags = 0;
    data->msgCount = 0;
    return spoken;
}

void BuildMessages(HIMC hIMC, BOOL generate) {
    LPINPUTCONTEXT lpIMC = ImmLockIMC(hIMC);
    if (lpIMC == NULL)
        return;
    PrivateData *data = (PrivateData *)ImmLockIMCC(lpIMC->hPrivate);
    if (data == NULL) {
        ImmUnlockIMC(hIMC);
        return;
    }
    LPTSTR spoken = NULL;
    if (data->msgFlags != 0) {
        // The buffer always has room for what is appended, however few
        // slots the requests counted.
        DWORD slots = data->msgCount > MAX_APPENDED ? data->msgCount : MAX_APPENDED;
        LPTRANSMSG buffer = NULL;
        if (ResizeIMCC(&lpIMC->hMsgBuf, (lpIMC->dwNumMsgBuf + slots) * sizeof(TRANSMSG)))
            buffer = (LPTRANSMSG)ImmLockIMCC(lpIMC->hMsgBuf);
        if (buffer != NULL) {
            spoken = AppendPending(lpIMC, data, buffer);
            ImmUnlockIMCC(lpIMC->hMsgBuf);
        }
    }
    ImmUnlockIMCC(lpIMC->hPrivate);
    ImmUnlockIMC(hIMC);
    if (spoken != NULL)
        Speak(spoken);
    if (generate)
        ImmGenerateMessage(hIMC);
}

static BOOL ContextUpdated(HIMC hIMC, LPINPUTCONTEXT lpIMC, PrivateData *data, DWORD value) {
    switch (value) {
    case IMC_SETCONVERSIONMODE:
        StopTAVO(&lpIMC->hCompStr, data);
        return TRUE;
    case IMC_SETOPENSTATUS:
        if (!ImmGetOpenStatus(hIMC))
            StopTAVO(&lpIMC->hCompStr, data);
        return TRUE;
    case IMC_SETSENTENCEMODE:
    case IMC_SETCANDIDATEPOS:
    case IMC_SETCOMPOSITIONFONT:
    case IMC_SETCOMPOSITIONWINDOW:
        return TRUE;
    default:
        return FALSE;
    }
}

static BOOL HandleNotification(HIMC hIMC, LPINPUTCONTEXT lpIMC, PrivateData *data, DWORD action,
                               DWORD index, DWORD value) {
    switch (action) {
    case NI_CONTEXTUPDATED:
        return ContextUpdated(hIMC, lpIMC, data, value);
    case NI_COMPOSITIONSTR:
        if (index != CPS_COMPLETE && index != CPS_CANCEL)
            return FALSE;
        StopTAVO(&lpIMC->hCompStr, data);
        return TRUE;
    case NI_SELECTCANDIDATESTR:
    case NI_CHANGECANDIDATELIST:
    case NI_SETCANDIDATE_PAGESTART:
    case NI_SETCANDIDATE_PAGESIZE:
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL WINAPI NotifyIME(HIMC hIMC, DWORD action, DWORD index, DWORD value) {
    LPINPUTCONTEXT lpIMC = ImmLockIMC(hIMC);
    if (lpIMC == NULL)
        return FALSE;
    PrivateData *data = (PrivateData *)ImmLockIMCC(lpIMC->hPrivate);
    LPVOID compStr = ImmLockIMCC(lpIMC->hCompStr);
    BOOL handled = FALSE;
    DWORD pending = 0;
    if (data != NULL && compStr != NULL)
        handled = HandleNotification(hIMC, lpIMC, data, action, index, value);
    if (data != NULL)
        pending = data->msgCount;
    if (compStr != NULL)
        ImmUnlockIMCC(lpIMC->hCompStr);
    if (data != NULL)
        ImmUnlockIMCC(lpIMC->hPrivate);
    ImmUnlockIMC(hIMC);
    if (pending != 0)
        BuildMessages(hIMC, TRUE);
    return handled;
}

// The application may not set the composition: it is refused every time.
BOOL WINAPI ImeSetCompositionString(HIMC hIMC, DWORD index, LPVOID comp, DWORD compLength,
                                    LPVOID read, DWORD readLength) {
    (void)index;
    (void)comp;
    (void)compLength;
    (void)read;
    (void)readLength;
    LPINPUTCONTEXT lpIMC = ImmLockIMC(hIMC);
    if (lpIMC == NULL)
        return FALSE;
    if (ImmLockIMCC(lpIMC->hPrivate) != NULL)
        ImmUnlockIMCC(lpIMC->hPrivate);
    if (ImmLockIMCC(lpIMC->hCompStr) != NULL)
        ImmUnlockIMCC(lpIMC->hCompStr);
    ImmUnlockIMC(hIMC);
    return FALSE;
}
