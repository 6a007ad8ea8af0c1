// The operating system version the system is told: Windows 10 (22H2).
#include "platform/posix/errors.h"

namespace {

template <class Info> BOOL fillVersion(Info *info) {
    if (!info || info->dwOSVersionInfoSize != sizeof(Info))
        return posix::failWith(ERROR_INSUFFICIENT_BUFFER);
    *info = Info{};
    info->dwOSVersionInfoSize = sizeof(Info);
    info->dwMajorVersion = 10;
    info->dwMinorVersion = 0;
    info->dwBuildNumber = 19045;
    info->dwPlatformId = VER_PLATFORM_WIN32_NT;
    return TRUE;
}

static_assert(sizeof(OSVERSIONINFOA) == 148 && sizeof(OSVERSIONINFOW) == 276);

} // namespace

BOOL WINAPI GetVersionExA(LPOSVERSIONINFOA info) {
    return fillVersion(info);
}

BOOL WINAPI GetVersionExW(LPOSVERSIONINFOW info) {
    return fillVersion(info);
}
