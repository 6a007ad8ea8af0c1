// The state of a device context that drawing reads: text alignment,
// background mode and colours, the current position and the device's
// capabilities: the screen's, 96 dots per inch in 32-bit colour.
#include "platform/posix/errors.h"
#include "platform/posix/gdi_dc.h"

namespace {

constexpr int kDotsPerInch = 96;
constexpr int kColourBits = 32;
constexpr UINT kKnownAlignment = TA_UPDATECP | TA_CENTER | TA_BASELINE;

// Runs use on a live context and answers its result, or failure.
template <class T, class Use> T withContext(HDC dc, T failure, Use use) {
    auto context = posix::findDC(dc);
    return context ? use(*context) : failure;
}

// A field of a live context, or failure.
template <class T> T field(HDC dc, T failure, T posix::DeviceContext::*member) {
    return withContext<T>(dc, failure,
                          [&](posix::DeviceContext &context) { return context.*member; });
}

// Sets a field of a live context and answers its old value, or failure.
template <class T> T exchange(HDC dc, T failure, T posix::DeviceContext::*member, T value) {
    return withContext<T>(dc, failure, [&](posix::DeviceContext &context) {
        T old = context.*member;
        context.*member = value;
        return old;
    });
}

} // namespace

UINT WINAPI SetTextAlign(HDC dc, UINT align) {
    return exchange<UINT>(dc, GDI_ERROR, &posix::DeviceContext::textAlign, align & kKnownAlignment);
}

UINT WINAPI GetTextAlign(HDC dc) {
    return field<UINT>(dc, GDI_ERROR, &posix::DeviceContext::textAlign);
}

int WINAPI SetBkMode(HDC dc, int mode) {
    if (mode != TRANSPARENT && mode != OPAQUE)
        return posix::failing(0, ERROR_INVALID_PARAMETER);
    return exchange<int>(dc, 0, &posix::DeviceContext::backMode, mode);
}

int WINAPI GetBkMode(HDC dc) {
    return field<int>(dc, 0, &posix::DeviceContext::backMode);
}

COLORREF WINAPI SetBkColor(HDC dc, COLORREF colour) {
    return exchange<COLORREF>(dc, CLR_INVALID, &posix::DeviceContext::backColour,
                              colour & 0xFFFFFF);
}

COLORREF WINAPI GetBkColor(HDC dc) {
    return field<COLORREF>(dc, CLR_INVALID, &posix::DeviceContext::backColour);
}

COLORREF WINAPI SetTextColor(HDC dc, COLORREF colour) {
    return exchange<COLORREF>(dc, CLR_INVALID, &posix::DeviceContext::textColour,
                              colour & 0xFFFFFF);
}

COLORREF WINAPI GetTextColor(HDC dc) {
    return field<COLORREF>(dc, CLR_INVALID, &posix::DeviceContext::textColour);
}

BOOL WINAPI MoveToEx(HDC dc, int x, int y, LPPOINT previous) {
    return withContext<BOOL>(dc, FALSE, [&](posix::DeviceContext &context) {
        if (previous)
            *previous = context.position;
        context.position = POINT{x, y};
        return TRUE;
    });
}

BOOL WINAPI GetCurrentPositionEx(HDC dc, LPPOINT position) {
    if (!position)
        return posix::failWith(ERROR_INVALID_PARAMETER);
    return withContext<BOOL>(dc, FALSE, [&](posix::DeviceContext &context) {
        *position = context.position;
        return TRUE;
    });
}

int WINAPI GetDeviceCaps(HDC dc, int index) {
    return withContext<int>(dc, 0, [&](posix::DeviceContext &) {
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
