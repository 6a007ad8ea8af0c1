// File mappings and their views.
//
// A mapping shares the file's open description, and so does every view;
// the file stays open, with the sharing it was opened with, until the last
// of them goes. That keeps another process from truncating a file under
// a view (on Windows the system refuses it; here the view would fault).
#include "platform/posix/failure_injection.h"
#include "platform/posix/errors.h"
#include "platform/posix/file.h"

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <unordered_map>

namespace {

using posix::Descriptor;
using posix::failing;

// Views start at multiples of Windows' allocation granularity.
constexpr uint64_t kGranularity = 65536;

struct MappingObject : posix::KernelObject {
    MappingObject(std::shared_ptr<Descriptor> descriptor, bool writable, uint64_t size)
        : descriptor(std::move(descriptor)), writable(writable), size(size) {}

    const std::shared_ptr<Descriptor> descriptor;
    const bool writable;
    const uint64_t size;
};

struct View {
    size_t length;
    std::shared_ptr<Descriptor> descriptor;
};

struct ViewTable {
    std::mutex lock;
    std::unordered_map<const void *, View> views;
};

ViewTable &views() {
    static ViewTable *table = new ViewTable;
    return *table;
}

uint64_t join(DWORD high, DWORD low) {
    return (uint64_t(high) << 32) | low;
}

// The mapping's size: the file's when none is given. A larger size grows
// the file if the mapping may write, and is refused otherwise.
bool settleSize(int fd, bool writable, uint64_t requested, uint64_t &size) {
    struct stat info;
    if (fstat(fd, &info) != 0)
        return posix::failWithErrno();
    const uint64_t fileSize = uint64_t(info.st_size);
    size = requested ? requested : fileSize;
    if (size == 0)
        return posix::failWith(ERROR_FILE_INVALID);
    if (size <= fileSize)
        return true;
    if (!writable || size > uint64_t(INT64_MAX))
        return posix::failWith(ERROR_NOT_ENOUGH_MEMORY);
    return ftruncate(fd, off_t(size)) == 0 || posix::failWithErrno();
}

HANDLE createMapping(HANDLE handle, DWORD protect, DWORD sizeHigh, DWORD sizeLow, bool named) {
    if (named)
        return failing<HANDLE>(nullptr, ERROR_NOT_SUPPORTED);
    auto file = posix::findHandleAs<posix::FileObject>(handle);
    if (!file)
        return nullptr;
    const DWORD protection = protect & 0xFF;
    if (protection != PAGE_READONLY && protection != PAGE_READWRITE)
        return failing<HANDLE>(nullptr, ERROR_INVALID_PARAMETER);
    const bool writable = protection == PAGE_READWRITE;
    if (!file->canRead || (writable && !file->canWrite))
        return failing<HANDLE>(nullptr, ERROR_ACCESS_DENIED);
    uint64_t size = 0;
    if (!settleSize(file->descriptor->fd, writable, join(sizeHigh, sizeLow), size))
        return nullptr;
    HANDLE mapping =
        posix::openHandle(std::make_shared<MappingObject>(file->descriptor, writable, size));
    SetLastError(NO_ERROR);
    return mapping;
}

} // namespace

HANDLE WINAPI CreateFileMappingA(HANDLE file, LPSECURITY_ATTRIBUTES, DWORD protect, DWORD sizeHigh,
                                 DWORD sizeLow, LPCSTR name) {
    posix::FailurePoint point(TAVO_FAIL_FILES);
    if (point.fails())
        return nullptr;
    return createMapping(file, protect, sizeHigh, sizeLow, name != nullptr);
}

HANDLE WINAPI CreateFileMappingW(HANDLE file, LPSECURITY_ATTRIBUTES, DWORD protect, DWORD sizeHigh,
                                 DWORD sizeLow, LPCWSTR name) {
    posix::FailurePoint point(TAVO_FAIL_FILES);
    if (point.fails())
        return nullptr;
    return createMapping(file, protect, sizeHigh, sizeLow, name != nullptr);
}

LPVOID WINAPI MapViewOfFile(HANDLE handle, DWORD access, DWORD offsetHigh, DWORD offsetLow,
                            SIZE_T bytes) {
    posix::FailurePoint point(TAVO_FAIL_FILES);
    if (point.fails())
        return nullptr;
    auto mapping = posix::findHandleAs<MappingObject>(handle);
    if (!mapping)
        return nullptr;
    const uint64_t offset = join(offsetHigh, offsetLow);
    if (offset % kGranularity != 0)
        return failing<LPVOID>(nullptr, ERROR_MAPPED_ALIGNMENT);
    if (offset >= mapping->size || bytes > mapping->size - offset)
        return failing<LPVOID>(nullptr, ERROR_ACCESS_DENIED);
    const size_t length = bytes ? bytes : size_t(mapping->size - offset);
    int protection = PROT_READ;
    int sharing = MAP_SHARED;
    if (access & FILE_MAP_WRITE) {
        if (!mapping->writable)
            return failing<LPVOID>(nullptr, ERROR_ACCESS_DENIED);
        protection |= PROT_WRITE;
    } else if (access & FILE_MAP_COPY) {
        protection |= PROT_WRITE;
        sharing = MAP_PRIVATE;
    } else if (!(access & FILE_MAP_READ)) {
        return failing<LPVOID>(nullptr, ERROR_INVALID_PARAMETER);
    }
    void *view = mmap(nullptr, length, protection, sharing, mapping->descriptor->fd, off_t(offset));
    if (view == MAP_FAILED)
        return failing<LPVOID>(nullptr, posix::errorFromErrno(errno));
    ViewTable &table = views();
    std::lock_guard guard(table.lock);
    table.views[view] = View{length, mapping->descriptor};
    return view;
}

BOOL WINAPI UnmapViewOfFile(LPCVOID address) {
    View view;
    {
        ViewTable &table = views();
        std::lock_guard guard(table.lock);
        auto found = table.views.find(address);
        if (found == table.views.end())
            return posix::failWith(ERROR_INVALID_ADDRESS);
        view = std::move(found->second);
        table.views.erase(found);
    }
    munmap(const_cast<void *>(address), view.length);
    return TRUE;
}
