// tavovoice: builds the voice database that the speech library plays
// syllables from, recorded with espeak-ng, or a voice of plain tones for
// tests.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <thread>

#include "tools/voice/espeak_record.h"
#include "tools/voice/tone_sound.h"
#include "tools/voice/voice_build.h"
#include "tools/voice/voice_keys.h"

namespace {

const char kHelp[] = R"(Usage: tavovoice MODE OPTIONS

Modes:
  record KEYS --out VOICE.vdb [--jobs N] [--espeak PROGRAM]
      records every key with espeak-ng's voice )" ESPEAK_JYUTPING_VOICE R"(,
      N at a time (default: one per core)
  tones KEYS --out VOICE.vdb [--jobs N]
      a voice of short tones, one per syllable, for tests

KEYS is one of
  --dictionary DICTIONARY.img   every syllable that the readings use
  --syllables LIST              comma-separated jyutping; an item of several
                                syllables ("nei5hou2") is one recording
                                that covers them all

The voice is a "TAVO voice database" image: keys are reading codes, data
is the byte 'W' followed by a WAVE file (16 kHz, 16-bit mono) whose
LIST/INFO/INAM entry names the syllables.
)";

typedef std::map<std::string, std::string> Options;

int Fail(const std::string &message) {
    std::fprintf(stderr, "tavovoice: %s\n", message.c_str());
    return 1;
}

bool ParseOptions(int argc, char **argv, const std::vector<std::string> &allowed, Options &options,
                  std::string &error) {
    for (int i = 2; i < argc; i += 2) {
        std::string name = argv[i];
        if (std::find(allowed.begin(), allowed.end(), name) == allowed.end()) {
            error = "unknown option \"" + name + "\"; see tavovoice --help";
            return false;
        }
        if (i + 1 >= argc) {
            error = name + " needs a value";
            return false;
        }
        options[name] = argv[i + 1];
    }
    return true;
}

bool ParseJobs(const Options &options, unsigned &jobs, std::string &error) {
    jobs = std::max(1u, std::thread::hardware_concurrency());
    auto found = options.find("--jobs");
    if (found == options.end())
        return true;
    char *end = nullptr;
    unsigned long value = std::strtoul(found->second.c_str(), &end, 10);
    if (found->second.empty() || *end != 0 || value < 1 || value > 256) {
        error = "--jobs wants a number from 1 to 256";
        return false;
    }
    jobs = unsigned(value);
    return true;
}

// The keys to record: those of --syllables, else the dictionary's.
bool ChooseKeys(const Options &options, VoiceKeys &keys, std::string &error) {
    auto list = options.find("--syllables");
    if (list != options.end())
        return voice_listKeys(list->second, keys, error);
    auto dictionary = options.find("--dictionary");
    if (dictionary == options.end()) {
        error = "--dictionary or --syllables is needed";
        return false;
    }
    if (!voice_dictionaryKeys(dictionary->second, keys, error))
        return false;
    if (keys.badReadings > 0)
        std::fprintf(stderr, "tavovoice: warning: %zu readings are not reading codes, first %s\n",
                     keys.badReadings, keys.firstBad.c_str());
    return true;
}

bool Tones(const std::string &jyutping, WaveSound &sound, std::string &) {
    sound.rate = VOICE_RATE;
    sound.samples = tone_samples(jyutping, VOICE_RATE);
    return true;
}

int Run(const std::string &mode, const Options &options) {
    std::string error;
    unsigned jobs = 1;
    VoiceKeys keys;
    auto out = options.find("--out");
    if (out == options.end())
        return Fail("--out is needed");
    if (!ParseJobs(options, jobs, error) || !ChooseKeys(options, keys, error))
        return Fail(error);
    VoiceRecorder recorder = Tones;
    if (mode == "record") {
        auto espeak = options.find("--espeak");
        std::string program = espeak == options.end() ? "espeak-ng" : espeak->second;
        recorder = [program](const std::string &jyutping, WaveSound &sound, std::string &error) {
            return espeak_record(program, jyutping, VOICE_RATE, sound, error);
        };
    }
    auto start = std::chrono::steady_clock::now();
    if (!voice_build(out->second, keys.keys, jobs, recorder, error))
        return Fail(error);
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::error_code ignored;
    std::printf("%s: %zu recordings, %ju bytes, in %.1f s\n", out->second.c_str(), keys.keys.size(),
                (uintmax_t)std::filesystem::file_size(out->second, ignored), took.count());
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        std::fputs(kHelp, argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    std::string mode = argv[1], error;
    if (mode != "record" && mode != "tones")
        return Fail("unknown mode \"" + mode + "\"; see tavovoice --help");
    std::vector<std::string> allowed = {"--dictionary", "--syllables", "--out", "--jobs"};
    if (mode == "record")
        allowed.push_back("--espeak");
    Options options;
    if (!ParseOptions(argc, argv, allowed, options, error))
        return Fail(error);
    return Run(mode, options);
}
