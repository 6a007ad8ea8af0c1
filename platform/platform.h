// The one header through which the system reaches its platform.
//
// The system is Win32 code. On Windows this header brings in the real
// headers plus the input-method developer declarations that MinGW lacks,
// and routes the few calls whose Windows behaviour the system can't use
// (platform/win32/routes.h); elsewhere it declares the Win32 subset that
// platform/posix implements.
// No code outside platform/ asks which operating system it runs on.
#ifndef TAVO_PLATFORM_H
#define TAVO_PLATFORM_H

#ifdef _WIN32
#include <windows.h>
#include <imm.h>
#include <mmsystem.h>
#include <process.h>
#include "platform/win32/routes.h"
#else
#include "platform/posix/win32.h"
#endif
#include "platform/imedev.h"

#endif
