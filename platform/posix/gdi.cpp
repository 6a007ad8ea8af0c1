// The screen as the system sees it without a window system: one fixed
// display of 1920 by 1080 pixels with a 40-pixel taskbar along the bottom,
// so the work area is 1920 by 1040 from the origin. Its device contexts
// measure and draw nothing (they carry the system font, as on Windows).
// Windows themselves live in the host program, which places every client
// area at the screen origin.
#include "platform/platform.h"
#include "platform/posix/gdi_dc.h"

namespace {

constexpr LONG kScreenWidth = 1920;
constexpr LONG kScreenHeight = 1080;
constexpr LONG kTaskbarHeight = 40;

BOOL ScreenParameter(UINT action, PVOID value) {
    if (action != SPI_GETWORKAREA || value == NULL)
        return FALSE;
    RECT *area = static_cast<RECT *>(value);
    area->left = 0;
    area->top = 0;
    area->right = kScreenWidth;
    area->bottom = kScreenHeight - kTaskbarHeight;
    return TRUE;
}

} // namespace

// Every window's context is one on the screen.
HDC WINAPI GetDC(HWND) {
    return posix::openSurfaceDC(NULL, POINT{0, 0}, RECT{0, 0, kScreenWidth, kScreenHeight});
}

int WINAPI ReleaseDC(HWND, HDC dc) {
    if (!posix::findDC(dc))
        return 0;
    posix::closeSurfaceDC(dc);
    return 1;
}

BOOL WINAPI SystemParametersInfoA(UINT action, UINT, PVOID value, UINT) {
    return ScreenParameter(action, value);
}

BOOL WINAPI SystemParametersInfoW(UINT action, UINT, PVOID value, UINT) {
    return ScreenParameter(action, value);
}

// Client areas start at the screen origin, so the point is unchanged.
BOOL WINAPI ScreenToClient(HWND window, LPPOINT point) {
    return window != NULL && point != NULL;
}
