// The state of a device context that drawing reads: text alignment,
// background mode and colours, the current position and the device's
// capabilities: the screen's, 96 dots per inch in 32-bit colour.
#include "platform/posix/errors.h"
#include "platform/posix/gdi_dc.h"

namespace {

constexpr int kDotsPerInch = 96;
constexpr int kColourBits = 32;
constexpr UINT kKnownAlignment = TA_UPDATECP | TA_CENTER | TA_BASELINE;

// Sets a field of a live context and answers its old value, or failure.
template <class T, class Set> T exchange(HDC dc, T failure, Set set) {
    auto context = posix::findDC(dc);
    return context ? set(*context) : failure;
}

} // namespace

UINT WINAPI SetTextAlign(HDC dc, UINT align) {
    return exchange<UINT>(dc, GDI_ERROR, [&](posix::DeviceContext &context) {
        UINT old = context.textAlign;
        context.textAlign = align & kKnownAlignment;
        return old;
    });
}

UINT WINAPI GetTextAlign(HDC dc) {
    return exchange<UINT>(dc, GDI_ERROR,
                          [](posix::DeviceContext &context) { return context.textAlign; });
}

int WINAPI SetBkMode(HDC dc, int mode) {
    if (mode != TRANSPARENT && mode != OPAQUE)
        return posix::failing(0, ERROR_INVALID_PARAMETER);
    return exchange<int>(dc, 0, [&](posix::DeviceContext &context) {
        int old = context.backMode;
        context.backMode = mode;
        return old;
    });
}

int WINAPI GetBkMode(HDC dc) {
    return exchange<int>(dc, 0, [](posix::DeviceContext &context) { return context.backMode; });
}

COLORREF WINAPI SetBkColor(HDC dc, COLORREF colour) {
    return exchange<COLORREF>(dc, CLR_INVALID, [&](posix::DeviceContext &context) {
        COLORREF old = context.backColour;
        context.backColour = colour & 0xFFFFFF;
        return old;
    });
}

COLORREF WINAPI GetBkColor(HDC dc) {
    return exchange<COLORREF>(dc, CLR_INVALID,
                              [](posix::DeviceContext &context) { return context.backColour; });
}

COLORREF WINAPI SetTextColor(HDC dc, COLORREF colour) {
    return exchange<COLORREF>(dc, CLR_INVALID, [&](posix::DeviceContext &context) {
        COLORREF old = context.textColour;
        context.textColour = colour & 0xFFFFFF;
        return old;
    });
}

COLORREF WINAPI GetTextColor(HDC dc) {
    return exchange<COLORREF>(dc, CLR_INVALID,
                              [](posix::DeviceContext &context) { return context.textColour; });
}

BOOL WINAPI MoveToEx(HDC dc, int x, int y, LPPOINT previous) {
    return exchange<BOOL>(dc, FALSE, [&](posix::DeviceContext &context) {
        if (previous)
            *previous = context.position;
        context.position = POINT{x, y};
        return TRUE;
    });
}

BOOL WINAPI GetCurrentPositionEx(HDC dc, LPPOINT position) {
    if (!position)
        return posix::failWith(ERROR_INVALID_PARAMETER);
    return exchange<BOOL>(dc, FALSE, [&](posix::DeviceContext &context) {
        *position = context.position;
        return TRUE;
    });
}

int WINAPI GetDeviceCaps(HDC dc, int index) {
    return exchange<int>(dc, 0, [&](posix::DeviceContext &) {
        switch (index) {
        case LOGPIXELSX:
        case LOGPIXELSY:
            return kDotsPerInch;
        case BITSPIXEL:
            return kColourBits;
        case PLANES:
            return 1;
        default:
            return 0;
        }
    });
}
