// The Win32 subset that the system uses, declared for POSIX systems with
// Windows' names, types, values and layouts, one header per library and
// subject. platform/posix implements it.
#ifndef TAVO_POSIX_WIN32_H
#define TAVO_POSIX_WIN32_H

#include "platform/posix/win32/base.h"

#include "platform/posix/win32/dialogs.h"
#include "platform/posix/win32/files.h"
#include "platform/posix/win32/gdi.h"
#include "platform/posix/win32/imm.h"
#include "platform/posix/win32/keyboard.h"
#include "platform/posix/win32/memory.h"
#include "platform/posix/win32/modules.h"
#include "platform/posix/win32/registry.h"
#include "platform/posix/win32/security.h"
#include "platform/posix/win32/sound.h"
#include "platform/posix/win32/strings.h"
#include "platform/posix/win32/threads.h"
#include "platform/posix/win32/user.h"

#endif
