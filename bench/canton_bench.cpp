// Decoding a ten-syllable reading, as the composition window does for
// every repaint.
#include "frame/canton.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

std::string TenSyllables() {
    static const int syllables[10][3] = {{7, 10, 5},  {12, 16, 2}, {13, 32, 2}, {5, 34, 1},
                                         {15, 1, 2},  {18, 48, 3}, {3, 0, 4},   {9, 11, 1},
                                         {19, 27, 4}, {12, 49, 4}};
    std::string codes;
    for (const auto &s : syllables) {
        codes += char(0x80 | (s[0] << 2) | (s[1] >> 4));
        codes += char(((s[1] & 15) << 3) | s[2]);
    }
    return codes;
}

void BM_CantonDecode(benchmark::State &state) {
    std::string codes = TenSyllables();
    int scheme = (int)state.range(0);
    for (auto _ : state) {
        LPTSTR text = canton_decode(scheme, codes.c_str());
        benchmark::DoNotOptimize(text);
        GlobalFree(text);
    }
}
BENCHMARK(BM_CantonDecode)->Arg(0)->Arg(1)->Arg(2);

} // namespace
