// Making stand-in tone recordings whose pitch follows the tone.
#include "tools/voice/tone_sound.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kAmplitude = 0.3 * 32767;
constexpr unsigned kFadeMs = 5; // against clicks where tones start and end

const double kPi = std::acos(-1.0);

// The pitch of levels 1 (low) to 5 (high) of the five-level tone letters.
double levelHz(int level) {
    return 200 * std::pow(2.0, (level - 1) / 4.0);
}

// The start and end levels of Cantonese tones 1 to 6: 55, 25, 33, 21, 23, 22.
const int kContours[7][2] = {{0, 0}, {5, 5}, {2, 5}, {3, 3}, {2, 1}, {2, 3}, {2, 2}};

// One tone, gliding from the pitch of its start to that of its end.
void appendTone(std::vector<int16_t> &out, int tone, unsigned rate) {
    size_t count = size_t(rate) * kToneMs / 1000;
    size_t fade = size_t(rate) * kFadeMs / 1000;
    double start = levelHz(kContours[tone][0]), end = levelHz(kContours[tone][1]);
    double phase = 0;
    for (size_t i = 0; i < count; i++) {
        double along = double(i) / count;
        phase += 2 * kPi * (start * std::pow(end / start, along)) / rate;
        double edge = std::min(i, count - 1 - i);
        double gain = edge < fade ? edge / fade : 1.0;
        out.push_back(int16_t(std::lround(kAmplitude * gain * std::sin(phase))));
    }
}

} // namespace

std::vector<int16_t> toneSamples(const std::string &jyutping, unsigned rate) {
    std::vector<int16_t> samples;
    for (char c : jyutping)
        if (c >= '1' && c <= '6')
            appendTone(samples, c - '0', rate);
    return samples;
}
