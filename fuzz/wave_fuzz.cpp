// The WAVE reader of the sound output on arbitrary images: parsed, and
// rendered at the output's rate at its start, middle and end.
#include "platform/posix/sound_wave.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    posix::sound::Sound sound;
    if (!posix::sound::parseWave(data, size, sound))
        return 0;
    if (sound.rate == 0 || (!sound.samples.empty() && sound.samples.size() != sound.frames))
        __builtin_trap();
    posix::sound::durationMs(sound);
    int16_t out[64];
    for (unsigned rate : {8000u, 16000u, 44100u}) {
        uint64_t frames = posix::sound::framesAt(sound, rate);
        for (uint64_t first : {uint64_t(0), frames / 2, frames > 10 ? frames - 10 : 0})
            posix::sound::render(sound, rate, first, 64, out);
    }
    return 0;
}
