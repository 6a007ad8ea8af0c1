// A process-wide table of the live objects behind one kind of GDI or
// USER handle (drawing objects, device contexts, icons), so that a stale
// or made-up handle is refused instead of followed. A handle is the
// address of its object; lookups share ownership, so an object deleted on
// one thread while another still draws with it lives until that use ends.
#ifndef TAVO_POSIX_GDI_HANDLES_H
#define TAVO_POSIX_GDI_HANDLES_H

#include "platform/platform.h"

#include <memory>
#include <mutex>
#include <unordered_map>

namespace posix {

template <class Handle, class Object> class HandleTable {
public:
    Handle add(std::shared_ptr<Object> object) {
        Handle handle = reinterpret_cast<Handle>(object.get());
        std::lock_guard guard(lock_);
        objects_.emplace(handle, std::move(object));
        return handle;
    }

    // Null, with ERROR_INVALID_HANDLE, when the handle names nothing live.
    std::shared_ptr<Object> find(Handle handle) const {
        std::lock_guard guard(lock_);
        auto found = objects_.find(handle);
        if (found != objects_.end())
            return found->second;
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }

    // The object taken out of the table when remove(object) agrees, which
    // it is asked under the table's lock; null otherwise.
    template <class Agrees> std::shared_ptr<Object> removeIf(Handle handle, Agrees agrees) {
        std::lock_guard guard(lock_);
        auto found = objects_.find(handle);
        if (found == objects_.end() || !agrees(*found->second))
            return nullptr;
        std::shared_ptr<Object> removed = std::move(found->second);
        objects_.erase(found);
        return removed;
    }

    std::shared_ptr<Object> remove(Handle handle) {
        return removeIf(handle, [](const Object &) { return true; });
    }

private:
    mutable std::mutex lock_;
    std::unordered_map<Handle, std::shared_ptr<Object>> objects_;
};

// A table that is never destroyed, so that handles released during static
// destruction still find it.
template <class Handle, class Object> HandleTable<Handle, Object> &leakedTable() {
    static auto *table = new HandleTable<Handle, Object>;
    return *table;
}

} // namespace posix

#endif
