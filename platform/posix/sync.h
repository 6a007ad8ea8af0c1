// Kernel objects that WaitForSingleObject can wait on (mutexes, threads).
#ifndef TAVO_POSIX_SYNC_H
#define TAVO_POSIX_SYNC_H

#include "platform/posix/handles.h"

#include <condition_variable>
#include <mutex>

namespace posix {

struct Waitable : KernelObject {
    // Called with lock held: takes the object for the calling thread if it
    // is signalled, answering WAIT_OBJECT_0 or WAIT_ABANDONED; otherwise
    // WAIT_TIMEOUT.
    virtual DWORD take() = 0;

    // Wakes the waiters; call after a change that may signal the object.
    void signal() { changed.notify_all(); }

    std::mutex lock;
    std::condition_variable changed;
};

} // namespace posix

#endif
