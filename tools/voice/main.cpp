// tavovoice: builds the voice database that the speech library plays
// syllables from, recorded with espeak-ng, or a voice of plain tones for
// tests.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <thread>

#include "tools/voice/espeak_record.h"
#include "tools/voice/tone_sound.h"
#include "tools/voice/voice_build.h"
#include "tools/voice/voice_keys.h"

#define TAVO_STRING_OF(x) #x
#define TAVO_STRING(x) TAVO_STRING_OF(x)

namespace {

const char kHelp[] = R"(Usage: tavovoice MODE OPTIONS

Modes:
  record KEYS --out VOICE.vdb [--phrases PHRASES.idb] [--jobs N]
         [--espeak PROGRAM] [--speed WPM]
      records every key with espeak-ng's voice )" ESPEAK_JYUTPING_VOICE R"(
      at WPM words a minute (default )" TAVO_STRING(ESPEAK_SPEED) R"(), N at a time
      (default: one per core); through the espeak-ng library where the tool
      was built with it (one at a time), else, or with --espeak, by running
      the program
  tones KEYS --out VOICE.vdb [--phrases PHRASES.idb] [--jobs N]
      a voice of short tones, one per syllable, for tests

KEYS is one of
  --dictionary DICTIONARY.img   every syllable that the readings use
  --syllables LIST              comma-separated jyutping; an item of several
                                syllables ("nei5hou2") is one recording
                                that covers them all
The digits' syllables (ling4, jat1, ... gau2) are always recorded.

The voice is a "TAVO voice database" image: keys are reading codes, data
is the byte 'W' followed by a WAVE file (16 kHz, 16-bit mono) whose
LIST/INFO/INAM entry names the syllables. Each syllable is also heard
under its toned jyutping ("nei5"), its braille cells ("nh,") and its
toneless jyutping ("nei": the tone that the jyutping phrase database
PHRASES.idb offers first, else the lowest recorded), and the digits as
candidate numbers ("1 ").
)";

typedef std::map<std::string, std::string> Options;

int fail(const std::string &message) {
    std::fprintf(stderr, "tavovoice: %s\n", message.c_str());
    return 1;
}

bool parseOptions(int argc, char **argv, const std::vector<std::string> &allowed, Options &options,
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

bool parseNumber(const Options &options, const char *name, unsigned low, unsigned high,
                 unsigned &value, std::string &error) {
    auto found = options.find(name);
    if (found == options.end())
        return true;
    char *end = nullptr;
    unsigned long number = std::strtoul(found->second.c_str(), &end, 10);
    if (found->second.empty() || *end != 0 || number < low || number > high) {
        error = std::string(name) + " wants a number from " + std::to_string(low) + " to " +
                std::to_string(high);
        return false;
    }
    value = unsigned(number);
    return true;
}

// The keys to record: those of --syllables, else the dictionary's; and
// the digits' syllables.
bool chooseKeys(const Options &options, VoiceKeys &keys, std::string &error) {
    auto list = options.find("--syllables");
    auto dictionary = options.find("--dictionary");
    if (list != options.end()) {
        if (!voiceListKeys(list->second, keys, error))
            return false;
    } else if (dictionary == options.end()) {
        error = "--dictionary or --syllables is needed";
        return false;
    } else if (!voiceDictionaryKeys(dictionary->second, keys, error)) {
        return false;
    }
    if (keys.badReadings > 0)
        std::fprintf(stderr, "tavovoice: warning: %zu readings are not reading codes, first %s\n",
                     keys.badReadings, keys.firstBad.c_str());
    std::set<std::string> all(keys.keys.begin(), keys.keys.end());
    for (const std::string &code : voiceDigitCodes())
        all.insert(code);
    keys.keys.assign(all.begin(), all.end());
    return true;
}

// The aliases of the recorded syllables, with the most frequent tones
// from --phrases and --dictionary when given.
bool chooseAliases(const Options &options, const VoiceKeys &keys, std::vector<VoiceAlias> &aliases,
                   std::string &error) {
    UsualTones tones;
    auto phrases = options.find("--phrases");
    if (phrases != options.end()) {
        auto dictionary = options.find("--dictionary");
        if (dictionary == options.end()) {
            error = "--phrases needs --dictionary, whose readings give the tones";
            return false;
        }
        if (!voiceUsualTones(phrases->second, dictionary->second, tones, error))
            return false;
    }
    VoiceAliasStats stats;
    aliases = voiceAliases(keys.keys, tones, stats);
    std::printf("aliases: %zu toned jyutping, %zu toneless, %zu braille, %zu digits\n", stats.toned,
                stats.toneless, stats.braille, stats.digits);
    std::printf("braille spellings kept by toned jyutping (%zu):", stats.brailleShadowed.size());
    for (const std::string &key : stats.brailleShadowed)
        std::printf(" %s;", key.c_str());
    std::printf("\nbraille spellings that begin a jyutping key, left out (%zu):",
                stats.brailleBeginsJyutping.size());
    for (const std::string &key : stats.brailleBeginsJyutping)
        std::printf(" %s;", key.c_str());
    std::printf("\n");
    return true;
}

bool tones(const std::string &jyutping, WaveSound &sound, std::string &) {
    sound.rate = VOICE_RATE;
    sound.samples = toneSamples(jyutping, VOICE_RATE);
    return true;
}

int run(const std::string &mode, const Options &options) {
    std::string error;
    unsigned jobs = std::max(1u, std::thread::hardware_concurrency()), speed = ESPEAK_SPEED;
    VoiceKeys keys;
    std::vector<VoiceAlias> aliases;
    auto out = options.find("--out");
    if (out == options.end())
        return fail("--out is needed");
    if (!parseNumber(options, "--jobs", 1, 256, jobs, error) ||
        !parseNumber(options, "--speed", 80, 450, speed, error) ||
        !chooseKeys(options, keys, error) || !chooseAliases(options, keys, aliases, error))
        return fail(error);
    VoiceRecorder recorder = tones;
    auto espeak = options.find("--espeak");
    if (mode == "record" && espeak == options.end() && espeakLibraryAvailable()) {
        // The synthesiser carries a little of each recording into the
        // next, so the same keys give the same voice only when recorded
        // one after another, in their order.
        jobs = 1;
        recorder = [speed](const std::string &jyutping, WaveSound &sound, std::string &error) {
            return espeakLibraryRecord(jyutping, speed, VOICE_RATE, sound, error);
        };
    } else if (mode == "record") {
        std::string program = espeak == options.end() ? "espeak-ng" : espeak->second;
        recorder = [program, speed](const std::string &jyutping, WaveSound &sound,
                                    std::string &error) {
            return espeakRecord(program, jyutping, speed, VOICE_RATE, sound, error);
        };
    }
    auto start = std::chrono::steady_clock::now();
    if (!voiceBuild(out->second, keys.keys, aliases, jobs, recorder, error))
        return fail(error);
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
        return fail("unknown mode \"" + mode + "\"; see tavovoice --help");
    std::vector<std::string> allowed = {"--dictionary", "--syllables", "--phrases", "--out",
                                        "--jobs"};
    if (mode == "record") {
        allowed.push_back("--espeak");
        allowed.push_back("--speed");
    }
    Options options;
    if (!parseOptions(argc, argv, allowed, options, error))
        return fail(error);
    return run(mode, options);
}
