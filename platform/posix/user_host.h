// The mouse as the host program moves and clicks it. There is no real
// pointer, so these deliver the messages Windows sends for a move or a
// click of the left button at a screen point, to the frontmost visible
// window there:
//
// - an enabled window hears WM_NCHITTEST, then WM_SETCURSOR with the hit
//   and the mouse message in its high word; on a press it first hears
//   WM_MOUSEACTIVATE unless it is already the focus window (MA_ACTIVATE
//   and MA_ACTIVATEANDEAT activate it; the ...EAT answers swallow the
//   press), and in its client area the mouse message itself follows
//   (WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP) in client coordinates;
// - a disabled window hears only WM_SETCURSOR, with the hit HTERROR, for
//   each of them: this is how an input method's disabled pop-up windows
//   learn of clicks.
#ifndef TAVO_POSIX_USER_HOST_H
#define TAVO_POSIX_USER_HOST_H

#include "platform/platform.h"

// Moves the pointer to point; returns the window under it, or null.
HWND tavo_MouseMove(POINT point);

// Moves the pointer to point, then presses and releases the left button;
// returns the window under it, or null.
HWND tavo_MouseClick(POINT point);

#endif
