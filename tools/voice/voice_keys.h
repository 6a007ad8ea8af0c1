// The keys of a voice database: reading codes, two bytes per syllable,
// with a recording for each key.
#ifndef TAVO_TOOLS_VOICE_VOICE_KEYS_H
#define TAVO_TOOLS_VOICE_VOICE_KEYS_H

#include <string>
#include <vector>

struct VoiceKeys {
    std::vector<std::string> keys; // distinct, in byte order
    size_t badReadings = 0;        // readings holding bytes that are no reading code
    std::string firstBad;          // the first of them, as text, for a message
};

// Every distinct reading code of the readings of a "TAVO dictionary
// database" image. On failure returns false with error saying why.
bool voice_dictionaryKeys(const std::string &path, VoiceKeys &keys, std::string &error);

// The keys of a comma-separated list of jyutping ("nei5,hou2,nei5hou2");
// an item of several syllables is one key. On a bad item returns false
// with error naming it.
bool voice_listKeys(const std::string &list, VoiceKeys &keys, std::string &error);

// The toned jyutping of a key ("nei5hou2"), digits 1 to 6 as people write
// them; empty when the key holds something that is no reading code.
std::string voice_keyName(const std::string &key);

#endif
