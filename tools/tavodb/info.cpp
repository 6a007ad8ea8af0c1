// tavodb info: what an image holds, in numbers.
#include <cstdio>
#include <map>

#include "tools/tavodb/commands.h"
#include "tools/tavodb/image_file.h"
#include "tools/common/image_walk.h"
#include "tools/tavodb/options.h"

namespace {

typedef std::map<size_t, size_t> Histogram;

struct Totals {
    size_t keyBytes = 0;
    size_t dataBytes = 0;
    size_t alternatives = 0;
    Histogram keyLengths; // keys by their length in characters
    Histogram alternativesPerKey;
};

Totals countNodes(const ImageWalk &walk, ImageKind kind) {
    Totals totals;
    for (const ImageNode &node : walk.nodes) {
        totals.keyBytes += node.key.size();
        totals.dataBytes += node.data.size();
        totals.keyLengths[imageBig5Length(node.key)]++;
        size_t alternatives = imageDataParts(node.data, kind).size();
        totals.alternatives += alternatives;
        totals.alternativesPerKey[alternatives]++;
    }
    return totals;
}

void printHistogram(const char *title, const Histogram &histogram) {
    std::printf("%s:", title);
    const char *separator = " ";
    for (const auto &[value, count] : histogram) {
        std::printf("%s%zu: %zu", separator, value, count);
        separator = ", ";
    }
    std::printf("\n");
}

void printInfo(const std::string &path, const ImageFile &image, const ImageWalk &walk) {
    Totals totals = countNodes(walk, image.kind);
    std::printf("file: %s\n", path.c_str());
    std::printf("identifier: %s\n", image.id.c_str());
    std::printf("kind: %s\n", imageKindName(image.kind));
    std::printf("file size: %lu bytes\n", (unsigned long)image.tree->size);
    std::printf("keys: %zu\n", walk.nodes.size());
    std::printf("key bytes: %zu\n", totals.keyBytes);
    std::printf("data bytes: %zu\n", totals.dataBytes);
    printHistogram("keys by length in characters", totals.keyLengths);
    if (image.kind != ImageKind::binary)
        std::printf("data alternatives: %zu\n", totals.alternatives);
    if (image.kind == ImageKind::readings)
        printHistogram("readings per key", totals.alternativesPerKey);
    std::printf("max bit index: %u\n", (unsigned)walk.maxBit);
    std::printf("tree depth: %u\n", walk.maxDepth);
    if (walk.damaged > 0)
        std::printf("damaged links or nodes: %u\n", walk.damaged);
}

} // namespace

int runInfo(const std::vector<std::string> &words) {
    Options options;
    std::string error;
    if (!parseOptions(words, {"--as"}, options, error))
        return reportError("info", error);
    if (options.arguments.size() != 1)
        return reportError("info", "usage: tavodb info IMAGE");
    const std::string &path = options.arguments[0];
    ImageFile image;
    if (!openImage(path, options.kind, image, error))
        return reportError(path, error);
    ImageWalk walk = walkImage(image.tree, image.kind == ImageKind::binary);
    printInfo(path, image, walk);
    std::fflush(stdout);
    return reportDamage(path, walk);
}
