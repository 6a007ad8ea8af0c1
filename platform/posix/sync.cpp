// Critical sections, mutexes, waiting on kernel objects, and the
// interlocked operations.
//
// A mutex whose owner thread ends without releasing it is abandoned: each
// thread that owns a mutex carries a guard that, at thread exit, frees
// what it still owns and marks it so that the next waiter gets
// WAIT_ABANDONED along with the ownership.
#include "platform/posix/errors.h"
#include "platform/posix/sync.h"

#include <pthread.h>

#include <atomic>
#include <chrono>
#include <vector>

namespace {

using posix::failing;
using posix::failWith;

// ---- Critical sections ----

pthread_mutex_t *newRecursiveLock() {
    auto *lock = new pthread_mutex_t;
    pthread_mutexattr_t attr;
    pthread_mutexattr_init(&attr);
    pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE);
    pthread_mutex_init(lock, &attr);
    pthread_mutexattr_destroy(&attr);
    return lock;
}

std::atomic_ref<HANDLE> lockSlot(LPCRITICAL_SECTION section) {
    return std::atomic_ref<HANDLE>(section->LockSemaphore);
}

// The section's lock; made on first use when the section was only zeroed
// (a global never initialised, or used again after deletion) rather than
// crashing or leaving the section unguarded.
pthread_mutex_t *sectionLock(LPCRITICAL_SECTION section) {
    HANDLE current = lockSlot(section).load();
    if (current)
        return static_cast<pthread_mutex_t *>(current);
    pthread_mutex_t *made = newRecursiveLock();
    if (lockSlot(section).compare_exchange_strong(current, made))
        return made;
    pthread_mutex_destroy(made);
    delete made;
    return static_cast<pthread_mutex_t *>(current);
}

// The holder of a section is kept in its OwningThread, as on Windows.
std::atomic_ref<HANDLE> ownerSlot(LPCRITICAL_SECTION section) {
    return std::atomic_ref<HANDLE>(section->OwningThread);
}

HANDLE currentOwner() {
    return reinterpret_cast<HANDLE>(static_cast<uintptr_t>(GetCurrentThreadId()));
}

void noteEntered(LPCRITICAL_SECTION section) {
    ownerSlot(section).store(currentOwner());
    section->RecursionCount++;
}

// ---- Mutexes ----

struct MutexObject : posix::Waitable, std::enable_shared_from_this<MutexObject> {
    DWORD take() override;
    DWORD owner = 0; // thread identifier, 0 when free
    LONG count = 0;  // recursive acquisitions by the owner
    bool abandoned = false;
};

// Releases, at the end of its thread, the mutexes the thread still owns.
struct OwnedMutexes {
    ~OwnedMutexes();
    DWORD thread = GetCurrentThreadId();
    std::vector<std::weak_ptr<MutexObject>> mutexes;
};

thread_local OwnedMutexes owned;

void abandon(MutexObject &mutex, DWORD thread) {
    {
        std::lock_guard guard(mutex.lock);
        if (mutex.owner != thread)
            return;
        mutex.owner = 0;
        mutex.count = 0;
        mutex.abandoned = true;
    }
    mutex.signal();
}

OwnedMutexes::~OwnedMutexes() {
    for (auto &weak : mutexes)
        if (auto mutex = weak.lock())
            abandon(*mutex, thread);
}

// Remembers mutex among the calling thread's, forgetting the ones that
// are gone so that the list stays short.
void rememberOwned(MutexObject &mutex) {
    auto &list = owned.mutexes;
    std::erase_if(list, [](const std::weak_ptr<MutexObject> &weak) { return weak.expired(); });
    list.push_back(mutex.weak_from_this());
}

DWORD MutexObject::take() {
    DWORD self = GetCurrentThreadId();
    if (owner == self) {
        ++count;
        return WAIT_OBJECT_0;
    }
    if (owner != 0)
        return WAIT_TIMEOUT;
    owner = self;
    count = 1;
    rememberOwned(*this);
    bool wasAbandoned = abandoned;
    abandoned = false;
    return wasAbandoned ? WAIT_ABANDONED : WAIT_OBJECT_0;
}

