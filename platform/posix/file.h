// The kernel object behind a file handle, shared with file mappings.
#ifndef TAVO_POSIX_FILE_H
#define TAVO_POSIX_FILE_H

#include "platform/posix/handles.h"

#include <memory>

namespace posix {

// An open file description. Its share-mode locks last as long as it
// does, so a mapping or view that still uses the file keeps it, and with
// it the sharing the file was opened with, even after CloseHandle.
struct Descriptor {
    explicit Descriptor(int fd) : fd(fd) {}
    ~Descriptor();
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;

    const int fd;
};

struct FileObject : KernelObject {
    FileObject(std::shared_ptr<Descriptor> descriptor, bool canRead, bool canWrite)
        : descriptor(std::move(descriptor)), canRead(canRead), canWrite(canWrite) {}

    const std::shared_ptr<Descriptor> descriptor;
    // What the handle was opened for, checked by every call (the
    // descriptor itself may be open for more).
    const bool canRead;
    const bool canWrite;
};

} // namespace posix

#endif
