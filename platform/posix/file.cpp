// Files: opening with Windows' creation modes and share modes, reading,
// writing, the file pointer, size and times, deletion.
//
// Share modes hold between processes. Each handle has its own open file
// description and takes shared OFD locks on marker bytes far beyond any
// real data: one per access it has (read, write) and one per sharing it
// refuses (deny read, deny write). An open first takes its own markers,
// then asks whether another description holds a marker that conflicts;
// so of two racing conflicting opens at least one fails, never both
// succeed. The locks vanish with the description, whether by CloseHandle
// or by the death of the process.
//
// Corner: a handle with write access needs a descriptor that can also
// read (shared locks require it), so a file that may be written but not
// read cannot be opened for writing (ERROR_ACCESS_DENIED).
#include "platform/posix/failure_injection.h"
#include "platform/posix/file.h"
#include "platform/posix/errors.h"
#include "platform/posix/names.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <limits>
#include <string>

namespace posix {

Descriptor::~Descriptor() {
    close(fd);
}

} // namespace posix

namespace {

using posix::Descriptor;
using posix::failing;
using posix::failWith;
using posix::failWithErrno;
using posix::FileObject;

DWORD errnoError() {
    return posix::errorFromErrno(errno);
}

// ---- Share modes ----

enum Marker : off_t { AccessRead, AccessWrite, DenyRead, DenyWrite };

constexpr off_t kMarkerBase = std::numeric_limits<off_t>::max() - 8;

struct flock markerLock(short type, Marker marker) {
    struct flock lock = {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = kMarkerBase + marker;
    lock.l_len = 1;
    return lock;
}

bool takeMarker(int fd, Marker marker) {
    struct flock lock = markerLock(F_RDLCK, marker);
    return fcntl(fd, F_OFD_SETLK, &lock) == 0;
}

// Whether another open file description holds the marker (our own locks
// never conflict with a test from the same description).
bool othersHold(int fd, Marker marker, bool &held) {
    struct flock lock = markerLock(F_WRLCK, marker);
    if (fcntl(fd, F_OFD_GETLK, &lock) != 0)
        return false;
    held = lock.l_type != F_UNLCK;
    return true;
}

struct Sharing {
    bool read, write;           // the handle's access
    bool shareRead, shareWrite; // what it lets others do
};

// Takes the handle's markers and checks them against every other open.
// A handle without read or write access takes part in no sharing, as on
// Windows. On failure the caller closes the descriptor, which drops the
// markers taken.
BOOL claimSharing(int fd, const Sharing &s) {
    if (!s.read && !s.write)
        return TRUE;
    const std::pair<bool, Marker> mine[] = {{s.read, AccessRead},
                                            {s.write, AccessWrite},
                                            {!s.shareRead, DenyRead},
                                            {!s.shareWrite, DenyWrite}};
    for (auto [wanted, marker] : mine)
        if (wanted && !takeMarker(fd, marker))
            return failWithErrno();
    // Another handle refusing what we do, or doing what we refuse.
    const std::pair<bool, Marker> conflicts[] = {{s.read, DenyRead},
                                                 {s.write, DenyWrite},
                                                 {!s.shareRead, AccessRead},
                                                 {!s.shareWrite, AccessWrite}};
    for (auto [relevant, marker] : conflicts) {
        bool held = false;
        if (relevant && !othersHold(fd, marker, held))
            return failWithErrno();
        if (held)
            return failWith(ERROR_SHARING_VIOLATION);
    }
    return TRUE;
}

// ---- Opening ----

// ENOENT means a missing file when the folder exists, else a missing path.
DWORD missingError(const std::string &path) {
    std::string::size_type slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ERROR_FILE_NOT_FOUND;
    std::string folder = slash == 0 ? "/" : path.substr(0, slash);
    struct stat info;
    if (stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
        return ERROR_FILE_NOT_FOUND;
    return ERROR_PATH_NOT_FOUND;
}

int failedOpen(const std::string &path) {
    return failing(-1, errno == ENOENT ? missingError(path) : errnoError());
}

// Opens or creates the file as the creation mode says; existed tells
// whether the file was there before. Nothing is truncated here.
int openForCreation(const std::string &path, int mode, DWORD creation, DWORD attributes,
                    bool &existed) {
    // Non-blocking so that opening a FIFO cannot hang; cleared later.
    const int flags = mode | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    const mode_t permissions = (attributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
    const bool mayOpen = creation != CREATE_NEW;
    const bool mayCreate =
        creation == CREATE_NEW || creation == CREATE_ALWAYS || creation == OPEN_ALWAYS;
    // Retried while another process creates or deletes the file under us.
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (mayOpen) {
            int fd = open(path.c_str(), flags);
            if (fd >= 0 || errno != ENOENT || !mayCreate) {
                existed = true;
                return fd >= 0 ? fd : failedOpen(path);
            }
        }
        int fd = open(path.c_str(), flags | O_CREAT | O_EXCL, permissions);
        if (fd >= 0 || errno != EEXIST || !mayOpen) {
            existed = false;
            return fd >= 0 ? fd : failedOpen(path);
        }
    }
    return failing(-1, ERROR_SHARING_VIOLATION);
}

bool isValidCreation(DWORD creation) {
    return creation >= CREATE_NEW && creation <= TRUNCATE_EXISTING;
}

// A directory is not a file to Windows.
BOOL refuseDirectory(int fd) {
    struct stat info;
    if (fstat(fd, &info) != 0)
        return failWithErrno();
    return S_ISDIR(info.st_mode) ? failWith(ERROR_ACCESS_DENIED) : TRUE;
}

// With the sharing granted, the content may go; reads and writes block
// again from here on.
BOOL finishOpening(int fd, bool truncate) {
    if (truncate && ftruncate(fd, 0) != 0)
        return failWithErrno();
    int flags = fcntl(fd, F_GETFL);
    return flags >= 0 && fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0 ? TRUE : failWithErrno();
}

HANDLE createFile(const std::string &path, DWORD access, DWORD share, DWORD creation,
                  DWORD attributes) {
    const bool read = access & (GENERIC_READ | GENERIC_ALL);
    const bool write = access & (GENERIC_WRITE | GENERIC_ALL);
    const bool truncates = creation == CREATE_ALWAYS || creation == TRUNCATE_EXISTING;
    if (!isValidCreation(creation) || (creation == TRUNCATE_EXISTING && !write))
        return failing(INVALID_HANDLE_VALUE, ERROR_INVALID_PARAMETER);
    if (path.empty())
        return failing(INVALID_HANDLE_VALUE, ERROR_PATH_NOT_FOUND);
    bool existed = false;
    int fd = openForCreation(path, (write || truncates) ? O_RDWR : O_RDONLY, creation, attributes,
                             existed);
    if (fd < 0)
        return INVALID_HANDLE_VALUE;
    // Owns the descriptor from here: any failure closes it, dropping its locks.
    auto descriptor = std::make_shared<Descriptor>(fd);
    const Sharing sharing = {read, write, bool(share & FILE_SHARE_READ),
                             bool(share & FILE_SHARE_WRITE)};
    if (!refuseDirectory(fd) || !claimSharing(fd, sharing) ||
        !finishOpening(fd, truncates && existed))
        return INVALID_HANDLE_VALUE;
    HANDLE handle = posix::openHandle(std::make_shared<FileObject>(descriptor, read, write));
    const bool reportsExisting = creation == CREATE_ALWAYS || creation == OPEN_ALWAYS;
    SetLastError(reportsExisting && existed ? ERROR_ALREADY_EXISTS : NO_ERROR);
    return handle;
}

// ---- Reading and writing ----

std::shared_ptr<FileObject> findFile(HANDLE handle) {
    return posix::findHandleAs<FileObject>(handle);
}

off_t overlappedOffset(const OVERLAPPED *overlapped) {
    return off_t((uint64_t(overlapped->OffsetHigh) << 32) | overlapped->Offset);
}

// Moves bytes until all are done, the end of the file is reached or an
// error occurs; done counts what was moved. Given an OVERLAPPED, the
// transfer starts at its offset and the file pointer ends after it.
template <class Buffer, class Transfer, class PositionedTransfer>
BOOL transferAll(int fd, Buffer buffer, DWORD bytes, DWORD &done, const OVERLAPPED *overlapped,
                 Transfer transfer, PositionedTransfer positioned) {
    done = 0;
    const off_t start = overlapped ? overlappedOffset(overlapped) : 0;
    while (done < bytes) {
        ssize_t moved = overlapped ? positioned(fd, buffer + done, bytes - done, start + done)
                                   : transfer(fd, buffer + done, bytes - done);
        if (moved < 0 && errno == EINTR)
            continue;
        if (moved < 0)
            return failWithErrno();
        if (moved == 0)
            break;
        done += DWORD(moved);
    }
    if (overlapped && lseek(fd, start + done, SEEK_SET) < 0)
        return failWithErrno();
    return TRUE;
}

// ---- File times ----

constexpr int64_t kTicksPerSecond = 10000000;             // 100 ns
constexpr int64_t kUnixEpochTicks = 116444736000000000LL; // 1601 to 1970

FILETIME fileTimeFrom(int64_t seconds, int64_t nanoseconds) {
    uint64_t ticks = uint64_t(kUnixEpochTicks + seconds * kTicksPerSecond + nanoseconds / 100);
    return {DWORD(ticks), DWORD(ticks >> 32)};
}

uint64_t ticksOf(const FILETIME &time) {
    return (uint64_t(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// A FILETIME for futimens: null, zero and the special "stop / resume
// updating" values (all ones, all ones but the last bit) leave the time
// as it is.
bool timespecFrom(const FILETIME *time, struct timespec &stamp) {
    uint64_t ticks = time ? ticksOf(*time) : 0;
    if (ticks == 0 || time->dwHighDateTime >= 0xFFFFFFFE) {
        stamp = {0, UTIME_OMIT};
        return true;
    }
    if (ticks > uint64_t(std::numeric_limits<int64_t>::max()))
        return false;
    int64_t sinceEpoch = int64_t(ticks) - kUnixEpochTicks;
    int64_t seconds = sinceEpoch / kTicksPerSecond;
    int64_t rest = sinceEpoch % kTicksPerSecond;
    if (rest < 0) {
        rest += kTicksPerSecond;
        --seconds;
    }
    stamp = {time_t(seconds), long(rest * 100)};
    return true;
}

} // namespace

HANDLE WINAPI CreateFileA(LPCSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES,
                          DWORD creation, DWORD flags, HANDLE) {
    posix::FailurePoint point(TAVO_FAIL_FILES);
    if (point.fails())
        return INVALID_HANDLE_VALUE;
    std::string path;
    if (!posix::fileNameFromA(name, path))
        return INVALID_HANDLE_VALUE;
    return createFile(path, access, share, creation, flags);
}

HANDLE WINAPI CreateFileW(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES,
                          DWORD creation, DWORD flags, HANDLE) {
    posix::FailurePoint point(TAVO_FAIL_FILES);
    if (point.fails())
        return INVALID_HANDLE_VALUE;
    std::string path;
    if (!posix::fileNameFromW(name, path))
        return INVALID_HANDLE_VALUE;
    return createFile(path, access, share, creation, flags);
}

BOOL WINAPI ReadFile(HANDLE handle, LPVOID buffer, DWORD toRead, LPDWORD read,
                     LPOVERLAPPED overlapped) {
    if (read)
        *read = 0;
    auto file = findFile(handle);
    if (!file)
        return FALSE;
    if (!file->canRead)
        return failWith(ERROR_ACCESS_DENIED);
    if ((!read && !overlapped) || (!buffer && toRead > 0))
        return failWith(ERROR_INVALID_PARAMETER);
    DWORD done = 0;
    BOOL ok = transferAll(file->descriptor->fd, static_cast<char *>(buffer), toRead, done,
                          overlapped, ::read, ::pread);
    if (read)
        *read = done;
    if (overlapped)
        overlapped->InternalHigh = done;
    return ok;
}

BOOL WINAPI WriteFile(HANDLE handle, LPCVOID buffer, DWORD toWrite, LPDWORD written,
                      LPOVERLAPPED overlapped) {
    if (written)
        *written = 0;
    auto file = findFile(handle);
    if (!file)
        return FALSE;
    if (!file->canWrite)
        return failWith(ERROR_ACCESS_DENIED);
    if ((!written && !overlapped) || (!buffer && toWrite > 0))
        return failWith(ERROR_INVALID_PARAMETER);
    DWORD done = 0;
    BOOL ok = transferAll(file->descriptor->fd, static_cast<const char *>(buffer), toWrite, done,
                          overlapped, ::write, ::pwrite);
    if (written)
        *written = done;
    if (overlapped)
        overlapped->InternalHigh = done;
    return ok;
}

DWORD WINAPI SetFilePointer(HANDLE handle, LONG distance, PLONG distanceHigh, DWORD method) {
    auto file = findFile(handle);
    if (!file)
        return INVALID_SET_FILE_POINTER;
    const int fd = file->descriptor->fd;
    int64_t move = distanceHigh
                       ? int64_t((uint64_t(uint32_t(*distanceHigh)) << 32) | uint32_t(distance))
                       : int64_t(distance);
    int64_t base = 0;
    struct stat info;
    if (method == FILE_CURRENT)
        base = lseek(fd, 0, SEEK_CUR);
    else if (method == FILE_END)
        base = fstat(fd, &info) == 0 ? info.st_size : -1;
    else if (method != FILE_BEGIN)
        return failing(INVALID_SET_FILE_POINTER, ERROR_INVALID_PARAMETER);
    if (base < 0)
        return failing(INVALID_SET_FILE_POINTER, errnoError());
    int64_t target = 0;
    if (__builtin_add_overflow(base, move, &target))
        return failing(INVALID_SET_FILE_POINTER, ERROR_INVALID_PARAMETER);
    if (target < 0)
        return failing(INVALID_SET_FILE_POINTER, ERROR_NEGATIVE_SEEK);
    // Without a high part the position must fit in 32 bits.
    if (!distanceHigh && target > int64_t(UINT32_MAX))
        return failing(INVALID_SET_FILE_POINTER, ERROR_INVALID_PARAMETER);
    if (lseek(fd, target, SEEK_SET) < 0)
        return failing(INVALID_SET_FILE_POINTER, errnoError());
    if (distanceHigh)
        *distanceHigh = LONG(uint64_t(target) >> 32);
    // The low part may equal the failure value; the last error tells.
    if (DWORD(target) == INVALID_SET_FILE_POINTER)
        SetLastError(NO_ERROR);
    return DWORD(target);
}

BOOL WINAPI SetEndOfFile(HANDLE handle) {
    auto file = findFile(handle);
    if (!file)
        return FALSE;
    if (!file->canWrite)
        return failWith(ERROR_ACCESS_DENIED);
    off_t position = lseek(file->descriptor->fd, 0, SEEK_CUR);
    if (position < 0 || ftruncate(file->descriptor->fd, position) != 0)
        return failWithErrno();
    return TRUE;
}

DWORD WINAPI GetFileSize(HANDLE handle, LPDWORD sizeHigh) {
    auto file = findFile(handle);
    if (!file)
        return INVALID_FILE_SIZE;
    struct stat info;
    if (fstat(file->descriptor->fd, &info) != 0)
        return failing(INVALID_FILE_SIZE, errnoError());
    uint64_t size = uint64_t(info.st_size);
    if (sizeHigh)
        *sizeHigh = DWORD(size >> 32);
    if (DWORD(size) == INVALID_FILE_SIZE)
        SetLastError(NO_ERROR);
    return DWORD(size);
}

BOOL WINAPI FlushFileBuffers(HANDLE handle) {
    auto file = findFile(handle);
    if (!file)
        return FALSE;
    if (!file->canWrite)
        return failWith(ERROR_ACCESS_DENIED);
    return fsync(file->descriptor->fd) == 0 ? TRUE : failWithErrno();
}

BOOL WINAPI GetFileTime(HANDLE handle, LPFILETIME creation, LPFILETIME lastAccess,
                        LPFILETIME lastWrite) {
    auto file = findFile(handle);
    if (!file)
        return FALSE;
    if (!file->canRead && !file->canWrite)
        return failWith(ERROR_ACCESS_DENIED);
    struct statx info;
    const unsigned wanted = STATX_ATIME | STATX_MTIME | STATX_CTIME | STATX_BTIME;
    if (statx(file->descriptor->fd, "", AT_EMPTY_PATH, wanted, &info) != 0)
        return failWithErrno();
    auto fileTime = [](const struct statx_timestamp &t) {
        return fileTimeFrom(t.tv_sec, t.tv_nsec);
    };
    // The birth time where the file system keeps one, else the change time.
    if (creation)
        *creation = fileTime((info.stx_mask & STATX_BTIME) ? info.stx_btime : info.stx_ctime);
    if (lastAccess)
        *lastAccess = fileTime(info.stx_atime);
    if (lastWrite)
        *lastWrite = fileTime(info.stx_mtime);
    return TRUE;
}

BOOL WINAPI SetFileTime(HANDLE handle, const FILETIME *, const FILETIME *lastAccess,
                        const FILETIME *lastWrite) {
    auto file = findFile(handle);
    if (!file)
        return FALSE;
    if (!file->canWrite)
        return failWith(ERROR_ACCESS_DENIED);
    // The creation time cannot be set on Linux; it is left as it is.
    struct timespec times[2];
    if (!timespecFrom(lastAccess, times[0]) || !timespecFrom(lastWrite, times[1]))
        return failWith(ERROR_INVALID_PARAMETER);
    return futimens(file->descriptor->fd, times) == 0 ? TRUE : failWithErrno();
}

LONG WINAPI CompareFileTime(const FILETIME *first, const FILETIME *second) {
    uint64_t a = ticksOf(*first);
    uint64_t b = ticksOf(*second);
    return a < b ? -1 : a > b ? 1 : 0;
}

namespace {

BOOL deleteFile(const std::string &path) {
    if (unlink(path.c_str()) == 0)
        return TRUE;
    if (errno == ENOENT)
        return failWith(path.empty() ? ERROR_PATH_NOT_FOUND : missingError(path));
    return failWithErrno();
}

} // namespace

BOOL WINAPI DeleteFileA(LPCSTR name) {
    std::string path;
    return posix::fileNameFromA(name, path) ? deleteFile(path) : FALSE;
}

BOOL WINAPI DeleteFileW(LPCWSTR name) {
    std::string path;
    return posix::fileNameFromW(name, path) ? deleteFile(path) : FALSE;
}
