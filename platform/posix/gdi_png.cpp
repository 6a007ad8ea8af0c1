// Surfaces written out as PNG pictures, through libpng.
#include "platform/posix/surface.h"

#include <png.h>

#include <cstdio>

namespace posix {

bool writePng(const Surface &surface, const std::string &path) {
    if (surface.width <= 0 || surface.height <= 0 ||
        surface.pixels.size() != size_t(surface.width) * size_t(surface.height))
        return false;
    std::vector<png_byte> rgb;
    rgb.reserve(surface.pixels.size() * 3);
    for (COLORREF pixel : surface.pixels) {
        rgb.push_back(GetRValue(pixel));
        rgb.push_back(GetGValue(pixel));
        rgb.push_back(GetBValue(pixel));
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(surface.width);
    image.height = png_uint_32(surface.height);
    image.format = PNG_FORMAT_RGB;
    if (png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr))
        return true;
    png_image_free(&image);
    std::remove(path.c_str());
    return false;
}

} // namespace posix
