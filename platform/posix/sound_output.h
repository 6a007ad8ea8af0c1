// Where sounds go: a sound server, a capture file, or nowhere (keeping
// time only). TAVO_SOUND chooses: "pulse", "capture:<path>" or "silent";
// by default pulse when a server answers, else silent.
#ifndef TAVO_POSIX_SOUND_OUTPUT_H
#define TAVO_POSIX_SOUND_OUTPUT_H

#include "platform/posix/sound_control.h"
#include "platform/posix/sound_wave.h"

#include <string>

namespace posix::sound {

class Output {
public:
    virtual ~Output();
    // Plays sound until it ends or its ticket is cut off. Outputs are
    // shared by every thread and never destroyed.
    virtual void play(const Sound &sound, Ticket ticket) = 0;
};

// The output TAVO_SOUND names now; made at its first use.
Output &selectedOutput();

// TAVO_SOUND_TIMESCALE: the factor by which the silent and capture
// outputs shorten their waits (1 when unset or not a positive number).
double timeScale();

// How long a sound of durationMs lasts scaled, from start.
Clock::time_point scaledEnd(Clock::time_point start, uint64_t durationMs);

Output *makeSilentOutput();
// Null when the file cannot be written.
Output *makeCaptureOutput(const std::string &path);
// Null when no sound server answers.
Output *makePulseOutput();

} // namespace posix::sound

#endif
