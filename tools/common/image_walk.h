// Every key of an image, found by walking its tree from the root along
// downward links. Works on any image: links out of the image, records cut
// short and nodes reached twice are counted as damage and skipped.
#ifndef TAVO_TOOLS_IMAGE_WALK_H
#define TAVO_TOOLS_IMAGE_WALK_H

#include <string>
#include <vector>

#include "dict/ptree.h"

struct ImageNode {
    DWORD offset;
    WORD bit;
    unsigned depth; // the root is at depth 1
    std::string key;
    std::string data;
};

struct ImageWalk {
    std::vector<ImageNode> nodes; // in the order of their keys' bytes
    unsigned damaged = 0;
    unsigned maxDepth = 0;
    WORD maxBit = 0;
};

// With binaryData the data of a node runs to the terminator before the
// next node record (it may hold zero bytes); otherwise to its first zero.
ImageWalk walkImage(const ptree *tree, bool binaryData);

#endif
