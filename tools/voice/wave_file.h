// RIFF WAVE images of 16-bit mono PCM sound, as the voice database stores
// them: a "fmt " chunk, a LIST/INFO chunk whose INAM entry names what is
// said (the sound layer's capture log shows it), and the samples.
#ifndef TAVO_TOOLS_VOICE_WAVE_FILE_H
#define TAVO_TOOLS_VOICE_WAVE_FILE_H

#include <cstdint>
#include <string>
#include <vector>

struct WaveSound {
    unsigned rate = 0;            // samples per second
    std::vector<int16_t> samples; // mono
    std::string name;             // the INAM entry; empty = none
};

// The complete file image of the sound.
std::string waveImage(const WaveSound &sound);

// Reads a 16-bit mono PCM image. Images written
// while streaming (as by "espeak-ng --stdout") carry chunk sizes larger
// than the image; their data runs to the end. On failure returns false
// with error saying why.
bool waveParse(const std::string &image, WaveSound &sound, std::string &error);

#endif
