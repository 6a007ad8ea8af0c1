// Translation of C library failures into Win32 error codes, shared by the
// parts of the platform layer that call the operating system.
#ifndef TAVO_POSIX_ERRORS_H
#define TAVO_POSIX_ERRORS_H

#include "platform/platform.h"

namespace posix {

// The Win32 error that best describes an errno value.
DWORD errorFromErrno(int error);

// Sets the last error from errno and returns FALSE, for one-line failures.
BOOL failWithErrno();

// Sets the last error to code and returns FALSE.
BOOL failWith(DWORD code);

// Sets the last error to code and returns value, a function's failure
// result (null, INVALID_HANDLE_VALUE, INVALID_FILE_SIZE...).
template <class T> T failing(T value, DWORD code) {
    SetLastError(code);
    return value;
}

} // namespace posix

#endif
