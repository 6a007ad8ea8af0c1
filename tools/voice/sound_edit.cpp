// Trimming silence and changing the sample rate of recordings.
#include "tools/voice/sound_edit.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numeric>

namespace {

constexpr int kSilenceLevel = 328; // 1% of full scale
constexpr unsigned kMarginMs = 5;

// Zero crossings of the filter kernel on each side of its centre.
constexpr int kKernelCrossings = 16;
// The pass band ends a little below the lower Nyquist frequency.
constexpr double kPassBand = 0.92;

const double kPi = std::acos(-1.0);

// The filter kernel at offset x (in input samples) from an output sample,
// for a cut-off of cutoff cycles per input sample, under a Blackman window
// half-width wide.
double kernel(double x, double cutoff, double halfWidth) {
    if (std::fabs(x) >= halfWidth)
        return 0;
    double sinc = x == 0 ? 1 : std::sin(2 * kPi * cutoff * x) / (2 * kPi * cutoff * x);
    double w = (x / halfWidth + 1) / 2; // 0..1 across the window
    double window = 0.42 - 0.5 * std::cos(2 * kPi * w) + 0.08 * std::cos(4 * kPi * w);
    return 2 * cutoff * sinc * window;
}

// The output samples fall on as many distinct phases between input samples
// as to / gcd(from, to); each phase gets its own row of taps.
struct Filter {
    unsigned phases;
    int taps;  // per phase
    int first; // offset of the first tap from the input sample at or before the output
    std::vector<double> weights; // phases rows of taps
};

Filter makeFilter(unsigned from, unsigned to) {
    unsigned common = std::gcd(from, to);
    double cutoff = 0.5 * kPassBand * std::min(1.0, double(to) / from);
    double halfWidth = kKernelCrossings / (2 * cutoff);
    Filter filter;
    filter.phases = to / common;
    filter.first = -int(std::ceil(halfWidth)) + 1;
    filter.taps = 2 * int(std::ceil(halfWidth));
    filter.weights.resize(size_t(filter.phases) * filter.taps);
    for (unsigned phase = 0; phase < filter.phases; phase++) {
        double fraction = double(phase) / filter.phases;
        for (int t = 0; t < filter.taps; t++)
            filter.weights[size_t(phase) * filter.taps + t] =
                kernel(fraction - (filter.first + t), cutoff, halfWidth);
    }
    return filter;
}

int16_t clip(double value) {
    return int16_t(std::lround(std::clamp(value, -32768.0, 32767.0)));
}

} // namespace

void soundTrimSilence(std::vector<int16_t> &samples, unsigned rate) {
    auto loud = [](int16_t sample) { return std::abs(int(sample)) > kSilenceLevel; };
    auto first = std::find_if(samples.begin(), samples.end(), loud);
    if (first == samples.end()) {
        samples.clear();
        return;
    }
    size_t start = first - samples.begin();
    size_t end = samples.rend() - std::find_if(samples.rbegin(), samples.rend(), loud);
    size_t margin = size_t(rate) * kMarginMs / 1000;
    start = start > margin ? start - margin : 0;
    end = std::min(samples.size(), end + margin);
    samples = std::vector<int16_t>(samples.begin() + start, samples.begin() + end);
}

std::vector<int16_t> soundResample(const std::vector<int16_t> &samples, unsigned from,
                                   unsigned to) {
    if (from == to || samples.empty())
        return samples;
    Filter filter = makeFilter(from, to);
    size_t count = size_t((uint64_t(samples.size()) * to + from - 1) / from);
    std::vector<int16_t> out(count);
    unsigned step = from / std::gcd(from, to);
    for (size_t n = 0; n < count; n++) {
        // Output sample n lies at n * from / to input samples.
        uint64_t position = uint64_t(n) * step;
        long base = long(position / filter.phases);
        const double *weights = &filter.weights[(position % filter.phases) * filter.taps];
        double sum = 0;
        for (int t = 0; t < filter.taps; t++) {
            long i = base + filter.first + t;
            if (i >= 0 && i < long(samples.size()))
                sum += weights[t] * samples[i];
        }
        out[n] = clip(sum);
    }
    return out;
}
