// Walking every node of an image, counting damage instead of trusting it.
#include "tools/common/image_walk.h"

#include <algorithm>
#include <cstring>

namespace {

// A link still to follow, with the bit index of the node it leaves.
struct Link {
    DWORD target;
    int parentBit; // -1 from the header: any node below it is downward
    unsigned depth;
};

WORD readWord(const BYTE *p) {
    return (WORD)(p[0] | (p[1] << 8));
}

DWORD readDword(const BYTE *p) {
    return (DWORD)p[0] | ((DWORD)p[1] << 8) | ((DWORD)p[2] << 16) | ((DWORD)p[3] << 24);
}

// The zero-terminated string at offset, if it ends inside the image;
// *next is then the offset just past its terminator.
bool readString(const ptree *tree, DWORD offset, std::string &text, DWORD *next) {
    if (offset >= tree->size)
        return false;
    const char *start = (const char *)tree->image + offset;
    const void *end = std::memchr(start, 0, tree->size - offset);
    if (end == nullptr)
        return false;
    text.assign(start, (const char *)end - start);
    *next = offset + (DWORD)text.size() + 1;
    return true;
}

// Reads the node's key and data (up to its terminator); binary data is
// completed later, once every node's place is known.
bool readNode(const ptree *tree, ImageNode &node, bool binaryData, DWORD *dataStart) {
    DWORD next = 0;
    if (!readString(tree, node.offset + PTREE_RECORD_SIZE, node.key, &next))
        return false;
    *dataStart = next;
    if (binaryData)
        return next < tree->size;
    return readString(tree, next, node.data, &next);
}

// Binary data runs up to the next node record, less its terminator; data
// without one (an image cut short) is damage.
unsigned completeBinaryData(const ptree *tree, std::vector<ImageNode> &nodes,
                            const std::vector<DWORD> &dataStarts) {
    unsigned damaged = 0;
    std::vector<DWORD> offsets;
    for (const ImageNode &node : nodes)
        offsets.push_back(node.offset);
    std::sort(offsets.begin(), offsets.end());
    for (size_t i = 0; i < nodes.size(); i++) {
        auto later = std::upper_bound(offsets.begin(), offsets.end(), nodes[i].offset);
        DWORD end = later == offsets.end() ? tree->size : *later;
        DWORD start = std::min(dataStarts[i], end);
        if (end > start && tree->image[end - 1] == 0)
            end--;
        else
            damaged++;
        nodes[i].data.assign((const char *)tree->image + start, end - start);
    }
    return damaged;
}

} // namespace

ImageWalk walkImage(const ptree *tree, bool binaryData) {
    ImageWalk walk;
    std::vector<bool> visited(tree->size, false);
    std::vector<DWORD> dataStarts;
    std::vector<Link> pending = {{readDword(tree->image + 2), -1, 1}};
    while (!pending.empty()) {
        Link link = pending.back();
        pending.pop_back();
        if (link.target == 0)
            continue;
        if (link.target >= tree->size || tree->size - link.target < PTREE_RECORD_SIZE) {
            walk.damaged++;
            continue;
        }
        const BYTE *record = tree->image + link.target;
        WORD bit = readWord(record);
        if (bit == PTREE_HEADER_BIT || (int)bit <= link.parentBit)
            continue; // an upward link: its node is reached from above
        if (visited[link.target]) {
            walk.damaged++;
            continue;
        }
        visited[link.target] = true;
        ImageNode node = {link.target, bit, link.depth, "", ""};
        DWORD dataStart = 0;
        if (readNode(tree, node, binaryData, &dataStart)) {
            walk.nodes.push_back(node);
            dataStarts.push_back(dataStart);
        } else {
            walk.damaged++;
        }
        walk.maxBit = std::max(walk.maxBit, bit);
        walk.maxDepth = std::max(walk.maxDepth, link.depth);
        pending.push_back({readDword(record + 6), bit, link.depth + 1});
        pending.push_back({readDword(record + 2), bit, link.depth + 1});
    }
    if (binaryData)
        walk.damaged += completeBinaryData(tree, walk.nodes, dataStarts);
    std::stable_sort(walk.nodes.begin(), walk.nodes.end(),
                     [](const ImageNode &a, const ImageNode &b) { return a.key < b.key; });
    return walk;
}
