// Test support: "libptree" images built with the tree file writer, and
// scratch files in a folder of their own.
#ifndef TAVO_TESTS_TEST_IMAGE_H
#define TAVO_TESTS_TEST_IMAGE_H

#include "platform/platform.h"

#include <string>
#include <utility>
#include <vector>

typedef std::vector<std::pair<std::string, std::string>> ImageEntries;

// A folder removed with everything in it when the object goes.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    std::string path(const std::string &name) const;

private:
    std::string root;
};

// Inserts the entries in the given order into a fresh image.
std::vector<BYTE> BuildImage(const char *id, const ImageEntries &entries);
// Opens a file for the tree writer: read and write, no sharing, emptied.
HANDLE CreateScratchFile(const std::string &path);
std::vector<BYTE> ReadWholeFile(const std::string &path);

#endif
