// Choosing the output from the environment. Outputs are made once per
// value of TAVO_SOUND and kept for the life of the process, since a
// player may still use one while the process exits.
#include "platform/posix/sound_output.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace posix::sound {

namespace {

struct Choice {
    std::string setting;
    Output *output;
    Choice *previous; // older choices, kept alive
};

// The output a setting asks for; null when it is silent, unknown or not
// available.
Output *requestedOutput(const std::string &setting) {
    const std::string capture = "capture:";
    if (setting.empty() || setting == "pulse")
        return makePulseOutput();
    if (setting.rfind(capture, 0) == 0)
        return makeCaptureOutput(setting.substr(capture.size()));
    return nullptr;
}

Output *makeOutput(const std::string &setting) {
    Output *output = requestedOutput(setting);
    if (!output && !setting.empty() && setting != "silent")
        std::fprintf(stderr, "tavo: TAVO_SOUND=%s cannot be used; sounds are silent\n",
                     setting.c_str());
    return output ? output : makeSilentOutput();
}

std::atomic<Choice *> latest{nullptr};

} // namespace

Output::~Output() = default;

Output &selectedOutput() {
    const char *value = std::getenv("TAVO_SOUND");
    std::string setting = value ? value : "";
    for (Choice *c = latest.load(); c; c = c->previous)
        if (c->setting == setting)
            return *c->output;
    static std::mutex *making = new std::mutex;
    std::lock_guard guard(*making);
    for (Choice *c = latest.load(); c; c = c->previous)
        if (c->setting == setting)
            return *c->output;
    Choice *made = new Choice{setting, makeOutput(setting), latest.load()};
    latest.store(made);
    return *made->output;
}

double timeScale() {
    const char *value = std::getenv("TAVO_SOUND_TIMESCALE");
    if (!value)
        return 1.0;
    char *end = nullptr;
    double scale = std::strtod(value, &end);
    return end != value && *end == '\0' && std::isfinite(scale) && scale > 0 ? scale : 1.0;
}

Clock::time_point scaledEnd(Clock::time_point start, uint64_t durationMs) {
    constexpr double kLongest = 1e12; // ms; keeps the clock from overflowing
    std::chrono::duration<double, std::milli> scaled(
        std::min(double(durationMs) * timeScale(), kLongest));
    return start + std::chrono::duration_cast<Clock::duration>(scaled);
}

} // namespace posix::sound
