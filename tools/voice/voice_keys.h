// The keys of a voice database: reading codes, two bytes per syllable,
// with a recording for each key.
#ifndef TAVO_TOOLS_VOICE_VOICE_KEYS_H
#define TAVO_TOOLS_VOICE_VOICE_KEYS_H

#include <map>
#include <string>
#include <vector>

struct VoiceKeys {
    std::vector<std::string> keys; // distinct, in byte order
    size_t badReadings = 0;        // readings holding bytes that are no reading code
    std::string firstBad;          // the first of them, as text, for a message
};

// Every distinct reading code of the readings of a "TAVO dictionary
// database" image. On failure returns false with error saying why.
bool voiceDictionaryKeys(const std::string &path, VoiceKeys &keys, std::string &error);

// The keys of a comma-separated list of jyutping ("nei5,hou2,nei5hou2");
// an item of several syllables is one key. On a bad item returns false
// with error naming it.
bool voiceListKeys(const std::string &list, VoiceKeys &keys, std::string &error);

// The toned jyutping of a key ("nei5hou2"), digits 1 to 6 as people write
// them; empty when the key holds something that is no reading code.
std::string voiceKeyName(const std::string &key);

// The reading codes of the digits 0 to 9 (ling4 ... gau2), which a voice
// records besides its keys, so that candidate numbers are heard.
std::vector<std::string> voiceDigitCodes();

// Another key under which a recording is heard: what reaches the speech
// library where a syllable is typed, or a candidate's number.
struct VoiceAlias {
    std::string key;  // the bytes the speech library matches
    std::string code; // the reading code whose recording it plays
};

struct VoiceAliasStats {
    size_t toned = 0, toneless = 0, braille = 0, digits = 0;
    // Braille spellings that are a jyutping spelling of another syllable or
    // tone ("si1" is si6 in braille): the jyutping keeps the key, and the
    // braille module hears that syllable instead. Each "key syllable".
    std::vector<std::string> brailleShadowed;
    // Braille spellings left out because a longer jyutping spelling begins
    // with them ("b" is aa1): the jyutping module would hear them in the
    // middle of a syllable typed.
    std::vector<std::string> brailleBeginsJyutping;
};

// Toneless jyutping ("nei") -> the reading code of the syllable's most
// frequent tone.
typedef std::map<std::string, std::string> UsualTones;

// The most frequent tone of each toneless syllable: the tone of the first
// candidate that the phrase database offers for it (candidates come most
// frequent first), read from the dictionary. On failure returns false
// with error saying why.
bool voiceUsualTones(const std::string &phrasesPath, const std::string &dictionaryPath,
                     UsualTones &tones, std::string &error);

// The keys under which the recorded single syllables (reading codes among
// keys) are also heard: as typed in toned jyutping ("nei5"), in toneless
// jyutping ("nei", the recording of tones[nei], else of its lowest tone
// recorded), and in braille cells as the braille module types them ("nh,");
// and the digits "0 " to "9 " as candidate numbers stand on a page (a
// digit and its space: braille spellings use digits for cells too, but
// never hold a space, so a digit of a braille reading is never heard as a
// number). Both modules share one voice, so the jyutping spellings keep
// their keys: a braille spelling that is a jyutping key counts only where
// it is the same syllable without tone ("si", which braille reads si1), and
// one that begins a longer jyutping key is left out.
std::vector<VoiceAlias> voiceAliases(const std::vector<std::string> &keys, const UsualTones &tones,
                                     VoiceAliasStats &stats);

#endif
