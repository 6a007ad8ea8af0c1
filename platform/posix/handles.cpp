// The registry of open kernel-object handles, and CloseHandle.
#include "platform/posix/handles.h"

#include <mutex>
#include <unordered_map>

namespace posix {

KernelObject::~KernelObject() = default;

namespace {

struct Registry {
    std::mutex lock;
    std::unordered_map<HANDLE, std::shared_ptr<KernelObject>> objects;
};

// Never destroyed, so that handles closed during static destruction
// still find it.
Registry &registry() {
    static Registry *instance = new Registry;
    return *instance;
}

} // namespace

HANDLE openHandle(std::shared_ptr<KernelObject> object) {
    HANDLE handle = object.get();
    Registry &r = registry();
    std::lock_guard guard(r.lock);
    r.objects.emplace(handle, std::move(object));
    return handle;
}

std::shared_ptr<KernelObject> findHandle(HANDLE handle) {
    Registry &r = registry();
    std::lock_guard guard(r.lock);
    auto found = r.objects.find(handle);
    if (found == r.objects.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return found->second;
}

} // namespace posix

BOOL WINAPI CloseHandle(HANDLE object) {
    std::shared_ptr<posix::KernelObject> closing;
    posix::Registry &r = posix::registry();
    {
        std::lock_guard guard(r.lock);
        auto found = r.objects.find(object);
        if (found == r.objects.end()) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        closing = std::move(found->second);
        r.objects.erase(found);
    }
    // The object is destroyed here, outside the lock, unless another
    // thread is still using it.
    return TRUE;
}
