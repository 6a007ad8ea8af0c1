// The speech library from the caller's side: what speech_read costs the
// input method's thread, how soon the first syllable reaches the sound
// output, and how soon a new text cuts off the old.
#include "platform/platform.h"
#include "platform/posix/sound_probe.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

namespace {

typedef int(WINAPI *ReadFunction)(const char *);
typedef int(WINAPI *StopFunction)(void);

// A nine-candidate page as the engine shows it, about 60 characters.
const char *const kPage = "1\xA7\x41\xA6\x6E 2\xB1\x7A\xA6\x6E 3\xA7\x41\xB8\xB9 4\xA7\x41\xA6\x6E"
                          "\xB6\xDC 5\xAD\xF8\xB8\xD3 6\xA7\xDA\xAD\xF5 7\xA6\x5E\xAE\x61 8\xAD\xB9"
                          "\xB6\xBA 9\xA7\x41\xAA\xBE";
const char *const kLong = "\xA7\x41\xA6\x6E\xA7\x41\xA6\x6E\xA7\x41\xA6\x6E\xA7\x41\xA6\x6E";
const char *const kShort = "\xA7\x41";

// The speech library, loaded once, speaking the test voice into nothing.
struct Library {
    HMODULE module = nullptr;
    ReadFunction read = nullptr;
    StopFunction stop = nullptr;

    Library() {
        std::filesystem::path dir = std::filesystem::temp_directory_path() / "tavo-speech-bench";
        std::filesystem::create_directories(dir);
        std::filesystem::copy_file(std::string(TAVO_DATABASE_DIR) + "/test-voice.vdb",
                                   dir / "tavo_spk.vdb",
                                   std::filesystem::copy_options::overwrite_existing);
        setenv("TAVO_SYSTEM_DIR", dir.c_str(), 1);
        setenv("TAVO_SOUND", "silent", 1);
        setenv("TAVO_SOUND_TIMESCALE", "1", 1);
        module = LoadLibraryA(TAVO_SPEECH_LIBRARY);
        read = (ReadFunction)(void (*)(void))GetProcAddress(module, "speech_read");
        stop = (StopFunction)(void (*)(void))GetProcAddress(module, "speech_stop");
    }
};

Library &Speech() {
    static Library library;
    return library;
}

TavoSoundProbe Probe() {
    TavoSoundProbe probe;
    tavo_soundProbe(&probe);
    return probe;
}

uint64_t NowNs() {
    return uint64_t(std::chrono::duration_cast<std::chrono::nanoseconds>(
                        std::chrono::steady_clock::now().time_since_epoch())
                        .count());
}

// Waits until the probe's counter passes the given value.
template <typename Field> bool WaitPast(Field field, uint64_t value) {
    for (int i = 0; i < 2000000; i++) {
        if (Probe().*field > value)
            return true;
        std::this_thread::yield();
    }
    return false;
}

void BM_SpeechReadOfAPage(benchmark::State &state) {
    Library &speech = Speech();
    for (auto _ : state)
        speech.read(kPage);
    speech.stop();
}
BENCHMARK(BM_SpeechReadOfAPage)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_ReadToFirstSample(benchmark::State &state) {
    Library &speech = Speech();
    for (auto _ : state) {
        speech.stop();
        std::this_thread::sleep_for(std::chrono::milliseconds(15));
        uint64_t before = Probe().started;
        uint64_t start = NowNs();
        speech.read(kShort);
        if (!WaitPast(&TavoSoundProbe::started, before)) {
            state.SkipWithError("no sound started");
            break;
        }
        state.SetIterationTime(double(Probe().lastStartNs - start) / 1e9);
    }
    speech.stop();
}
BENCHMARK(BM_ReadToFirstSample)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(40)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

void BM_ReadCutsOffTheOldSound(benchmark::State &state) {
    Library &speech = Speech();
    for (auto _ : state) {
        uint64_t started = Probe().started;
        speech.read(kLong);
        if (!WaitPast(&TavoSoundProbe::started, started)) {
            state.SkipWithError("no sound started");
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        uint64_t ended = Probe().ended;
        uint64_t start = NowNs();
        speech.read(kShort);
        if (!WaitPast(&TavoSoundProbe::ended, ended)) {
            state.SkipWithError("the old sound did not stop");
            break;
        }
        state.SetIterationTime(double(Probe().lastEndNs - start) / 1e9);
    }
    speech.stop();
}
BENCHMARK(BM_ReadCutsOffTheOldSound)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(40)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

} // namespace
