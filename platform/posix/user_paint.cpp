// Painting: the update area of each window (one rectangle, client
// coordinates), InvalidateRect and ValidateRect, UpdateWindow, and the
// device contexts of BeginPaint and GetDC, which draw into the window's
// surface through the client area (BeginPaint's only inside the update
// area). An open context keeps its window's surface alive.
#include "platform/posix/errors.h"
#include "platform/posix/window_private.h"

#include <algorithm>

namespace {

const RECT kScreen = {0, 0, 1920, 1080};

// The contexts handed out and the windows whose surfaces they draw into
// (null for the screen's).
std::unordered_map<HDC, posix::WindowPtr> &openContexts() {
    static auto *contexts = new std::unordered_map<HDC, posix::WindowPtr>;
    return *contexts;
}

RECT clientArea(const posix::Window &window) {
    RECT client = posix::clientOnScreen(window);
    return {0, 0, posix::widthOf(client), posix::heightOf(client)};
}

RECT unite(const RECT &a, const RECT &b) {
    if (posix::isEmpty(a))
        return b;
    if (posix::isEmpty(b))
        return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

// What is left of area once cut is taken away, as one rectangle: cut
// removes a band only when it spans the area from side to side.
RECT subtract(const RECT &area, const RECT &cut) {
    RECT overlap = posix::intersection(area, cut);
    if (posix::isEmpty(overlap))
        return area;
    RECT left = area;
    bool fullWidth = overlap.left == area.left && overlap.right == area.right;
    bool fullHeight = overlap.top == area.top && overlap.bottom == area.bottom;
    if (fullWidth && fullHeight)
        return {};
    if (fullWidth && overlap.top == area.top)
        left.top = overlap.bottom;
    else if (fullWidth && overlap.bottom == area.bottom)
        left.bottom = overlap.top;
    else if (fullHeight && overlap.left == area.left)
        left.left = overlap.right;
    else if (fullHeight && overlap.right == area.right)
        left.right = overlap.left;
    return left;
}

void invalidate(posix::Window &window, const RECT *rect, bool erase) {
    if (!(window.style & WS_VISIBLE))
        return;
    RECT client = clientArea(window);
    RECT area = rect ? posix::intersection(*rect, client) : client;
    if (posix::isEmpty(area))
        return;
    window.update = unite(window.update, area);
    window.erase = window.erase || erase;
}

RECT offset(const RECT &rect, POINT by) {
    return {rect.left + by.x, rect.top + by.y, rect.right + by.x, rect.bottom + by.y};
}

// A context on the window's surface, drawing inside clip (client
// coordinates).
HDC openWindowContext(const posix::WindowPtr &window, const RECT &clip) {
    POINT origin;
    RECT surfaceClip;
    {
        std::lock_guard hold(posix::windowLock());
        origin = posix::clientOrigin(*window);
        RECT bounds = {0, 0, window->surface.width, window->surface.height};
        surfaceClip = posix::intersection(offset(clip, origin), bounds);
    }
    HDC dc = posix::openSurfaceDC(&window->surface, origin, surfaceClip);
    if (dc) {
        std::lock_guard hold(posix::windowLock());
        openContexts()[dc] = window;
    }
    return dc;
}

// Closes a context this file opened; false for any other.
bool closeContext(HDC dc) {
    {
        std::lock_guard hold(posix::windowLock());
        if (!openContexts().erase(dc))
            return false;
    }
    posix::closeSurfaceDC(dc);
    return true;
}

} // namespace

namespace posix {

void invalidateAll(Window &window, bool erase) {
    invalidate(window, nullptr, erase);
    wakeQueues();
}

} // namespace posix

BOOL WINAPI InvalidateRect(HWND handle, const RECT *rect, BOOL erase) {
    {
        std::lock_guard hold(posix::windowLock());
        if (!handle) {
            for (auto &[any, window] : posix::windowTable().windows)
                invalidate(*window, nullptr, erase);
        } else {
            posix::Window *window = posix::lockedWindow(handle);
            if (!window)
                return FALSE;
            invalidate(*window, rect, erase);
        }
    }
    posix::wakeQueues();
    return TRUE;
}

BOOL WINAPI ValidateRect(HWND handle, const RECT *rect) {
    std::lock_guard hold(posix::windowLock());
    posix::Window *window = posix::lockedWindow(handle);
    if (!window)
        return FALSE;
    window->update = rect ? subtract(window->update, *rect) : RECT{};
    if (posix::isEmpty(window->update)) {
        window->update = {};
        window->erase = false;
    }
    return TRUE;
}

BOOL WINAPI GetUpdateRect(HWND handle, LPRECT rect, BOOL) {
    std::lock_guard hold(posix::windowLock());
    posix::Window *window = posix::lockedWindow(handle);
    if (!window)
        return FALSE;
    if (rect)
        *rect = window->update;
    return !posix::isEmpty(window->update);
}

BOOL WINAPI UpdateWindow(HWND handle) {
    bool invalid;
    {
        std::lock_guard hold(posix::windowLock());
        posix::Window *window = posix::lockedWindow(handle);
        if (!window)
            return FALSE;
        invalid = (window->style & WS_VISIBLE) && !posix::isEmpty(window->update);
    }
    if (invalid)
        posix::callProcedure(handle, WM_PAINT, 0, 0);
    return TRUE;
}

HDC WINAPI BeginPaint(HWND handle, LPPAINTSTRUCT paint) {
    if (!paint)
        return posix::failing<HDC>(nullptr, ERROR_INVALID_PARAMETER);
    posix::WindowPtr window = posix::findWindow(handle);
    if (!window)
        return nullptr;
    *paint = {};
    {
        std::lock_guard hold(posix::windowLock());
        paint->rcPaint = window->update;
        paint->fErase = window->erase;
        window->update = {};
        window->erase = false;
    }
    paint->hdc = openWindowContext(window, paint->rcPaint);
    return paint->hdc;
}

BOOL WINAPI EndPaint(HWND, const PAINTSTRUCT *paint) {
    if (!paint)
        return posix::failWith(ERROR_INVALID_PARAMETER);
    closeContext(paint->hdc);
    return TRUE;
}

HDC WINAPI GetDC(HWND handle) {
    if (!handle) {
        HDC dc = posix::openSurfaceDC(nullptr, {0, 0}, kScreen);
        if (dc) {
            std::lock_guard hold(posix::windowLock());
            openContexts()[dc] = nullptr;
        }
        return dc;
    }
    posix::WindowPtr window = posix::findWindow(handle);
    if (!window)
        return nullptr;
    RECT client;
    {
        std::lock_guard hold(posix::windowLock());
        client = clientArea(*window);
    }
    return openWindowContext(window, client);
}

int WINAPI ReleaseDC(HWND, HDC dc) {
    return closeContext(dc) ? 1 : 0;
}
