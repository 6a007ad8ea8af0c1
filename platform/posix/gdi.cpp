// The screen as the system sees it without a window system: one fixed
// display of 1920 by 1080 pixels with a 40-pixel taskbar along the bottom,
// so the work area is 1920 by 1040 from the origin. Its one device context
// carries one font, a 16-pixel "PMingLiU" in the Big5 character set, as a
// Traditional Chinese Windows would. Windows themselves live in the host
// program, which places every client area at the screen origin.
#include "platform/platform.h"

#include <cstring>

namespace {

constexpr LONG kScreenWidth = 1920;
constexpr LONG kScreenHeight = 1080;
constexpr LONG kTaskbarHeight = 40;
constexpr BYTE kBig5CharSet = 136;
constexpr LONG kNormalWeight = 400;
constexpr LONG kFontHeight = -16; // a character height of 16 pixels
constexpr const char kFontFace[] = "PMingLiU";

// Addresses that stand for the screen's device context and its font.
char screenDC;
char screenFont;

HDC ScreenDC() {
    return reinterpret_cast<HDC>(&screenDC);
}
HGDIOBJ ScreenFont() {
    return reinterpret_cast<HGDIOBJ>(&screenFont);
}

// The screen font's description; the face name is ASCII in both forms.
template <typename LogFont> LogFont DescribeScreenFont() {
    LogFont font{};
    font.lfHeight = kFontHeight;
    font.lfWeight = kNormalWeight;
    font.lfCharSet = kBig5CharSet;
    for (size_t i = 0; i < sizeof kFontFace; i++)
        font.lfFaceName[i] = kFontFace[i];
    return font;
}

// GetObject's rule: no buffer asks for the size; otherwise as much of the
// description as fits is copied and its length returned.
template <typename LogFont> int CopyFontObject(HGDIOBJ object, int size, LPVOID buffer) {
    if (object != ScreenFont() || size < 0)
        return 0;
    if (buffer == NULL)
        return (int)sizeof(LogFont);
    LogFont font = DescribeScreenFont<LogFont>();
    int bytes = size < (int)sizeof font ? size : (int)sizeof font;
    memcpy(buffer, &font, bytes);
    return bytes;
}

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

// Every window shares the screen's one device context.
HDC WINAPI GetDC(HWND) {
    return ScreenDC();
}

int WINAPI ReleaseDC(HWND, HDC dc) {
    return dc == ScreenDC() ? 1 : 0;
}

HGDIOBJ WINAPI GetCurrentObject(HDC dc, UINT type) {
    if (dc != ScreenDC() || type != OBJ_FONT)
        return NULL;
    return ScreenFont();
}

int WINAPI GetObjectA(HGDIOBJ object, int size, LPVOID buffer) {
    return CopyFontObject<LOGFONTA>(object, size, buffer);
}

int WINAPI GetObjectW(HGDIOBJ object, int size, LPVOID buffer) {
    return CopyFontObject<LOGFONTW>(object, size, buffer);
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
