// Which sound may play: one per process. Each play takes a ticket that
// cuts off the sound before it; a stop cuts off whatever plays. Players
// check their ticket between chunks and wait on it rather than sleeping,
// so that a stop from any thread ends the play at once.
#ifndef TAVO_POSIX_SOUND_CONTROL_H
#define TAVO_POSIX_SOUND_CONTROL_H

#include <chrono>
#include <cstdint>

namespace posix::sound {

using Ticket = uint64_t;
using Clock = std::chrono::steady_clock;

// Cuts off the sound playing and returns the ticket of the next one.
Ticket startSound();

// Cuts off the sound playing.
void stopSound();

// Whether the sound of ticket has been cut off.
bool cutOff(Ticket ticket);

// Waits until deadline; false when the sound was cut off before.
bool playUntil(Ticket ticket, Clock::time_point deadline);

} // namespace posix::sound

#endif