HANDLE createMutex(BOOL initialOwner, bool named) {
    if (named)
        return failing<HANDLE>(nullptr, ERROR_NOT_SUPPORTED);
    auto mutex = std::make_shared<MutexObject>();
    HANDLE handle = posix::openHandle(mutex);
    if (initialOwner) {
        std::lock_guard guard(mutex->lock);
        mutex->take();
    }
    return handle;
}

// ---- Waiting ----

DWORD waitFor(posix::Waitable &object, DWORD milliseconds) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    std::unique_lock guard(object.lock);
    for (;;) {
        DWORD result = object.take();
        if (result != WAIT_TIMEOUT)
            return result;
        if (milliseconds == INFINITE)
            object.changed.wait(guard);
        else if (object.changed.wait_until(guard, deadline) == std::cv_status::timeout)
            return object.take();
    }
}

} // namespace

void WINAPI InitializeCriticalSection(LPCRITICAL_SECTION section) {
    *section = CRITICAL_SECTION{};
    section->LockCount = -1;
    section->LockSemaphore = newRecursiveLock();
}

void WINAPI EnterCriticalSection(LPCRITICAL_SECTION section) {
    pthread_mutex_lock(sectionLock(section));
    noteEntered(section);
}

BOOL WINAPI TryEnterCriticalSection(LPCRITICAL_SECTION section) {
    if (pthread_mutex_trylock(sectionLock(section)) != 0)
        return FALSE;
    noteEntered(section);
    return TRUE;
}

void WINAPI LeaveCriticalSection(LPCRITICAL_SECTION section) {
    // Only the holder leaves: a stray leave from another thread must not
    // break its hold.
    auto *lock = static_cast<pthread_mutex_t *>(lockSlot(section).load());
    if (!lock || ownerSlot(section).load() != currentOwner())
        return;
    if (--section->RecursionCount == 0)
        ownerSlot(section).store(nullptr);
    pthread_mutex_unlock(lock);
}

void WINAPI DeleteCriticalSection(LPCRITICAL_SECTION section) {
    auto *lock = static_cast<pthread_mutex_t *>(lockSlot(section).exchange(nullptr));
    if (lock) {
        pthread_mutex_destroy(lock);
        delete lock;
    }
    ownerSlot(section).store(nullptr);
    section->RecursionCount = 0;
}

HANDLE WINAPI CreateMutexA(LPSECURITY_ATTRIBUTES, BOOL initialOwner, LPCSTR name) {
    return createMutex(initialOwner, name != nullptr);
}

HANDLE WINAPI CreateMutexW(LPSECURITY_ATTRIBUTES, BOOL initialOwner, LPCWSTR name) {
    return createMutex(initialOwner, name != nullptr);
}

BOOL WINAPI ReleaseMutex(HANDLE handle) {
    auto mutex = posix::findHandleAs<MutexObject>(handle);
    if (!mutex)
        return FALSE;
    {
        std::lock_guard guard(mutex->lock);
        if (mutex->owner != GetCurrentThreadId())
            return failWith(ERROR_NOT_OWNER);
        if (--mutex->count > 0)
            return TRUE;
        mutex->owner = 0;
    }
    mutex->signal();
    return TRUE;
}

DWORD WINAPI WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
    auto object = posix::findHandleAs<posix::Waitable>(handle);
    if (!object)
        return WAIT_FAILED;
    return waitFor(*object, milliseconds);
}

LONG WINAPI InterlockedExchange(volatile LONG *target, LONG value) {
    return __atomic_exchange_n(target, value, __ATOMIC_SEQ_CST);
}

LONG WINAPI InterlockedIncrement(volatile LONG *target) {
    return __atomic_add_fetch(target, 1, __ATOMIC_SEQ_CST);
}

LONG WINAPI InterlockedDecrement(volatile LONG *target) {
    return __atomic_sub_fetch(target, 1, __ATOMIC_SEQ_CST);
}

LONG WINAPI InterlockedCompareExchange(volatile LONG *target, LONG exchange, LONG comparand) {
    __atomic_compare_exchange_n(target, &comparand, exchange, false, __ATOMIC_SEQ_CST,
                                __ATOMIC_SEQ_CST);
    return comparand;
}
