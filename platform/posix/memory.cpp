// Global memory blocks, fixed and movable.
//
// Every block's memory is a malloc'd header followed by the payload. The
// header's tag is the payload address mixed with a kind, so a pointer that
// did not come from here (or was freed, which clears the tag) is refused.
// Fixed blocks: the HGLOBAL is the payload itself, 16-byte aligned, and
// allocating or freeing one takes no lock. Movable blocks: the HGLOBAL is
// the address of a small record plus 8 (as on Windows, handles and fixed
// pointers differ in alignment), kept in a locked table, so a handle is
// checked before anything is read through it.
#include "platform/platform.h"
#include "platform/posix/failure_injection.h"

#include <malloc.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace {

constexpr uintptr_t kFixedKind = 0x5441564f46495845;   // arbitrary, distinct
constexpr uintptr_t kMovableKind = 0x5441564f4d4f5645; // arbitrary, distinct
constexpr uintptr_t kHandleMark = 8;
constexpr uintptr_t kLowestAddress = 0x10000;

// Precedes every payload. value is the size of a fixed block, the handle
// of a movable block's memory.
struct alignas(16) Header {
    uintptr_t tag;
    uintptr_t value;
};
static_assert(sizeof(Header) == 16);

uintptr_t tagFor(const void *payload, uintptr_t kind) {
    return reinterpret_cast<uintptr_t>(payload) ^ kind;
}

Header *headerOf(const void *payload) {
    return static_cast<Header *>(const_cast<void *>(payload)) - 1;
}

// The header of a payload of the given kind, or null when p is not one.
// Only the 16 bytes before an aligned, plausible address are read.
Header *checkedHeader(const void *p, uintptr_t kind) {
    auto address = reinterpret_cast<uintptr_t>(p);
    if (address < kLowestAddress || address % alignof(Header) != 0)
        return nullptr;
    Header *header = headerOf(p);
    return header->tag == tagFor(p, kind) ? header : nullptr;
}

