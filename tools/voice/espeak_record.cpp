// Recording syllables with espeak-ng and cleaning them up.
#include "tools/voice/espeak_record.h"

#include <cstdio>
#include <mutex>

#ifdef TAVO_ESPEAK_LIBRARY
#include <espeak-ng/speak_lib.h>
#endif

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

// The recording without its silent ends, at rate.
bool cleanRecording(WaveSound &recorded, unsigned rate, WaveSound &sound, std::string &error) {
    soundTrimSilence(recorded.samples, recorded.rate);
    if (recorded.samples.empty()) {
        error = "espeak-ng said nothing";
        return false;
    }
    sound.rate = rate;
    sound.samples = soundResample(recorded.samples, recorded.rate, rate);
    return true;
}

#ifdef TAVO_ESPEAK_LIBRARY
// The library is one synthesiser for the whole process.
std::mutex synthesiserLock;
std::vector<int16_t> *collected = nullptr;

int collect(short *samples, int count, espeak_EVENT *) {
    if (samples != nullptr && count > 0)
        collected->insert(collected->end(), samples, samples + count);
    return 0;
}

// Its sample rate once it has started with the jyutping voice; 0 when it
// can't.
int synthesiserRate(std::string &error) {
    static int rate = [] {
        int started = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, 0);
        if (started <= 0 || espeak_SetVoiceByName(ESPEAK_JYUTPING_VOICE) != EE_OK)
            return 0;
        espeak_SetSynthCallback(collect);
        return started;
    }();
    if (rate == 0)
        error = "the espeak-ng library has no " ESPEAK_JYUTPING_VOICE " voice";
    return rate;
}
#endif

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
    return cleanRecording(recorded, rate, sound, error);
}

bool espeakLibraryAvailable() {
#ifdef TAVO_ESPEAK_LIBRARY
    return true;
#else
    return false;
#endif
}

bool espeakLibraryRecord(const std::string &jyutping, unsigned speed, unsigned rate,
                         WaveSound &sound, std::string &error) {
#ifdef TAVO_ESPEAK_LIBRARY
    WaveSound recorded;
    {
        std::lock_guard hold(synthesiserLock);
        int synthesised = synthesiserRate(error);
        if (synthesised == 0)
            return false;
        recorded.rate = unsigned(synthesised);
        espeak_SetParameter(espeakRATE, int(speed), 0);
        // As the program reads its text: phoneme input in [[ ]], and the
        // pause at the end (trimmed with the rest of the silence).
        std::string text = spokenText(jyutping);
        collected = &recorded.samples;
        espeak_ERROR result =
            espeak_Synth(text.c_str(), text.size() + 1, 0, POS_CHARACTER, 0,
                         espeakCHARS_AUTO | espeakPHONEMES | espeakENDPAUSE, nullptr, nullptr);
        collected = nullptr;
        if (result != EE_OK) {
            error = "the espeak-ng library failed on \"" + text + "\"";
            return false;
        }
    }
    return cleanRecording(recorded, rate, sound, error);
#else
    (void)jyutping, (void)speed, (void)rate, (void)sound;
    error = "built without the espeak-ng library";
    return false;
#endif
}
