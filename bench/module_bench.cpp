// The input-method module as an application drives it: the time of each
// key from ImeProcessKey until its messages are in the caller's list; of
// the page key with the composition window updated and painted, at two
// font sizes; and of selecting a fresh context with every dictionary
// present.
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
void Prepare(bool speech, DWORD fontSize = 24) {
    std::filesystem::path dir = std::filesystem::temp_directory_path() / "tavo-module-bench";
    std::filesystem::create_directories(dir);
    std::filesystem::remove(dir / "registry");
    setenv("TAVO_REGISTRY", (dir / "registry").c_str(), 1);
    setenv("TAVO_WINDOWS_DIR", dir.c_str(), 1);
    setenv("TAVO_SYSTEM_DIR", TAVO_DATABASE_DIR, 1);
    setenv("TAVO_SOUND", "silent", 1);
    // Event sounds play synchronously for their length (up to 0.17 s);
    // the time measured is the module's own, so they are all but skipped.
    setenv("TAVO_SOUND_TIMESCALE", "0.0001", 1);
    HKEY key;
    RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\VEXAIME", 0,
                    NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL);
    DWORD on = speech ? 1 : 0;
    RegSetValueExA(key, "Speech", 0, REG_DWORD, (const BYTE *)&on, sizeof on);
    RegSetValueExA(key, "Verbose Composition", 0, REG_DWORD, (const BYTE *)&on, sizeof on);
    RegSetValueExA(key, "Font Size", 0, REG_DWORD, (const BYTE *)&fontSize, sizeof fontSize);
    RegCloseKey(key);
}

double Percentile(std::vector<double> times, double share) {
    std::sort(times.begin(), times.end());
    return times[std::min(times.size() - 1, size_t(share * times.size()))];
}

// A realistic session, over and over: the reading nei5hou2 typed,
// converted with Space, paged, and a candidate chosen; each press and
// release is one key. Then si1 and Space, the heaviest key: a page of
// single characters, each looked up for its first explanation.
void TypeReadings(benchmark::State &state, bool speech) {
    Prepare(speech);
    host::Session session;
    std::string error;
    if (!session.open(host::builtModulePath("vexa"), error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    const unsigned char session1[] = {'N', 'E', 'I',      '5',     'H', 'O',
                                      'U', '2', VK_SPACE, VK_NEXT, '1'};
    const unsigned char single[] = {'S', 'I', '1'};
    std::vector<double> times, presses, heaviest;
    auto timed = [&](unsigned char key, bool down) {
        Clock::time_point start = Clock::now();
        down ? session.press(key) : session.release(key);
        return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
    };
    for (auto _ : state) {
        for (unsigned char key : session1) {
            for (bool down : {true, false}) {
                double took = timed(key, down);
                times.push_back(took);
                if (down)
                    presses.push_back(took);
            }
        }
        for (unsigned char key : single) {
            timed(key, true);
            timed(key, false);
        }
        heaviest.push_back(timed(VK_SPACE, true));
        timed(VK_SPACE, false);
        timed(VK_ESCAPE, true);
        timed(VK_ESCAPE, false);
        session.application().clearMessages();
    }
    state.counters["median_us"] = Percentile(times, 0.5);
    state.counters["p99_us"] = Percentile(times, 0.99);
    state.counters["press_median_us"] = Percentile(presses, 0.5);
    state.counters["press_p99_us"] = Percentile(presses, 0.99);
    state.counters["space_si1_median_us"] = Percentile(heaviest, 0.5);
}

void BM_KeysSpeechOff(benchmark::State &state) {
    TypeReadings(state, false);
}
void BM_KeysSpeechOn(benchmark::State &state) {
    TypeReadings(state, true);
}
BENCHMARK(BM_KeysSpeechOff)->Iterations(300)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_KeysSpeechOn)->Iterations(300)->Unit(benchmark::kMicrosecond);

// si1 typed, then Space timed until the composition window has repainted
// the page of nine characters with their explanations, at the font size
// given in points; the first paint of the font happens before timing.
void BM_PageKeyPainted(benchmark::State &state) {
    Prepare(false, DWORD(state.range(0)));
    host::Session session;
    std::string error;
    if (!session.open(host::builtModulePath("vexa"), error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    auto type = [&](std::initializer_list<unsigned char> keys) {
        for (unsigned char key : keys) {
            session.press(key);
            session.release(key);
        }
        session.pump();
    };
    type({'S', 'I', '1', VK_SPACE, VK_ESCAPE});
    std::vector<double> times;
    for (auto _ : state) {
        type({'S', 'I', '1'});
        Clock::time_point start = Clock::now();
        session.press(VK_SPACE);
        session.pump();
        times.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
        session.release(VK_SPACE);
        type({VK_ESCAPE});
        session.application().clearMessages();
    }
    state.counters["space_median_us"] = Percentile(times, 0.5);
    state.counters["space_p99_us"] = Percentile(times, 0.99);
}
BENCHMARK(BM_PageKeyPainted)->Arg(24)->Arg(48)->Iterations(300)->Unit(benchmark::kMicrosecond);

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
