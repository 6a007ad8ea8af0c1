// Recording syllables with espeak-ng and cleaning them up.
#include "tools/voice/espeak_record.h"

#include <cstdio>

#include "tools/voice/sound_edit.h"

namespace {

// The word quoted for the shell: in single quotes, each quote in it
// written as '\''.
std::string shellQuoted(const std::string &word) {
    std::string quoted = "'";
    for (char c : word)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Runs the command and collects what it writes; false when it cannot be
// started or does not end with status 0.
bool runCommand(const std::string &command, std::string &output) {
    std::FILE *pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return false;
    char buffer[65536];
    size_t read;
    while ((read = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0)
        output.append(buffer, read);
    return pclose(pipe) == 0;
}

// What espeak-ng is given to read: the syllables apart, as it reads
// syllables written together as one word. It reads the syllabic nasals
// written in jyutping as short untoned consonants, but has "ng" as a toned
// syllable of its own in phoneme input ([['ng5]], as it says 五). It has no
// toned syllabic m at all and says 唔 (m4) as ng4 itself, so m is recorded
// that way too rather than as a blip that nobody would hear.
std::string spokenSyllable(const std::string &syllable) {
    bool nasal = (syllable.size() == 3 && syllable.compare(0, 2, "ng") == 0) ||
                 (syllable.size() == 2 && syllable[0] == 'm');
    if (!nasal)
        return syllable;
    return "[['ng" + syllable.substr(syllable.size() - 1) + "]]";
}

std::string spokenText(const std::string &jyutping) {
    std::string text, syllable;
    for (char c : jyutping) {
        syllable += c;
        if (c < '1' || c > '9')
            continue;
        text += spokenSyllable(syllable) + " ";
        syllable.clear();
    }
    return text + syllable;
}

} // namespace

bool espeakRecord(const std::string &program, const std::string &jyutping, unsigned speed,
                  unsigned rate, WaveSound &sound, std::string &error) {
    std::string command = shellQuoted(program) + " -v " ESPEAK_JYUTPING_VOICE " -s " +
                          std::to_string(speed) + " --stdout " + shellQuoted(spokenText(jyutping));
    std::string output;
    if (!runCommand(command, output)) {
        error = "\"" + command + "\" failed";
        return false;
    }
    WaveSound recorded;
    if (!waveParse(output, recorded, error)) {
        error = "espeak-ng gave no usable sound: " + error;
        return false;
    }
    soundTrimSilence(recorded.samples, recorded.rate);
    if (recorded.samples.empty()) {
        error = "espeak-ng said nothing";
        return false;
    }
    sound.rate = rate;
    sound.samples = soundResample(recorded.samples, recorded.rate, rate);
    return true;
}
