// The output that plays nothing but lasts as long as the sound would.
#include "platform/posix/sound_output.h"

namespace posix::sound {

namespace {

class SilentOutput : public Output {
public:
    void play(const Sound &sound, Ticket ticket) override {
        playUntil(ticket, scaledEnd(Clock::now(), durationMs(sound)));
    }
};

} // namespace

Output *makeSilentOutput() {
    return new SilentOutput;
}

} // namespace posix::sound
