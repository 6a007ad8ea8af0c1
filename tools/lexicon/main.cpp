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

bool Write(const std::string &path, const char *id, const std::vector<ImageEntry> &entries) {
    std::string error;
    const ImageEntry *failed = nullptr;
    bool ok = image_writeFile(path, id, entries, error, &failed);
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
bool WriteAll(const std::vector<std::function<bool()>> &writes) {
    std::vector<std::future<bool>> running;
    for (const std::function<bool()> &write : writes)
        running.push_back(std::async(std::launch::async, write));
    bool ok = true;
    for (std::future<bool> &result : running)
        ok = result.get() && ok;
    return ok;
}

void Report(const char *name, const PhraseStats &stats) {
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
    if (!lexicon_read(argv[1], lexicon, error)) {
        std::fprintf(stderr, "tavolex: %s\n", error.c_str());
        return 1;
    }
    std::string out = argv[2];
    PhraseStats vexa, ruda;
    bool ok = WriteAll({
        [&] { return Write(out + "/dictionary.img", DICTIONARY_ID, lexicon_dictionary(lexicon)); },
        [&] { return Write(out + "/query.img", QUERY_ID, lexicon_query(lexicon)); },
        [&] {
            return Write(out + "/vexa.idb", PHRASE_ID,
                         lexicon_phrases(lexicon, PhraseKeys::jyutping, vexa));
        },
        [&] {
            return Write(out + "/ruda.idb", PHRASE_ID,
                         lexicon_phrases(lexicon, PhraseKeys::braille, ruda));
        },
    });
    if (!ok)
        return 1;
    Report("vexa.idb", vexa);
    Report("ruda.idb", ruda);
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("compiled in %.1f s\n", took.count());
    return 0;
}
