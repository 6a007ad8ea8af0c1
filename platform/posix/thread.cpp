// Threads of the C runtime, thread identifiers, sleeping and the tick count.
#include "platform/posix/sync.h"

#include <pthread.h>
#include <sched.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <memory>

namespace {

// Signalled when its thread has ended.
struct ThreadObject : posix::Waitable {
    DWORD take() override { return finished ? WAIT_OBJECT_0 : WAIT_TIMEOUT; }
    bool finished = false;
};

struct Start {
    void (*start)(void *);
    void *arg;
    HANDLE handle;
    std::shared_ptr<ThreadObject> thread;
};

// Marks the thread ended and closes the handle that _beginthread gave,
// whether the start routine returns or calls _endthread (which unwinds).
struct EndOfThread {
    Start *start;
    ~EndOfThread() {
        {
            std::lock_guard guard(start->thread->lock);
            start->thread->finished = true;
        }
        start->thread->signal();
        CloseHandle(start->handle);
        delete start;
    }
};

void *runThread(void *param) {
    EndOfThread end{static_cast<Start *>(param)};
    end.start->start(end.start->arg);
    return nullptr;
}

// Honours a request for a stack larger than the default; a smaller one
// keeps the default, as Windows keeps its default reservation.
void setStackSize(pthread_attr_t &attr, unsigned stackSize) {
    size_t current = 0;
    if (pthread_attr_getstacksize(&attr, &current) == 0 && stackSize > current)
        pthread_attr_setstacksize(&attr, stackSize);
}

} // namespace

uintptr_t _beginthread(void(__cdecl *start)(void *), unsigned stackSize, void *arg) {
    if (!start) {
        errno = EINVAL;
        return uintptr_t(-1);
    }
    auto thread = std::make_shared<ThreadObject>();
    HANDLE handle = posix::openHandle(thread);
    // The thread owns params and may free them before pthread_create returns.
    auto *params = new Start{start, arg, handle, thread};
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setdetachstate(&attr, PTHREAD_CREATE_DETACHED);
    setStackSize(attr, stackSize);
    pthread_t id;
    int error = pthread_create(&id, &attr, runThread, params);
    pthread_attr_destroy(&attr);
    if (error != 0) {
        CloseHandle(handle);
        delete params;
        errno = error;
        return uintptr_t(-1);
    }
    return reinterpret_cast<uintptr_t>(handle);
}

void _endthread(void) {
    pthread_exit(nullptr);
}

// Identifiers are never reused within the process, so a stale owner
// recorded somewhere can never match a later thread.
DWORD WINAPI GetCurrentThreadId(void) {
    static std::atomic<DWORD> last{0};
    thread_local DWORD id = last.fetch_add(1) + 1;
    return id;
}

void WINAPI Sleep(DWORD milliseconds) {
    if (milliseconds == 0) {
        sched_yield();
        return;
    }
    if (milliseconds == INFINITE)
        for (;;)
            pause();
    struct timespec left = {time_t(milliseconds / 1000), long(milliseconds % 1000) * 1000000L};
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
}

DWORD WINAPI GetTickCount(void) {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return DWORD(uint64_t(now.tv_sec) * 1000 + uint64_t(now.tv_nsec) / 1000000);
}
