// The pointer: its position and shape for the process, and the messages
// of the host's moves and clicks (user_host.h).
#include "platform/posix/user_host.h"
#include "platform/posix/window_private.h"

#include <algorithm>
#include <atomic>

namespace {

std::mutex pointerLock;
POINT pointer = {};
std::atomic<HCURSOR> shape = nullptr;

// The frontmost visible window at a screen point.
HWND windowAt(POINT point) {
    std::lock_guard hold(posix::windowLock());
    for (HWND handle : posix::windowTable().zOrder) {
        const posix::Window &window = *posix::windowTable().windows.at(handle);
        if ((window.style & WS_VISIBLE) && posix::containsPoint(window.rect, point))
            return handle;
    }
    return nullptr;
}

LPARAM clientPoint(HWND window, POINT screen) {
    ScreenToClient(window, &screen);
    return MAKELPARAM(WORD(screen.x), WORD(screen.y));
}

LPARAM screenPoint(POINT screen) {
    return MAKELPARAM(WORD(screen.x), WORD(screen.y));
}

// WM_MOUSEACTIVATE for a press on an enabled window that is not the
// focus, and the activation it asks for; true when the press is to be
// swallowed.
bool mouseActivate(HWND window, LRESULT hit) {
    if (GetFocus() == window)
        return false;
    LRESULT answer = SendMessageW(window, WM_MOUSEACTIVATE, WPARAM(window),
                                  MAKELPARAM(WORD(hit), WORD(WM_LBUTTONDOWN)));
    if (answer == MA_ACTIVATE || answer == MA_ACTIVATEANDEAT)
        posix::activateWindow(window);
    return answer == MA_ACTIVATEANDEAT || answer == MA_NOACTIVATEANDEAT;
}

// One mouse event at point for the window there: the hit test, on a press
// the activation, WM_SETCURSOR, then the message itself in the client
// area of an enabled window.
void deliver(HWND window, POINT point, UINT message, WPARAM keys) {
    if (!IsWindow(window))
        return;
    bool enabled = IsWindowEnabled(window);
    LRESULT hit = HTERROR;
    if (enabled)
        hit = SendMessageW(window, WM_NCHITTEST, 0, screenPoint(point));
    bool swallowed = enabled && message == WM_LBUTTONDOWN && mouseActivate(window, hit);
    SendMessageW(window, WM_SETCURSOR, WPARAM(window), MAKELPARAM(WORD(hit), WORD(message)));
    if (enabled && !swallowed && hit == HTCLIENT && IsWindow(window))
        SendMessageW(window, message, keys, clientPoint(window, point));
}

} // namespace

HCURSOR WINAPI SetCursor(HCURSOR cursor) {
    return shape.exchange(cursor);
}

HCURSOR WINAPI GetCursor(void) {
    return shape.load();
}

BOOL WINAPI GetCursorPos(LPPOINT point) {
    if (!point) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::lock_guard hold(pointerLock);
    *point = pointer;
    return TRUE;
}

BOOL WINAPI SetCursorPos(int x, int y) {
    std::lock_guard hold(pointerLock);
    pointer.x = std::clamp(LONG(x), LONG(0), LONG(GetSystemMetrics(SM_CXSCREEN) - 1));
    pointer.y = std::clamp(LONG(y), LONG(0), LONG(GetSystemMetrics(SM_CYSCREEN) - 1));
    return TRUE;
}

HWND tavo_MouseMove(POINT point) {
    SetCursorPos(point.x, point.y);
    GetCursorPos(&point);
    HWND window = windowAt(point);
    deliver(window, point, WM_MOUSEMOVE, 0);
    return window;
}

HWND tavo_MouseClick(POINT point) {
    HWND window = tavo_MouseMove(point);
    GetCursorPos(&point);
    deliver(window, point, WM_LBUTTONDOWN, MK_LBUTTON);
    deliver(window, point, WM_LBUTTONUP, 0);
    return window;
}
