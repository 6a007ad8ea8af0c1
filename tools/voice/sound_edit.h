// Editing recorded syllables so that they join well: silence trimmed off
// both ends, and a change of sample rate.
#ifndef TAVO_TOOLS_VOICE_SOUND_EDIT_H
#define TAVO_TOOLS_VOICE_SOUND_EDIT_H

#include <cstdint>
#include <vector>

// Cuts the quiet stretches before the first and after the last sample
// louder than about -40 dBFS, leaving a few milliseconds of each. A sound
// with nothing that loud becomes empty.
void soundTrimSilence(std::vector<int16_t> &samples, unsigned rate);

// The samples at rate to (a windowed-sinc filter against aliasing when
// the rate falls). The same input always gives the same output.
std::vector<int16_t> soundResample(const std::vector<int16_t> &samples, unsigned from, unsigned to);

#endif
