// The process-wide ticket of the sound allowed to play. Starting and
// stopping never wait for a player: they bump the ticket and wake the
// players, which hold the lock only while they check it.
#include "platform/posix/sound_control.h"

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace posix::sound {

namespace {

struct Control {
    std::atomic<Ticket> current{0};
    std::mutex lock;
    std::condition_variable changed;
};

// Never destroyed: an asynchronous player may still wait on it while the
// process exits.
Control &control() {
    static Control *instance = new Control;
    return *instance;
}

Ticket bump() {
    Control &c = control();
    Ticket next = ++c.current;
    // Passing through the lock orders the bump with a player that has
    // checked the ticket and is about to wait.
    { std::lock_guard guard(c.lock); }
    c.changed.notify_all();
    return next;
}

} // namespace

Ticket startSound() {
    return bump();
}

void stopSound() {
    bump();
}

bool cutOff(Ticket ticket) {
    return control().current.load() != ticket;
}

bool playUntil(Ticket ticket, Clock::time_point deadline) {
    Control &c = control();
    std::unique_lock guard(c.lock);
    return !c.changed.wait_until(guard, deadline, [&] { return cutOff(ticket); });
}

} // namespace posix::sound
