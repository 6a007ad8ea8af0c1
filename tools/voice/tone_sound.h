// Stand-in recordings for tests: a short sine tone per syllable whose
// pitch follows the syllable's tone, so that no speech synthesiser is
// needed and every build gives the same bytes.
#ifndef TAVO_TOOLS_VOICE_TONE_SOUND_H
#define TAVO_TOOLS_VOICE_TONE_SOUND_H

#include <cstdint>
#include <string>
#include <vector>

constexpr unsigned kToneMs = 60; // per syllable

// The tones of syllables written in jyutping with tone digits 1 to 6
// ("nei5hou2"), one after the other at rate: one tone per digit.
std::vector<int16_t> toneSamples(const std::string &jyutping, unsigned rate);

#endif
