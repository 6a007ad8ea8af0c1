// What the host program, which loads the input-method module, tells the
// platform's input-method manager: the module in use (its instance, the
// IMEINFO and UI class ImeInquire gave, and the exports the manager calls),
// and when the module is to be given the thread's input contexts or have
// them back. Everything else is Windows' own: the manager makes the
// thread's default IME window and from it the module's UI window, moves
// IMMGWL_IMC with the focus, and routes the contexts' messages through the
// application's window (user.h, imm.h).
#ifndef TAVO_POSIX_IMM_HOST_H
#define TAVO_POSIX_IMM_HOST_H

#include "platform/platform.h"

// The keyboard layout of the input method, the lParam of WM_IME_SELECT.
#define TAVO_IME_LAYOUT ((HKL)(ULONG_PTR)0xE0010404)

typedef struct tagTAVO_IMEMODULE {
    HINSTANCE instance; // the module, which registered the UI class for itself
    IMEINFO info;
    WCHAR uiClass[64]; // the UI class name ImeInquire gave
    BOOL(WINAPI *ImeSelect)(HIMC imc, BOOL select);
    BOOL(WINAPI *ImeSetActiveContext)(HIMC imc, BOOL active);
    BOOL(WINAPI *NotifyIME)(HIMC imc, DWORD action, DWORD index, DWORD value);
} TAVO_IMEMODULE;

// Makes module the one in use (copied; null: none), and its IMEINFO the
// one contexts are made for (tavo_SetImeInfo). A UI window of the calling
// thread made from the previous module is destroyed.
void tavo_SetImeModule(const TAVO_IMEMODULE *module);

// Gives the module every input context of the calling thread, or takes
// them back, as Windows does when the thread's input method is switched on
// or off. Selecting: ImeSelect(TRUE) for each context, the UI window made
// by the default IME window, WM_IME_SELECT(TRUE) to the focus window, and
// the focus window's context activated. Deselecting: the focus window's
// context deactivated, WM_IME_SELECT(FALSE), ImeSelect(FALSE) for each
// context, and the UI window destroyed. TRUE when every ImeSelect did.
// While selected, a context made on the thread is selected at once and
// one destroyed is deselected first.
BOOL tavo_SelectIme(BOOL select);

// The private block size and text flavour of the contexts made from now on,
// from an IMEINFO (null: no private block, bytes).
void tavo_SetImeInfo(const IMEINFO *info);

// A new context for window with a private block of privateSize bytes and
// the current text flavour; null when memory runs out. ImmGetContext(window)
// then finds it.
HIMC tavo_CreateInputContext(HWND window, DWORD privateSize);

// Whether the composition strings of a context hold UTF-16 text.
BOOL tavo_SetContextUnicode(HIMC imc, BOOL unicode);

#endif
