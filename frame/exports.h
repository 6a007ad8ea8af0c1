// What the module exports to the input-method manager.
#ifndef TAVO_FRAME_EXPORTS_H
#define TAVO_FRAME_EXPORTS_H

#include "platform/platform.h"

extern "C" {
// The class-name buffer is typed as the manager passes it: which text the
// module writes there, UTF-16 or Big5, the manager learns only from the
// IMEINFO filled by this very call (IME_PROP_UNICODE).
BOOL WINAPI ImeInquire(LPIMEINFO info, LPVOID uiClass, DWORD systemFlags);
BOOL WINAPI ImeDestroy(UINT reserved);
BOOL WINAPI ImeConfigure(HKL layout, HWND owner, DWORD mode, LPVOID data);
BOOL WINAPI ImeSelect(HIMC hIMC, BOOL select);
BOOL WINAPI ImeSetActiveContext(HIMC hIMC, BOOL active);
BOOL WINAPI ImeProcessKey(HIMC hIMC, UINT virtualKey, LPARAM keyData, const BYTE *keyState);
UINT WINAPI ImeToAsciiEx(UINT virtualKey, UINT scanCode, const BYTE *keyState,
                         LPTRANSMSGLIST messages, UINT state, HIMC hIMC);
BOOL WINAPI NotifyIME(HIMC hIMC, DWORD action, DWORD index, DWORD value);
BOOL WINAPI ImeSetCompositionString(HIMC hIMC, DWORD index, LPVOID comp, DWORD compLength,
                                    LPVOID read, DWORD readLength);
BOOL WINAPI ImeRegisterWord(LPCTSTR reading, DWORD style, LPCTSTR word);
BOOL WINAPI ImeUnregisterWord(LPCTSTR reading, DWORD style, LPCTSTR word);
LRESULT WINAPI ImeEscape(HIMC hIMC, UINT escape, LPVOID data);
UINT WINAPI ImeGetRegisterWordStyle(UINT count, LPVOID styles);
UINT WINAPI ImeEnumRegisterWord(LPVOID callback, LPCTSTR reading, DWORD style, LPCTSTR word,
                                LPVOID data);
DWORD WINAPI ImeConversionList(HIMC hIMC, LPCTSTR source, LPVOID list, DWORD length, UINT flag);
BOOL WINAPI ImeDllInit(HINSTANCE instance, DWORD reason, LPVOID reserved);
}

// Fills globData once per process.
void InitGlobalData(HINSTANCE instance);

#endif
