// Laying out the pictures of a resource list: bitmap files cut to their
// DIB, icon and cursor files split into directories and images.
#include "tools/rc/rcpictures.h"

namespace {

constexpr size_t kFileHeader = 14; // BITMAPFILEHEADER
constexpr size_t kInfoHeader = 40; // BITMAPINFOHEADER
constexpr size_t kDirectoryHeader = 6;
constexpr size_t kFileEntry = 16;  // ICONDIRENTRY in .ico and .cur files
constexpr unsigned kLargestId = 0xFFFF;

unsigned read16(const std::string &bytes, size_t at) {
    return unsigned(uint8_t(bytes[at])) | unsigned(uint8_t(bytes[at + 1])) << 8;
}

uint32_t read32(const std::string &bytes, size_t at) {
    return read16(bytes, at) | uint32_t(read16(bytes, at + 2)) << 16;
}

void put16(std::string &out, unsigned value) {
    out += char(value & 0xFF);
    out += char(value >> 8 & 0xFF);
}

void put32(std::string &out, uint32_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

bool bitmap(const RcName &name, const std::string &contents, std::vector<RcPicture> &out,
            std::string &error) {
    if (contents.size() < kFileHeader + kInfoHeader || contents.compare(0, 2, "BM") != 0) {
        error = "not a bitmap file";
        return false;
    }
    out.push_back(RcPicture{RcName{true, kRcBitmap, ""}, name, contents.substr(kFileHeader)});
    return true;
}

// One image of an icon or cursor file, with what its directory says.
struct Image {
    unsigned width, height, colours, reserved, planes, bitCount;
    unsigned hotX = 0, hotY = 0;
    std::string bytes;
};

bool readImages(const std::string &contents, bool cursor, std::vector<Image> &images,
                std::string &error) {
    unsigned wanted = cursor ? 2 : 1;
    if (contents.size() < kDirectoryHeader || read16(contents, 0) != 0 ||
        read16(contents, 2) != wanted) {
        error = cursor ? "not a cursor file" : "not an icon file";
        return false;
    }
    size_t count = read16(contents, 4);
    if (count == 0 || contents.size() < kDirectoryHeader + count * kFileEntry) {
        error = count == 0 ? "holds no image" : "directory runs past the end";
        return false;
    }
    for (size_t i = 0; i < count; i++) {
        size_t entry = kDirectoryHeader + i * kFileEntry;
        uint32_t size = read32(contents, entry + 8), offset = read32(contents, entry + 12);
        if (offset > contents.size() || size > contents.size() - offset || size < kInfoHeader) {
            error = "image " + std::to_string(i + 1) + " lies outside the file";
            return false;
        }
        Image image{};
        image.width = uint8_t(contents[entry]);
        image.height = uint8_t(contents[entry + 1]);
        image.colours = uint8_t(contents[entry + 2]);
        image.reserved = uint8_t(contents[entry + 3]);
        image.bytes = contents.substr(offset, size);
        // The image's own header knows its planes and depth; a cursor file
        // keeps its hot spot where an icon file keeps them.
        image.planes = read16(image.bytes, 12);
        image.bitCount = read16(image.bytes, 14);
        if (cursor) {
            image.hotX = read16(contents, entry + 4);
            image.hotY = read16(contents, entry + 6);
        } else {
            image.planes = read16(contents, entry + 4) ? read16(contents, entry + 4) : image.planes;
            image.bitCount =
                read16(contents, entry + 6) ? read16(contents, entry + 6) : image.bitCount;
        }
        images.push_back(image);
    }
    return true;
}

bool iconGroup(bool cursor, const RcName &name, const std::string &contents,
               RcImageNumbers &numbers, std::vector<RcPicture> &out, std::string &error) {
    std::vector<Image> images;
    if (!readImages(contents, cursor, images, error))
        return false;
    unsigned &next = cursor ? numbers.cursor : numbers.icon;
    if (next + images.size() - 1 > kLargestId) {
        error = "too many images";
        return false;
    }
    std::string group;
    put16(group, 0);
    put16(group, cursor ? 2 : 1);
    put16(group, unsigned(images.size()));
    for (const Image &image : images) {
        unsigned id = next++;
        std::string data = image.bytes;
        if (cursor) {
            // A cursor's entry: width and twice the height (the image and
            // its mask), as the resource compiler writes them.
            put16(group, image.width ? image.width : 256);
            put16(group, 2 * (image.height ? image.height : 256));
            std::string hotSpot;
            put16(hotSpot, image.hotX);
            put16(hotSpot, image.hotY);
            data = hotSpot + data;
        } else {
            group += char(image.width);
            group += char(image.height);
            group += char(image.colours);
            group += char(image.reserved);
        }
        put16(group, image.planes);
        put16(group, image.bitCount);
        put32(group, uint32_t(data.size()));
        put16(group, id);
        out.push_back(
            RcPicture{RcName{true, cursor ? kRcCursor : kRcIcon, ""}, RcName{true, id, ""}, data});
    }
    out.push_back(RcPicture{RcName{true, cursor ? kRcGroupCursor : kRcGroupIcon, ""}, name, group});
    return true;
}

} // namespace

bool rcPictureResources(unsigned type, const RcName &name, const std::string &contents,
                        RcImageNumbers &numbers, std::vector<RcPicture> &out, std::string &error) {
    if (type == kRcBitmap)
        return bitmap(name, contents, out, error);
    return iconGroup(type == kRcCursor, name, contents, numbers, out, error);
}
