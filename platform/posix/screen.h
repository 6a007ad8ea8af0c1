// Pictures of the screen for the host program and the tests: the visible
// windows composed in Z order over the desktop, with the caret; or one
// window alone.
#ifndef TAVO_POSIX_SCREEN_H
#define TAVO_POSIX_SCREEN_H

#include "platform/posix/surface.h"

namespace posix {

// The colour of the desktop where no window is.
constexpr COLORREF kDesktopColour = RGB(0, 128, 128);

// The part of the screen inside area (screen coordinates; parts beyond the
// screen are desktop too): every visible window from the back to the
// front, each drawn from its own surface, frame included, and the caret,
// when shown, inverting its window's pixels.
Surface snapshotScreen(RECT area);

// The pixels of one window, frame included, whatever covers it or whether
// it shows; an empty surface for a handle that is not a window.
Surface snapshotWindow(HWND window);

} // namespace posix

#endif
