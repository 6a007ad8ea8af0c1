// An image file opened for reading by the commands.
#ifndef TAVO_TAVODB_IMAGE_FILE_H
#define TAVO_TAVODB_IMAGE_FILE_H

#include <optional>
#include <string>

#include "dict/ptree.h"
#include "tools/common/image_text.h"
#include "tools/common/image_walk.h"

struct ImageFile {
    ptree *tree = nullptr;
    std::string id;
    ImageKind kind = ImageKind::text;

    ImageFile() = default;
    ImageFile(const ImageFile &) = delete;
    ImageFile &operator=(const ImageFile &) = delete;
    ~ImageFile() { ptree_close(tree); }
};

// Opens the image; its kind is the one given, else the identifier's. On
// failure returns false with error saying why.
bool openImage(const std::string &path, std::optional<ImageKind> kind, ImageFile &image,
               std::string &error);

// Binary data in short, for showing: its length and first bytes.
std::string binarySummary(const std::string &data);

// Whether text is such a summary rather than data.
bool isBinarySummary(const std::string &text);

// 0 for an image whose walk met no damage; otherwise reports the damage
// against the file and returns the error status.
int reportDamage(const std::string &path, const ImageWalk &walk);

#endif
