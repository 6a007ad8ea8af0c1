// Writing a voice database: for every key, one marker byte followed by a
// complete WAVE file image named after the key's syllables.
//
// The marker is there because the speech library skips the first byte of
// each key's data and plays the WAVE image after it. It is not zero, so
// that the data never reads as an empty string.
#ifndef TAVO_TOOLS_VOICE_VOICE_BUILD_H
#define TAVO_TOOLS_VOICE_VOICE_BUILD_H

#include <functional>
#include <string>
#include <vector>

#include "tools/voice/voice_keys.h"
#include "tools/voice/wave_file.h"

#define VOICE_DATABASE_ID "TAVO voice database"
#define VOICE_MARKER 'W'
#define VOICE_RATE 16000 // samples per second of every recording

// Makes the recording of the syllables named in jyutping ("nei5hou2").
typedef std::function<bool(const std::string &jyutping, WaveSound &sound, std::string &error)>
    VoiceRecorder;

// The data stored under a key: the marker, then the WAVE image.
std::string voiceData(const WaveSound &sound);

// Records every key (reading codes) on up to jobs threads and writes the
// image at path, with each alias sharing the recording of its code. On
// failure returns false with error naming the syllable whose recording
// failed, or saying what else went wrong; no image is written then.
bool voiceBuild(const std::string &path, const std::vector<std::string> &keys,
                const std::vector<VoiceAlias> &aliases, unsigned jobs, const VoiceRecorder &record,
                std::string &error);

#endif
