// tavodb lookup: the longest key of an image that starts a typed text,
// and its data, as the input method's own lookups see them.
#include <cstdio>

#include "tools/tavodb/commands.h"
#include "tools/tavodb/image_file.h"
#include "tools/common/image_walk.h"
#include "tools/tavodb/options.h"

namespace {

// The data's alternatives one per line: TAB-separated items, or for query
// data its lines.
void printData(const std::string &data, ImageKind kind) {
    for (const std::string &item : imageDataParts(data, kind))
        std::printf("    %s\n", imageDataText(item, kind).c_str());
}

// Binary data holds zero bytes, so it is taken from the walk of the image.
std::string binaryData(const ImageFile &image, const std::string &key) {
    for (const ImageNode &node : walkImage(image.tree, true).nodes)
        if (node.key == key)
            return node.data;
    return "";
}

bool lookUp(ImageFile &image, const std::string &typed) {
    std::string key, error;
    if (!imageParseText(typed, key, error) || key.empty() || key.find('\0') != std::string::npos) {
        reportError("key \"" + typed + "\"", error.empty() ? "not a key" : error);
        return false;
    }
    int found = ptree_match(image.tree, key.c_str(), (int)key.size());
    if (found == 0) {
        std::printf("%s -> no match\n", typed.c_str());
        return true;
    }
    std::string matched = key.substr(0, found);
    std::printf("%s -> %s (%d of %zu bytes)\n", typed.c_str(),
                imageKeyText(matched, image.kind).c_str(), found, key.size());
    if (image.kind == ImageKind::binary)
        std::printf("    %s\n", binarySummary(binaryData(image, matched)).c_str());
    else
        printData(ptree_data(image.tree), image.kind);
    return true;
}

} // namespace

int runLookup(const std::vector<std::string> &words) {
    Options options;
    std::string error;
    if (!parseOptions(words, {"--as"}, options, error))
        return reportError("lookup", error);
    if (options.arguments.size() < 2)
        return reportError("lookup", "usage: tavodb lookup IMAGE KEY...");
    const std::string &path = options.arguments[0];
    ImageFile image;
    if (!openImage(path, options.kind, image, error))
        return reportError(path, error);
    bool ok = true;
    for (size_t i = 1; i < options.arguments.size(); i++)
        ok = lookUp(image, options.arguments[i]) && ok;
    // An answer from a damaged image may be wrong or missing: say so.
    std::fflush(stdout);
    if (reportDamage(path, walkImage(image.tree, image.kind == ImageKind::binary)) != 0)
        return 1;
    return ok ? 0 : 1;
}
