// Reading a twenty-character text through a dictionary of a few thousand
// words, as the composition window and the speech library do.
#include "dict/lookup.h"
#include "tools/common/image_writer.h"
#include "tools/common/tool_files.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace {

const int kCharacters = 3000;
const int kWords = 2000;

// The n-th Big5 character from 0xA440 on, trail bytes 0x40..0x7E and 0xA1..0xFE.
std::string Character(int n) {
    int lead = 0xA4 + n / 157, trail = n % 157;
    trail += trail < 63 ? 0x40 : 0xA1 - 63;
    return {char(lead), char(trail)};
}

std::string Reading(unsigned seed) {
    int initial = seed % 20, final = 1 + (seed / 20) % 51, tone = 1 + (seed / 1020) % 6;
    return {char(0x80 | (initial << 2) | (final >> 4)), char(((final & 15) << 3) | tone)};
}

// Single characters with two readings each, and words of two and three
// characters made from them.
std::vector<ImageEntry> Entries() {
    std::vector<ImageEntry> entries;
    for (int i = 0; i < kCharacters; i++)
        entries.push_back({Character(i), Reading(i * 7919u) + "\t" + Reading(i * 104729u), 0});
    unsigned state = 12345;
    for (int w = 0; w < kWords; w++) {
        ImageEntry word{"", "", 0};
        for (int c = 0; c < 2 + w % 2; c++) {
            state = state * 1103515245u + 12345u;
            word.key += Character((state >> 8) % kCharacters);
            word.data += Reading(state);
        }
        entries.push_back(word);
    }
    imageSortEntries(entries);
    // Keep the first of any repeated word.
    auto repeat =
        std::unique(entries.begin(), entries.end(),
                    [](const ImageEntry &a, const ImageEntry &b) { return a.key == b.key; });
    entries.erase(repeat, entries.end());
    return entries;
}

std::string BuildImage() {
    std::string path = (std::filesystem::temp_directory_path() / "tavo-lookup-bench.db").string();
    std::string image, error;
    const ImageEntry *failed = nullptr;
    if (!imageWriteFile(path, "TAVO dictionary database", Entries(), error, &failed) ||
        !toolReadFile(path, image, error))
        image.clear();
    std::filesystem::remove(path);
    return image;
}

void BM_LookupCantonese(benchmark::State &state) {
    std::string image = BuildImage();
    ptree *dict = ptree_open(image.data(), (DWORD)image.size());
    if (!dict) {
        state.SkipWithError("dictionary image not built");
        return;
    }
    std::string text;
    for (int i = 0; i < 20; i++)
        text += Character((i * 911) % kCharacters);
    for (auto _ : state) {
        char *codes = LookupCantonese(dict, text.c_str());
        benchmark::DoNotOptimize(codes);
        GlobalFree(codes);
    }
    ptree_close(dict);
}
BENCHMARK(BM_LookupCantonese);

} // namespace
