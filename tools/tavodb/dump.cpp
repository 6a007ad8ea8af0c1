// tavodb dump: every key and its data in the text form that build reads.
#include <cstdio>

#include "tools/tavodb/commands.h"
#include "tools/tavodb/image_file.h"
#include "tools/common/image_walk.h"
#include "tools/tavodb/options.h"

namespace {

// Binary data is written whole too, so that build gives back the image.
void printNode(const ImageNode &node, ImageKind kind) {
    std::string line = imageKeyText(node.key, kind) + "\t" + imageDataText(node.data, kind) + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
}

} // namespace

int runDump(const std::vector<std::string> &words) {
    Options options;
    std::string error;
    if (!parseOptions(words, {"--as", "--full"}, options, error))
        return reportError("dump", error);
    if (options.arguments.size() != 1)
        return reportError("dump", "usage: tavodb dump IMAGE [--as KIND]");
    const std::string &path = options.arguments[0];
    ImageFile image;
    if (!openImage(path, options.kind, image, error))
        return reportError(path, error);
    ImageWalk walk = walkImage(image.tree, image.kind == ImageKind::binary);
    for (const ImageNode &node : walk.nodes)
        printNode(node, image.kind);
    if (std::fflush(stdout) != 0)
        return reportError("", "cannot write the dump");
    return reportDamage(path, walk);
}
