// Where windows are and whether they show: SetWindowPos and MoveWindow,
// ShowWindow, the Z order, activation, and the window and client
// rectangles with the conversions between client and screen coordinates.
#include "platform/posix/errors.h"
#include "platform/posix/window_private.h"

#include <algorithm>

namespace posix {

namespace {

constexpr LONG kLargestCoordinate = 32767;

bool canActivate(const Window &window) {
    return !(window.style & WS_DISABLED) && !(window.exStyle & WS_EX_NOACTIVATE) &&
           (window.style & WS_VISIBLE);
}

// Shows or hides the window (the lock held); true when that changed it.
bool setVisible(Window &window, bool visible) {
    if (((window.style & WS_VISIBLE) != 0) == visible)
        return false;
    window.style ^= WS_VISIBLE;
    if (visible)
        invalidateAll(window, true);
    else
        window.update = {};
    return true;
}

void placeInZOrder(WindowTable &table, Window &window, HWND insertAfter, UINT flags) {
    bool alone = (flags & SWP_NOOWNERZORDER) != 0;
    if (insertAfter == HWND_TOPMOST || insertAfter == HWND_NOTOPMOST) {
        if (insertAfter == HWND_TOPMOST)
            window.exStyle |= WS_EX_TOPMOST;
        else
            window.exStyle &= ~WS_EX_TOPMOST;
        raiseInZOrder(table, window.handle, alone);
    } else if (insertAfter == HWND_TOP) {
        raiseInZOrder(table, window.handle, alone);
    } else if (insertAfter == HWND_BOTTOM) {
        window.exStyle &= ~WS_EX_TOPMOST;
        removeFromZOrder(table, window.handle);
        table.zOrder.push_back(window.handle);
        keepOwnedWithOwner(table, window.handle);
    } else if (insertAfter != window.handle && lockedWindow(insertAfter)) {
        removeFromZOrder(table, window.handle);
        auto behind = std::find(table.zOrder.begin(), table.zOrder.end(), insertAfter);
        table.zOrder.insert(behind + 1, window.handle);
        keepOwnedWithOwner(table, window.handle);
    }
}

// The work of SetWindowPos under the lock; whether the window is then to
// be activated, and whether it was hidden.
struct Placed {
    bool ok = false;
    bool activate = false;
    bool hidden = false;
};

Placed place(HWND handle, HWND insertAfter, int x, int y, int width, int height, UINT flags) {
    std::lock_guard hold(windowLock());
    WindowTable &table = windowTable();
    Window *window = lockedWindow(handle);
    if (!window)
        return {};
    if (!(flags & SWP_NOZORDER) && insertAfter != HWND_TOP && insertAfter != HWND_BOTTOM &&
        insertAfter != HWND_TOPMOST && insertAfter != HWND_NOTOPMOST && !lockedWindow(insertAfter))
        return {};
    RECT &rect = window->rect;
    if (!(flags & SWP_NOMOVE)) {
        LONG left = std::clamp(LONG(x), -kLargestCoordinate - 1, kLargestCoordinate);
        LONG top = std::clamp(LONG(y), -kLargestCoordinate - 1, kLargestCoordinate);
        rect = {left, top, left + widthOf(rect), top + heightOf(rect)};
    }
    bool resized = false;
    if (!(flags & SWP_NOSIZE)) {
        LONG newWidth = std::clamp(LONG(width), LONG(0), kLargestCoordinate);
        LONG newHeight = std::clamp(LONG(height), LONG(0), kLargestCoordinate);
        resized = newWidth != widthOf(rect) || newHeight != heightOf(rect);
        rect.right = rect.left + newWidth;
        rect.bottom = rect.top + newHeight;
    }
    if (resized || (flags & SWP_FRAMECHANGED)) {
        fitSurface(*window);
        if ((window->style & WS_VISIBLE) && !(flags & SWP_NOREDRAW))
            invalidateAll(*window, true);
    }
    if (!(flags & SWP_NOZORDER))
        placeInZOrder(table, *window, insertAfter, flags);
    Placed placed;
    placed.ok = true;
    if (flags & SWP_SHOWWINDOW)
        setVisible(*window, true);
    else if (flags & SWP_HIDEWINDOW)
        placed.hidden = setVisible(*window, false);
    placed.activate = !(flags & SWP_NOACTIVATE) && canActivate(*window);
    return placed;
}

} // namespace

void activateWindow(HWND handle) {
    {
        std::lock_guard hold(windowLock());
        Window *window = lockedWindow(handle);
        if (!window || !canActivate(*window))
            return;
        raiseInZOrder(windowTable(), handle, false);
    }
    if (GetFocus() != handle)
        SetFocus(handle);
}

} // namespace posix

BOOL WINAPI SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height,
                         UINT flags) {
    posix::Placed placed = posix::place(window, insertAfter, x, y, width, height, flags);
    if (placed.hidden)
        posix::forgetFocus(window);
    if (placed.activate)
        posix::activateWindow(window);
    return placed.ok;
}

BOOL WINAPI MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint) {
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW);
    return SetWindowPos(window, nullptr, x, y, width, height, flags);
}

BOOL WINAPI ShowWindow(HWND handle, int command) {
    bool show;
    switch (command) {
    case SW_HIDE:
        show = false;
        break;
    case SW_SHOWNORMAL:
    case SW_SHOWNOACTIVATE:
    case SW_SHOW:
    case SW_SHOWNA:
        show = true;
        break;
    default:
        return posix::failWith(ERROR_INVALID_PARAMETER);
    }
    bool wasVisible = IsWindowVisible(handle);
    if (!IsWindow(handle))
        return FALSE;
    if (wasVisible != show)
        posix::callProcedure(handle, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
    {
        std::lock_guard hold(posix::windowLock());
        if (posix::Window *window = posix::lockedWindow(handle))
            posix::setVisible(*window, show);
    }
    if (!show)
        posix::forgetFocus(handle);
    else if (command == SW_SHOW || command == SW_SHOWNORMAL)
        posix::activateWindow(handle);
    return wasVisible;
}

BOOL WINAPI IsWindowVisible(HWND handle) {
    return posix::readWindow(handle, FALSE, [](const posix::Window &window) {
        return (window.style & WS_VISIBLE) != 0;
    });
}

BOOL WINAPI GetWindowRect(HWND handle, LPRECT rect) {
    return posix::useWindow(handle, rect, [rect](posix::Window &window) { *rect = window.rect; });
}

BOOL WINAPI GetClientRect(HWND handle, LPRECT rect) {
    return posix::useWindow(handle, rect, [rect](posix::Window &window) {
        RECT client = posix::clientOnScreen(window);
        *rect = {0, 0, posix::widthOf(client), posix::heightOf(client)};
    });
}

BOOL WINAPI ClientToScreen(HWND handle, LPPOINT point) {
    return posix::useWindow(handle, point, [point](posix::Window &window) {
        RECT client = posix::clientOnScreen(window);
        point->x += client.left;
        point->y += client.top;
    });
}

BOOL WINAPI ScreenToClient(HWND handle, LPPOINT point) {
    return posix::useWindow(handle, point, [point](posix::Window &window) {
        RECT client = posix::clientOnScreen(window);
        point->x -= client.left;
        point->y -= client.top;
    });
}
