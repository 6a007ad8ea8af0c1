// Sounds decoded from RIFF WAVE images, and their rendering at the rate
// of an output.
#ifndef TAVO_POSIX_SOUND_WAVE_H
#define TAVO_POSIX_SOUND_WAVE_H

#include "platform/platform.h"

#include <cstdint>
#include <string>
#include <vector>

namespace posix::sound {

// A sound as mono 16-bit samples; a sound that is not decoded (GSM 6.10)
// has no samples and plays as silence for its frames.
struct Sound {
    std::vector<int16_t> samples;
    uint64_t frames = 0;
    unsigned rate = 0;
    std::string name; // the INAM tag of the image, or what it was played as
};

// The size of the RIFF image that begins at data, from its header; 0 when
// data does not begin with a RIFF header.
uint64_t riffImageSize(const BYTE *data);

// Decodes the WAVE image in the size bytes at data; false when it is not
// a WAVE image, is cut short, or has a format that cannot be played.
bool parseWave(const BYTE *data, size_t size, Sound &sound);

uint64_t durationMs(const Sound &sound);

// How many frames the sound lasts at rate.
uint64_t framesAt(const Sound &sound, unsigned rate);

// Writes count frames of the sound resampled to rate, from frame first at
// that rate on; frames past its end are silent.
void render(const Sound &sound, unsigned rate, uint64_t first, size_t count, int16_t *out);

} // namespace posix::sound

#endif
