// Syllables recorded with espeak-ng's Cantonese voice that reads jyutping,
// trimmed of silence and brought to the voice database's sample rate.
#ifndef TAVO_TOOLS_VOICE_ESPEAK_RECORD_H
#define TAVO_TOOLS_VOICE_ESPEAK_RECORD_H

#include <string>

#include "tools/voice/wave_file.h"

// The espeak-ng voice that reads Latin letters as jyutping with tone digits.
#define ESPEAK_JYUTPING_VOICE "yue-Latn-jyutping"
// The speed it speaks at, in words a minute: quicker than its 175, as a
// listener hears many syllables in a row, each on its own, and a page of
// nine candidates with their numbers and example words (28 syllables) is
// to be heard within six seconds.
#define ESPEAK_SPEED 240

// Runs program (espeak-ng) on the syllables in toned jyutping ("nei5", or
// "nei5hou2" for one recording of several) at speed words a minute and
// returns the sound at rate, without its silent ends. Fails, with error
// saying why, when espeak-ng fails or says nothing.
bool espeakRecord(const std::string &program, const std::string &jyutping, unsigned speed,
                  unsigned rate, WaveSound &sound, std::string &error);

// The same through the espeak-ng library in this process, which spares a
// program started per recording (the voice's 2,400 recordings take two
// seconds instead of most of a minute). Calls from several threads take
// turns. Available when the tool was built with the library.
bool espeakLibraryAvailable();
bool espeakLibraryRecord(const std::string &jyutping, unsigned speed, unsigned rate,
                         WaveSound &sound, std::string &error);

#endif
