// Kernel-object handles. A HANDLE is the address of a live KernelObject,
// registered process-wide, so that any call given a stale or made-up
// handle fails with ERROR_INVALID_HANDLE instead of touching freed memory.
//
// Lookups return shared ownership: an object closed by one thread while
// another is still using it is destroyed only when that use ends.
#ifndef TAVO_POSIX_HANDLES_H
#define TAVO_POSIX_HANDLES_H

#include "platform/platform.h"

#include <memory>

namespace posix {

// The base of every object a HANDLE can name (files, mappings, and later
// threads and synchronisation objects).
struct KernelObject {
    virtual ~KernelObject();
};

// Registers object and returns its handle.
HANDLE openHandle(std::shared_ptr<KernelObject> object);

// The object behind handle, or null with ERROR_INVALID_HANDLE when the
// handle is not open.
std::shared_ptr<KernelObject> findHandle(HANDLE handle);

// The object behind handle if it is open and of type T; otherwise null
// with ERROR_INVALID_HANDLE.
template <class T> std::shared_ptr<T> findHandleAs(HANDLE handle) {
    auto typed = std::dynamic_pointer_cast<T>(findHandle(handle));
    if (!typed)
        SetLastError(ERROR_INVALID_HANDLE);
    return typed;
}

} // namespace posix

#endif
