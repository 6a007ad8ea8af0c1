// tavolex: compiles the source lexicon (data/) into the dictionary, query
// and phrase databases.
#include "tools/lexicon/databases.h"

#include <chrono>
#include <cstdio>
#include <functional>
#include <future>
#include <mutex>

namespace {

std::mutex printing;

bool write(const std::string &path, const char *id, const std::vector<ImageEntry> &entries) {
    std::string error;
    const ImageEntry *failed = nullptr;
    bool ok = imageWriteFile(path, id, entries, error, &failed);
    std::lock_guard<std::mutex> lock(printing);
    if (!ok) {
        std::fprintf(stderr, "tavolex: %s: %s\n", path.c_str(), error.c_str());
        return false;
    }
    std::printf("%-14s %8zu keys\n", path.substr(path.rfind('/') + 1).c_str(), entries.size());
    return true;
}

// Writes the images side by side: the tree writer works on the disk, node
// by node, and each image is its own file.
bool writeAll(const std::vector<std::function<bool()>> &writes) {
    std::vector<std::future<bool>> running;
    for (const std::function<bool()> &write : writes)
        running.push_back(std::async(std::launch::async, write));
    bool ok = true;
    for (std::future<bool> &result : running)
        ok = result.get() && ok;
    return ok;
}

void report(const char *name, const PhraseStats &stats) {
    std::printf("%-14s %8zu candidates; %zu words left to their toned keys\n", name,
                stats.candidates, stats.hiddenByShorter);
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: tavolex DATA_FOLDER OUTPUT_FOLDER\n"
                             "Writes dictionary.img, query.img, vexa.idb and ruda.idb.\n");
        return 2;
    }
    auto start = std::chrono::steady_clock::now();
    Lexicon lexicon;
    std::string error;
    if (!lexiconRead(argv[1], lexicon, error)) {
        std::fprintf(stderr, "tavolex: %s\n", error.c_str());
        return 1;
    }
    std::string out = argv[2];
    PhraseStats vexa, ruda;
    bool ok = writeAll({
        [&] { return write(out + "/dictionary.img", DICTIONARY_ID, lexiconDictionary(lexicon)); },
        [&] { return write(out + "/query.img", QUERY_ID, lexiconQuery(lexicon)); },
        [&] {
            return write(out + "/vexa.idb", PHRASE_ID,
                         lexiconPhrases(lexicon, PhraseKeys::jyutping, vexa));
        },
        [&] {
            return write(out + "/ruda.idb", PHRASE_ID,
                         lexiconPhrases(lexicon, PhraseKeys::braille, ruda));
        },
    });
    if (!ok)
        return 1;
    report("vexa.idb", vexa);
    report("ruda.idb", ruda);
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("compiled in %.1f s\n", took.count());
    return 0;
}
