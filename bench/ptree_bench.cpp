// Longest-prefix matching in a large "libptree" image: keys of 10 to 20
// bytes that are in the image and keys that are not. The image is built
// once, by the tools' own image writer, from keys shaped like those of our
// dictionaries: Big5 words of 1 to 7 characters and typed jyutping.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <string>
#include <unordered_set>
#include <vector>

#include "dict/ptree.h"
#include "frame/canton.h"
#include "tools/common/image_writer.h"

namespace {

constexpr size_t kWordKeys = 160000;
constexpr size_t kTypedKeys = 60000;
static_assert(kWordKeys + kTypedKeys >= 200000, "the image must hold at least 200,000 keys");
constexpr size_t kProbes = 1 << 16; // keys matched in turn, a power of two

class KeyMaker {
public:
    // A Big5 word; the characters come from the common range A440..C67E.
    std::string word(int characters) {
        std::uniform_int_distribution<int> lead(0xA4, 0xC6), trail(0, 156);
        std::string key;
        for (int i = 0; i < characters; i++) {
            int t = trail(rng);
            key += (char)lead(rng);
            key += (char)(t < 63 ? 0x40 + t : 0xA1 + t - 63);
        }
        return key;
    }

    // A word's length: mostly two characters, as in a dictionary.
    int wordLength() {
        static const double weights[] = {0, 8, 40, 20, 16, 8, 5, 3};
        std::discrete_distribution<int> length(std::begin(weights), std::end(weights));
        return length(rng);
    }

    // Syllables of jyutping as typed, cut to the given length.
    std::string typed(size_t length) {
        std::uniform_int_distribution<int> initial(0, CANTON_INITIALS), final(1, CANTON_FINALS),
            tone(1, 6);
        std::string key;
        while (key.size() < length)
            key += std::string(LSHK_initials[initial(rng)]) + LSHK_finals[final(rng)] +
                   (char)('0' + tone(rng));
        return key.substr(0, length);
    }

    size_t between(size_t low, size_t high) {
        return std::uniform_int_distribution<size_t>(low, high)(rng);
    }

private:
    std::mt19937 rng{20240611};
};

struct BenchImage {
    std::vector<char> bytes;
    ptree *tree = nullptr;
    std::vector<std::string> hits, misses;
};

// Keys for the image, and probes of 10 to 20 bytes: some of the image's own
// keys, and new keys of the same shapes that it lacks.
void MakeKeys(KeyMaker &maker, std::unordered_set<std::string> &keys, BenchImage &image) {
    while (keys.size() < kWordKeys)
        keys.insert(maker.word(maker.wordLength()));
    while (keys.size() < kWordKeys + kTypedKeys)
        keys.insert(maker.typed(maker.between(10, 20)));
    for (const std::string &key : keys)
        if (key.size() >= 10 && image.hits.size() < kProbes)
            image.hits.push_back(key);
    while (image.misses.size() < kProbes) {
        std::string key = image.misses.size() % 2 ? maker.word((int)maker.between(5, 7))
                                                  : maker.typed(maker.between(10, 20));
        if (!keys.count(key))
            image.misses.push_back(key);
    }
}

std::vector<char> WriteImage(const std::unordered_set<std::string> &keys) {
    std::vector<ImageEntry> entries;
    for (const std::string &key : keys)
        entries.push_back({key, "data", 0});
    imageSortEntries(entries);
    std::filesystem::path path = std::filesystem::temp_directory_path() /
                                 ("tavo-ptree-bench-" + std::to_string(std::random_device{}()));
    std::string error;
    const ImageEntry *failed = nullptr;
    if (!imageWriteFile(path.string(), "TAVO bench database", entries, error, &failed))
        throw std::runtime_error("cannot build the image: " + error);
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::filesystem::remove(path);
    return bytes;
}

const BenchImage &Image() {
    static BenchImage image = [] {
        BenchImage built;
        KeyMaker maker;
        std::unordered_set<std::string> keys;
        MakeKeys(maker, keys, built);
        built.bytes = WriteImage(keys);
        built.tree = ptree_open(built.bytes.data(), (DWORD)built.bytes.size());
        return built;
    }();
    return image;
}

void Match(benchmark::State &state, const std::vector<std::string> BenchImage::*probes) {
    const BenchImage &image = Image();
    const std::vector<std::string> &keys = image.*probes;
    size_t i = 0;
    for (auto _ : state) {
        const std::string &key = keys[i++ & (kProbes - 1)];
        benchmark::DoNotOptimize(ptree_match(image.tree, key.data(), (int)key.size()));
    }
    state.counters["keys"] = (double)(kWordKeys + kTypedKeys);
}

void BM_PtreeMatchHit(benchmark::State &state) {
    Match(state, &BenchImage::hits);
}
void BM_PtreeMatchMiss(benchmark::State &state) {
    Match(state, &BenchImage::misses);
}

BENCHMARK(BM_PtreeMatchHit)->Unit(benchmark::kNanosecond)->Repetitions(9)->ReportAggregatesOnly();
BENCHMARK(BM_PtreeMatchMiss)->Unit(benchmark::kNanosecond)->Repetitions(9)->ReportAggregatesOnly();

} // namespace

BENCHMARK_MAIN();
