// The prefix-tree reader on arbitrary images: opened, identified, matched
// on every prefix of fixed keys and on keys found in the image itself,
// and the data of each match read to its end.
#include "dict/ptree.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char *const kFixedKeys[] = {
    "a",
    "abcd",
    "nei5hou2",
    "\xA7\x41\xA6\x6E\xB6\xDC",
    "\x84\x69\x84\x69",
    "libptree",
    "\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF",
};

volatile unsigned sink;

// Reads the data of the last match: to its terminator, and as far as the
// image lays it out.
void readData(ptree *tree) {
    const char *data = ptree_data(tree);
    if (data == nullptr)
        return;
    unsigned sum = (unsigned)strlen(data);
    DWORD size = ptree_dataSize(tree);
    for (DWORD i = 0; i < size; i++)
        sum += (unsigned char)data[i];
    sink = sum;
}

void matchEveryPrefix(ptree *tree, const std::string &key) {
    for (size_t n = 0; n <= key.size(); n++) {
        int found = ptree_match(tree, key.c_str(), (int)n);
        if (found < 0 || (n > 0 && (size_t)found > n) ||
            (found > 0) != (ptree_data(tree) != nullptr))
            __builtin_trap();
        readData(tree);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    ptree *tree = ptree_open(data, (DWORD)size);
    if (tree == nullptr)
        return 0;
    ptree_check_id(tree, nullptr);
    ptree_check_id(tree, "TAVO dictionary database");
    for (const char *key : kFixedKeys)
        matchEveryPrefix(tree, key);
    // Every zero-terminated run of the image may be a stored key.
    const char *text = (const char *)data;
    for (size_t at = 0, keys = 0; at < size && keys < 64; keys++) {
        const char *end = (const char *)memchr(text + at, 0, size - at);
        size_t length = end ? (size_t)(end - (text + at)) : size - at;
        if (length > 0 && length < 256) {
            std::string key(text + at, length);
            ptree_match(tree, key.c_str(), 0);
            readData(tree);
            ptree_match(tree, (key + "xyz").c_str(), 0);
            readData(tree);
        }
        at += length + 1;
    }
    ptree_clearInfo(tree);
    if (ptree_data(tree) != nullptr)
        __builtin_trap();
    ptree_close(tree);
    return 0;
}