// A new payload of bytes, or null with ERROR_NOT_ENOUGH_MEMORY.
void *allocatePayload(SIZE_T bytes, bool zero, uintptr_t kind, uintptr_t value) {
    if (bytes > SIZE_MAX - sizeof(Header)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    void *raw = zero ? std::calloc(1, sizeof(Header) + bytes) : std::malloc(sizeof(Header) + bytes);
    if (!raw) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    auto *header = static_cast<Header *>(raw);
    void *payload = header + 1;
    header->tag = tagFor(payload, kind);
    header->value = value;
    return payload;
}

void freePayload(void *payload) {
    if (!payload)
        return;
    Header *header = headerOf(payload);
    header->tag = 0;
    std::free(header);
}

// Whether a payload can take bytes without moving.
bool fitsInPlace(void *payload, SIZE_T bytes) {
    return bytes <= malloc_usable_size(headerOf(payload)) - sizeof(Header);
}

// Resizes a payload, moving it if needed and allowed; null with
// ERROR_NOT_ENOUGH_MEMORY when that fails (the old payload stays). The
// part beyond oldBytes is zeroed if asked.
void *resizePayload(void *payload, SIZE_T oldBytes, SIZE_T bytes, bool zero, bool mayMove) {
    void *result = payload;
    if (!fitsInPlace(payload, bytes)) {
        Header *header = headerOf(payload);
        if (!mayMove || bytes > SIZE_MAX - sizeof(Header)) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        uintptr_t kind = header->tag ^ reinterpret_cast<uintptr_t>(payload);
        header->tag = 0;
        auto *moved = static_cast<Header *>(std::realloc(header, sizeof(Header) + bytes));
        if (!moved) {
            header->tag = tagFor(payload, kind);
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        result = moved + 1;
        moved->tag = tagFor(result, kind);
    }
    if (zero && bytes > oldBytes)
        std::memset(static_cast<char *>(result) + oldBytes, 0, bytes - oldBytes);
    return result;
}

// ---- Movable blocks ----

struct alignas(16) Movable {
    void *data = nullptr; // null while discarded (size 0)
    SIZE_T size = 0;
    unsigned locks = 0;
};

struct MovableTable {
    std::mutex lock;
    std::unordered_map<uintptr_t, std::unique_ptr<Movable>> blocks;
};

MovableTable &movables() {
    static MovableTable *table = new MovableTable;
    return *table;
}

bool isHandleShaped(const void *mem) {
    return reinterpret_cast<uintptr_t>(mem) % alignof(Movable) == kHandleMark;
}

// The block of a handle; the table must be locked. Null with
// ERROR_INVALID_HANDLE when the handle is not live.
Movable *findMovable(MovableTable &table, HGLOBAL mem) {
    auto found = table.blocks.find(reinterpret_cast<uintptr_t>(mem));
    if (found == table.blocks.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return found->second.get();
}

HGLOBAL allocateMovable(SIZE_T bytes, bool zero) {
    auto block = std::make_unique<Movable>();
    auto handle = reinterpret_cast<uintptr_t>(block.get()) + kHandleMark;
    if (bytes > 0) {
        block->data = allocatePayload(bytes, zero, kMovableKind, handle);
        if (!block->data)
            return nullptr;
        block->size = bytes;
    }
    MovableTable &table = movables();
    std::lock_guard guard(table.lock);
    table.blocks.emplace(handle, std::move(block));
    return reinterpret_cast<HGLOBAL>(handle);
}

HGLOBAL reallocateMovable(HGLOBAL mem, SIZE_T bytes, UINT flags) {
    MovableTable &table = movables();
    std::lock_guard guard(table.lock);
    Movable *block = findMovable(table, mem);
    if (!block)
        return nullptr;
    if (flags & GMEM_MODIFY)
        return mem;
    bool zero = flags & GMEM_ZEROINIT;
    if (bytes == 0) {
        // An unlocked block is discarded: the handle stays, the memory goes.
        if (block->locks > 0) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        freePayload(block->data);
        block->data = nullptr;
        block->size = 0;
        return mem;
    }
    if (!block->data) {
        block->data = allocatePayload(bytes, zero, kMovableKind, reinterpret_cast<uintptr_t>(mem));
        if (!block->data)
            return nullptr;
        block->size = bytes;
        return mem;
    }
    bool mayMove = block->locks == 0 || (flags & GMEM_MOVEABLE);
    void *data = resizePayload(block->data, block->size, bytes, zero, mayMove);
    if (!data)
        return nullptr;
    block->data = data;
    block->size = bytes;
    return mem;
}

HGLOBAL reallocateFixed(HGLOBAL mem, SIZE_T bytes, UINT flags) {
    Header *header = checkedHeader(mem, kFixedKind);
    if (!header) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (flags & GMEM_MODIFY)
        return mem;
    void *payload =
        resizePayload(mem, header->value, bytes, flags & GMEM_ZEROINIT, flags & GMEM_MOVEABLE);
    if (payload)
        headerOf(payload)->value = bytes;
    return payload;
}

} // namespace

HGLOBAL WINAPI GlobalAlloc(UINT flags, SIZE_T bytes) {
    posix::FailurePoint point(TAVO_FAIL_MEMORY);
    if (point.fails())
        return nullptr;
    if (flags & GMEM_MOVEABLE)
        return allocateMovable(bytes, flags & GMEM_ZEROINIT);
    return allocatePayload(bytes, flags & GMEM_ZEROINIT, kFixedKind, bytes);
}

HGLOBAL WINAPI GlobalReAlloc(HGLOBAL mem, SIZE_T bytes, UINT flags) {
    posix::FailurePoint point(TAVO_FAIL_MEMORY);
    if (point.fails())
        return nullptr;
    if (isHandleShaped(mem))
        return reallocateMovable(mem, bytes, flags);
    return reallocateFixed(mem, bytes, flags);
}

SIZE_T WINAPI GlobalSize(HGLOBAL mem) {
    if (isHandleShaped(mem)) {
        MovableTable &table = movables();
        std::lock_guard guard(table.lock);
        Movable *block = findMovable(table, mem);
        return block ? block->size : 0;
    }
    if (Header *header = checkedHeader(mem, kFixedKind))
        return header->value;
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
}

LPVOID WINAPI GlobalLock(HGLOBAL mem) {
    if (isHandleShaped(mem)) {
        MovableTable &table = movables();
        std::lock_guard guard(table.lock);
        Movable *block = findMovable(table, mem);
        if (!block)
            return nullptr;
        if (!block->data) {
            SetLastError(ERROR_DISCARDED);
            return nullptr;
        }
        ++block->locks;
        return block->data;
    }
    if (checkedHeader(mem, kFixedKind))
        return mem;
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
}

BOOL WINAPI GlobalUnlock(HGLOBAL mem) {
    if (isHandleShaped(mem)) {
        MovableTable &table = movables();
        std::lock_guard guard(table.lock);
        Movable *block = findMovable(table, mem);
        if (!block)
            return FALSE;
        if (block->locks == 0) {
            SetLastError(ERROR_NOT_LOCKED);
            return FALSE;
        }
        if (--block->locks > 0)
            return TRUE;
        SetLastError(NO_ERROR);
        return FALSE;
    }
    // A fixed block has no lock count.
    if (checkedHeader(mem, kFixedKind))
        return TRUE;
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
}

HGLOBAL WINAPI GlobalFree(HGLOBAL mem) {
    if (!mem)
        return nullptr;
    if (isHandleShaped(mem)) {
        std::unique_ptr<Movable> block;
        MovableTable &table = movables();
        {
            std::lock_guard guard(table.lock);
            auto found = table.blocks.find(reinterpret_cast<uintptr_t>(mem));
            if (found == table.blocks.end()) {
                SetLastError(ERROR_INVALID_HANDLE);
                return mem;
            }
            block = std::move(found->second);
            table.blocks.erase(found);
        }
        freePayload(block->data);
        return nullptr;
    }
    if (!checkedHeader(mem, kFixedKind)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return mem;
    }
    freePayload(mem);
    return nullptr;
}

UINT WINAPI GlobalFlags(HGLOBAL mem) {
    if (isHandleShaped(mem)) {
        MovableTable &table = movables();
        std::lock_guard guard(table.lock);
        Movable *block = findMovable(table, mem);
        if (!block)
            return GMEM_INVALID_HANDLE;
        UINT flags = std::min<unsigned>(block->locks, GMEM_LOCKCOUNT);
        return block->data ? flags : flags | GMEM_DISCARDED;
    }
    if (checkedHeader(mem, kFixedKind))
        return 0;
    SetLastError(ERROR_INVALID_HANDLE);
    return GMEM_INVALID_HANDLE;
}

HGLOBAL WINAPI GlobalHandle(LPCVOID mem) {
    if (isHandleShaped(mem)) {
        MovableTable &table = movables();
        std::lock_guard guard(table.lock);
        return findMovable(table, const_cast<void *>(mem)) ? const_cast<void *>(mem) : nullptr;
    }
    if (checkedHeader(mem, kFixedKind))
        return const_cast<void *>(mem);
    // The memory of a movable block names its handle; believe it only if
    // the handle is live and still owns this memory.
    if (Header *header = checkedHeader(mem, kMovableKind)) {
        auto handle = reinterpret_cast<HGLOBAL>(header->value);
        MovableTable &table = movables();
        std::lock_guard guard(table.lock);
        Movable *block = findMovable(table, handle);
        if (block && block->data == mem)
            return handle;
    }
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
}

DWORD tavo_MovableBlockCount(void) {
    MovableTable &table = movables();
    std::lock_guard guard(table.lock);
    return DWORD(table.blocks.size());
}
