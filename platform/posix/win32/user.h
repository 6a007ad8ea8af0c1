// Windows, the screen and its work area (USER32).
#ifndef TAVO_POSIX_WIN32_USER_H
#define TAVO_POSIX_WIN32_USER_H

#include "platform/posix/win32/base.h"
#include "platform/posix/win32/gdi.h"

// One fixed screen (gdi.cpp): 1920 by 1080 pixels with a 40-pixel taskbar
// at the bottom, whose device context carries one default font.

#define SPI_GETWORKAREA 0x0030

HDC WINAPI GetDC(HWND window);
int WINAPI ReleaseDC(HWND window, HDC dc);
BOOL WINAPI SystemParametersInfoA(UINT action, UINT param, PVOID value, UINT winIni);
BOOL WINAPI SystemParametersInfoW(UINT action, UINT param, PVOID value, UINT winIni);
BOOL WINAPI ScreenToClient(HWND window, LPPOINT point);

#define SystemParametersInfo TAVO_AW(SystemParametersInfo)

#endif
