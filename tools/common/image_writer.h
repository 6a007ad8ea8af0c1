// Building "libptree" images from keys and data held in memory: the keys
// go in sorted by their Big5 bytes, as in the images we ship, through the
// project's tree file writer.
#ifndef TAVO_TOOLS_IMAGE_WRITER_H
#define TAVO_TOOLS_IMAGE_WRITER_H

#include <string>
#include <vector>

struct ImageEntry {
    std::string key;  // Big5 bytes, no zero byte
    std::string data; // may hold zero bytes
    long line;        // where it came from, for messages (0 = nowhere)
};

// Sorts by key bytes, ascending; entries with equal keys keep their order.
void imageSortEntries(std::vector<ImageEntry> &entries);

// Writes the entries, in their order, into a new image at path. The image
// is written beside it first and renamed into place, so a failed write
// leaves no file. On failure returns false with error set, and *failed
// names the entry that could not be stored, if one could not.
bool imageWriteFile(const std::string &path, const std::string &id,
                    const std::vector<ImageEntry> &entries, std::string &error,
                    const ImageEntry **failed);

#endif
