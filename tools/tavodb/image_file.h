// An image file opened for reading by the commands.
#ifndef TAVO_TAVODB_IMAGE_FILE_H
#define TAVO_TAVODB_IMAGE_FILE_H

#include <optional>
#include <string>

#include "dict/ptree.h"
#include "tools/common/image_text.h"

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

// Binary data in short: its length and first bytes.
std::string binarySummary(const std::string &data);

#endif
