// The input-method module as an application drives it: the time of each
// key from ImeProcessKey until its messages are in the caller's list, and
// of selecting a fresh context with every dictionary present.
#include "host/built_modules.h"
#include "host/session.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>

namespace {

typedef std::chrono::steady_clock Clock;

// A scratch registry with the speech setting as asked, the built
// databases as the system directory, and sound that only keeps time.
void Prepare(bool speech) {
    std::filesystem::path dir = std::filesystem::temp_directory_path() / "tavo-module-bench";
    std::filesystem::create_directories(dir);
    std::filesystem::remove(dir / "registry");
    setenv("TAVO_REGISTRY", (dir / "registry").c_str(), 1);
    setenv("TAVO_WINDOWS_DIR", dir.c_str(), 1);
    setenv("TAVO_SYSTEM_DIR", TAVO_DATABASE_DIR, 1);
    setenv("TAVO_SOUND", "silent", 1);
    HKEY key;
    RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\VEXAIME", 0,
                    NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL);
    DWORD on = speech ? 1 : 0;
    RegSetValueExA(key, "Speech", 0, REG_DWORD, (const BYTE *)&on, sizeof on);
    RegSetValueExA(key, "Verbose Composition", 0, REG_DWORD, (const BYTE *)&on, sizeof on);
    RegCloseKey(key);
}

double Percentile(std::vector<double> times, double share) {
    std::sort(times.begin(), times.end());
    return times[std::min(times.size() - 1, size_t(share * times.size()))];
}

// Types the reading nei5hou2 and takes it back with Esc, over and over;
// each press and release is one key.
void TypeReadings(benchmark::State &state, bool speech) {
    Prepare(speech);
    host::Session session;
    std::string error;
    if (!session.open(host::builtModulePath("vexa"), error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    const unsigned char reading[] = {'N', 'E', 'I', '5', 'H', 'O', 'U', '2', VK_ESCAPE};
    std::vector<double> times, presses;
    for (auto _ : state) {
        for (unsigned char key : reading) {
            for (bool down : {true, false}) {
                Clock::time_point start = Clock::now();
                down ? session.press(key) : session.release(key);
                double took =
                    std::chrono::duration<double, std::micro>(Clock::now() - start).count();
                times.push_back(took);
                if (down)
                    presses.push_back(took);
            }
        }
        session.application().clearMessages();
    }
    state.counters["median_us"] = Percentile(times, 0.5);
    state.counters["p99_us"] = Percentile(times, 0.99);
    state.counters["max_us"] = Percentile(times, 1.0);
    state.counters["press_median_us"] = Percentile(presses, 0.5);
    state.counters["press_p99_us"] = Percentile(presses, 0.99);
}

void BM_KeysSpeechOff(benchmark::State &state) {
    TypeReadings(state, false);
}
void BM_KeysSpeechOn(benchmark::State &state) {
    TypeReadings(state, true);
}
BENCHMARK(BM_KeysSpeechOff)->Iterations(300)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_KeysSpeechOn)->Iterations(300)->Unit(benchmark::kMicrosecond);

void BM_SelectAFreshContext(benchmark::State &state) {
    Prepare(false);
    host::Session session;
    std::string error;
    if (!session.open(host::builtModulePath("vexa"), error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        session.select(false);
        state.ResumeTiming();
        session.select(true);
    }
}
BENCHMARK(BM_SelectAFreshContext)->Unit(benchmark::kMicrosecond);

} // namespace
