// The non-client part of windows: how wide each frame style is, where the
// client area lies, the frame drawn into the window's surface in the
// classic colours, and hit testing. AdjustWindowRectEx.
#include "platform/posix/errors.h"
#include "platform/posix/window_private.h"

#include <algorithm>

namespace posix {

namespace {

// Surfaces stop at this size: nothing of a window further from its corner
// than this can be on the screen.
constexpr LONG kLargestSurface = 4096;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kFace = RGB(192, 192, 192);   // COLOR_3DFACE, COLOR_3DLIGHT
constexpr COLORREF kShadow = RGB(128, 128, 128); // COLOR_3DSHADOW
constexpr COLORREF kDarkShadow = RGB(0, 0, 0);   // COLOR_3DDKSHADOW
constexpr COLORREF kWindowFrame = RGB(0, 0, 0);  // COLOR_WINDOWFRAME
constexpr COLORREF kCaption = RGB(0, 0, 128);    // COLOR_ACTIVECAPTION

bool hasCaption(DWORD style) {
    return (style & WS_CAPTION) == WS_CAPTION;
}

bool hasRaisedFrame(DWORD style, DWORD exStyle) {
    return (style & (WS_THICKFRAME | WS_DLGFRAME)) || (exStyle & WS_EX_DLGMODALFRAME);
}

// The width of the outer frame, without the client edge.
LONG outerFrame(DWORD style, DWORD exStyle) {
    if (style & WS_THICKFRAME)
        return GetSystemMetrics(SM_CXFRAME);
    if (hasRaisedFrame(style, exStyle))
        return GetSystemMetrics(SM_CXDLGFRAME);
    return (style & WS_BORDER) ? GetSystemMetrics(SM_CXBORDER) : 0;
}

void setPixel(Surface &surface, LONG x, LONG y, COLORREF colour) {
    if (x >= 0 && y >= 0 && x < surface.width && y < surface.height)
        surface.pixels[size_t(y) * size_t(surface.width) + size_t(x)] = colour;
}

void fill(Surface &surface, const RECT &rect, COLORREF colour) {
    for (LONG y = rect.top; y < rect.bottom; ++y)
        for (LONG x = rect.left; x < rect.right; ++x)
            setPixel(surface, x, y, colour);
}

// One pixel wide ring along the inside of rect: the top and left sides in
// one colour, the bottom and right in the other, as DrawEdge draws them.
void ring(Surface &surface, const RECT &rect, COLORREF topLeft, COLORREF bottomRight) {
    if (isEmpty(rect))
        return;
    fill(surface, {rect.left, rect.top, rect.right - 1, rect.top + 1}, topLeft);
    fill(surface, {rect.left, rect.top, rect.left + 1, rect.bottom - 1}, topLeft);
    fill(surface, {rect.left, rect.bottom - 1, rect.right, rect.bottom}, bottomRight);
    fill(surface, {rect.right - 1, rect.top, rect.right, rect.bottom}, bottomRight);
}

RECT shrink(const RECT &rect, LONG by) {
    return {rect.left + by, rect.top + by, rect.right - by, rect.bottom - by};
}

void drawFrame(Window &window) {
    Surface &surface = window.surface;
    RECT whole = {0, 0, widthOf(window.rect), heightOf(window.rect)};
    LONG frame = outerFrame(window.style, window.exStyle);
    if (hasRaisedFrame(window.style, window.exStyle)) {
        ring(surface, whole, kFace, kDarkShadow);
        ring(surface, shrink(whole, 1), kWhite, kShadow);
        for (LONG inner = 2; inner < frame; ++inner)
            ring(surface, shrink(whole, inner), kFace, kFace);
    } else if (frame > 0) {
        ring(surface, whole, kWindowFrame, kWindowFrame);
    }
    RECT inside = shrink(whole, frame);
    if (hasCaption(window.style)) {
        LONG caption = GetSystemMetrics(SM_CYCAPTION);
        fill(surface, {inside.left, inside.top, inside.right, inside.top + caption}, kCaption);
        inside.top += caption;
    }
    if (window.exStyle & WS_EX_CLIENTEDGE) {
        ring(surface, inside, kShadow, kWhite);
        ring(surface, shrink(inside, 1), kDarkShadow, kFace);
    }
}

} // namespace

RECT frameInsets(DWORD style, DWORD exStyle) {
    LONG edge = outerFrame(style, exStyle);
    if (exStyle & WS_EX_CLIENTEDGE)
        edge += GetSystemMetrics(SM_CXEDGE);
    RECT insets = {edge, edge, edge, edge};
    if (hasCaption(style))
        insets.top += GetSystemMetrics(SM_CYCAPTION);
    return insets;
}

RECT clientOnScreen(const Window &window) {
    RECT insets = frameInsets(window.style, window.exStyle);
    RECT client = {window.rect.left + insets.left, window.rect.top + insets.top,
                   window.rect.right - insets.right, window.rect.bottom - insets.bottom};
    client.right = std::max(client.right, client.left);
    client.bottom = std::max(client.bottom, client.top);
    return client;
}

POINT clientOrigin(const Window &window) {
    RECT insets = frameInsets(window.style, window.exStyle);
    return {insets.left, insets.top};
}

void fitSurface(Window &window) {
    Surface &surface = window.surface;
    LONG width = std::clamp(widthOf(window.rect), LONG(0), kLargestSurface);
    LONG height = std::clamp(heightOf(window.rect), LONG(0), kLargestSurface);
    if (width != surface.width || height != surface.height)
        surface.resize(width, height, kWhite);
    drawFrame(window);
}

LRESULT hitTest(const Window &window, POINT screen) {
    if (!containsPoint(window.rect, screen))
        return HTNOWHERE;
    RECT client = clientOnScreen(window);
    if (containsPoint(client, screen))
        return HTCLIENT;
    if (hasCaption(window.style) && screen.y < client.top &&
        screen.y >= client.top - GetSystemMetrics(SM_CYCAPTION) && screen.x >= client.left &&
        screen.x < client.right)
        return HTCAPTION;
    return HTBORDER;
}

} // namespace posix

BOOL WINAPI AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL, DWORD exStyle) {
    if (!rect)
        return posix::failWith(ERROR_INVALID_PARAMETER);
    RECT insets = posix::frameInsets(style, exStyle);
    rect->left -= insets.left;
    rect->top -= insets.top;
    rect->right += insets.right;
    rect->bottom += insets.bottom;
    return TRUE;
}
