// The one fixed screen: its size and work area, the system metrics with
// Windows' usual values at 96 dots per inch, and pictures of it composed
// from the windows' surfaces.
#include "platform/posix/screen.h"
#include "platform/posix/window_private.h"

#include <algorithm>

namespace {

constexpr LONG kScreenWidth = 1920;
constexpr LONG kScreenHeight = 1080;
constexpr LONG kTaskbarHeight = 40;

BOOL screenParameter(UINT action, PVOID value) {
    if (action != SPI_GETWORKAREA || value == NULL)
        return FALSE;
    auto *area = static_cast<RECT *>(value);
    *area = {0, 0, kScreenWidth, kScreenHeight - kTaskbarHeight};
    return TRUE;
}

// Copies the part of a window's surface that falls inside the picture.
void compose(posix::Surface &picture, const RECT &area, const posix::Window &window) {
    const posix::Surface &source = window.surface;
    for (LONG y = 0; y < source.height; ++y) {
        LONG pictureY = window.rect.top + y - area.top;
        if (pictureY < 0 || pictureY >= picture.height)
            continue;
        for (LONG x = 0; x < source.width; ++x) {
            LONG pictureX = window.rect.left + x - area.left;
            if (pictureX >= 0 && pictureX < picture.width)
                picture.pixels[size_t(pictureY) * size_t(picture.width) + size_t(pictureX)] =
                    source.at(x, y);
        }
    }
}

// Inverts the caret's pixels, where they lie in its window's client area.
void invertCaret(posix::Surface &picture, const RECT &area, const posix::Window &window,
                 const RECT &caret) {
    RECT client = posix::clientOnScreen(window);
    RECT onScreen = {client.left + caret.left, client.top + caret.top, client.left + caret.right,
                     client.top + caret.bottom};
    RECT shown = posix::intersection(posix::intersection(onScreen, client), area);
    for (LONG y = shown.top; y < shown.bottom; ++y)
        for (LONG x = shown.left; x < shown.right; ++x) {
            COLORREF &pixel =
                picture
                    .pixels[size_t(y - area.top) * size_t(picture.width) + size_t(x - area.left)];
            pixel ^= RGB(255, 255, 255);
        }
}

} // namespace

int WINAPI GetSystemMetrics(int index) {
    switch (index) {
    case SM_CXSCREEN:
        return kScreenWidth;
    case SM_CYSCREEN:
        return kScreenHeight;
    case SM_CYCAPTION:
        return 23;
    case SM_CXBORDER:
    case SM_CYBORDER:
        return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME:
        return 3;
    case SM_CXFRAME:
    case SM_CYFRAME:
        return 4;
    case SM_CXEDGE:
    case SM_CYEDGE:
        return 2;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR:
        return 32;
    case SM_CXSMICON:
    case SM_CYSMICON:
        return 16;
    default:
        return 0;
    }
}

BOOL WINAPI SystemParametersInfoA(UINT action, UINT, PVOID value, UINT) {
    return screenParameter(action, value);
}

BOOL WINAPI SystemParametersInfoW(UINT action, UINT, PVOID value, UINT) {
    return screenParameter(action, value);
}

namespace posix {

Surface snapshotScreen(RECT area) {
    Surface picture;
    picture.width = std::max(widthOf(area), LONG(0));
    picture.height = std::max(heightOf(area), LONG(0));
    picture.pixels.assign(size_t(picture.width) * size_t(picture.height), kDesktopColour);
    std::lock_guard hold(windowLock());
    const WindowTable &table = windowTable();
    HWND caretWindow = nullptr;
    RECT caret = {};
    lockedVisibleCaret(caretWindow, caret);
    for (auto at = table.zOrder.rbegin(); at != table.zOrder.rend(); ++at) {
        const Window &window = *table.windows.at(*at);
        if (!(window.style & WS_VISIBLE))
            continue;
        compose(picture, area, window);
        if (*at == caretWindow)
            invertCaret(picture, area, window, caret);
    }
    return picture;
}

Surface snapshotWindow(HWND handle) {
    std::lock_guard hold(windowLock());
    const Window *window = lockedWindow(handle);
    return window ? window->surface : Surface();
}

} // namespace posix
