// What the host program, playing the input-method manager, tells the
// platform and learns from it: the module in use (the size of each
// context's private block and whether its text is UTF-16), and two
// callbacks: one to reach the module's NotifyIME, one to send a message to
// a context's windows. Windows sends a context's messages to its window
// (the application's), whose default handling passes them to the UI
// window; the host routes them the same way.
#ifndef TAVO_POSIX_IMM_HOST_H
#define TAVO_POSIX_IMM_HOST_H

#include "platform/platform.h"

typedef BOOL (*TAVO_NOTIFYMODULE)(void *user, HIMC imc, DWORD action, DWORD index, DWORD value);
typedef LRESULT (*TAVO_SENDTOWINDOW)(void *user, HIMC imc, HWND window, UINT message, WPARAM wParam,
                                     LPARAM lParam);

typedef struct tagTAVO_IMMHOOKS {
    TAVO_NOTIFYMODULE notifyModule; // the module's NotifyIME; may be null
    TAVO_SENDTOWINDOW sendToWindow; // status notifications and generated messages; may be null
    void *user;                     // passed back to both
} TAVO_IMMHOOKS;

// Replaces the callbacks (null removes them all).
void tavo_SetImmHooks(const TAVO_IMMHOOKS *hooks);

// The module in use, from its IMEINFO: the private block size of the
// contexts ImmCreateContext makes, and the text flavour (IME_PROP_UNICODE)
// of the contexts made from then on.
void tavo_SetImeInfo(const IMEINFO *info);

// A new context for window with a private block of privateSize bytes and
// the current module's text flavour; null when memory runs out.
// ImmGetContext(window) then finds it.
HIMC tavo_CreateInputContext(HWND window, DWORD privateSize);

// Whether the composition strings of a context hold UTF-16 text.
BOOL tavo_SetContextUnicode(HIMC imc, BOOL unicode);

#endif
