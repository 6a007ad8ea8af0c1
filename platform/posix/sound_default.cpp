// The default sound: a short falling two-note chime, made rather than
// stored.
#include "platform/posix/sound_source.h"

#include <cmath>
#include <numbers>

namespace posix::sound {

Sound defaultSound() {
    constexpr unsigned kRate = 22050;
    constexpr unsigned kFrames = kRate / 5; // 200 ms
    Sound sound;
    sound.rate = kRate;
    sound.frames = kFrames;
    sound.name = "default";
    sound.samples.resize(kFrames);
    for (unsigned i = 0; i < kFrames; ++i) {
        double pitch = i < kFrames / 2 ? 880.0 : 660.0;
        double fade = 1.0 - double(i % (kFrames / 2)) / (kFrames / 2);
        double wave = std::sin(2 * std::numbers::pi * pitch * i / kRate);
        sound.samples[i] = int16_t(8000 * fade * wave);
    }
    return sound;
}

} // namespace posix::sound
