// Reading device-independent bitmaps as resources hold them: rows bottom
// first, colour tables, an icon's mask, and damaged data refused.
#include "platform/posix/gdi_dib.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string le16(unsigned value) {
    return {char(value & 0xFF), char(value >> 8 & 0xFF)};
}

std::string le32(uint32_t value) {
    return le16(value & 0xFFFF) + le16(value >> 16);
}

std::string header(int32_t width, int32_t height, unsigned bits, unsigned colours = 0,
                   unsigned compression = 0) {
    return le32(40) + le32(uint32_t(width)) + le32(uint32_t(height)) + le16(1) + le16(bits) +
           le32(compression) + le32(0) + le32(0) + le32(0) + le32(colours) + le32(0);
}

std::string quad(BYTE r, BYTE g, BYTE b) {
    return {char(b), char(g), char(r), 0};
}

bool decode(const std::string &data, bool icon, posix::DibImage &image) {
    return posix::decodeDib(reinterpret_cast<const BYTE *>(data.data()), data.size(), icon, image);
}

// A 3 by 2 picture at 4 bits: palette red, green, blue; bottom row first.
std::string fourBit(int32_t height = 2) {
    std::string rows = std::string("\x01\x20\x00\x00", 4) + // bottom: red, green, blue
                       std::string("\x00\x11\x00\x00", 4);  // top: red, red, green
    if (height < 0)
        rows = rows.substr(4) + rows.substr(0, 4);
    return header(3, height, 4, 3) + quad(255, 0, 0) + quad(0, 255, 0) + quad(0, 0, 255) + rows;
}

TEST(Dibs, RowsAreStoredBottomFirst) {
    posix::DibImage image;
    ASSERT_TRUE(decode(fourBit(), false, image));
    EXPECT_EQ(image.header.width, 3);
    EXPECT_EQ(image.header.height, 2);
    EXPECT_EQ(image.header.bitCount, 4);
    const std::vector<COLORREF> expected{RGB(255, 0, 0), RGB(255, 0, 0), RGB(0, 255, 0),
                                         RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)};
    EXPECT_EQ(image.pixels, expected);
    EXPECT_TRUE(image.mask.empty());
    posix::DibImage topDown;
    ASSERT_TRUE(decode(fourBit(-2), false, topDown));
    EXPECT_EQ(topDown.pixels, expected) << "a negative height stores the top row first";
}

TEST(Dibs, TrueColourAndIconMasks) {
    // 2 by 1 at 24 bits, as an icon: the stored height counts the mask.
    std::string data = header(2, 2, 24) + std::string("\x10\x20\x30\x40\x50\x60\x00\x00", 8) +
                       std::string("\x40\x00\x00\x00", 4); // mask: the second pixel shows through
    posix::DibImage image;
    ASSERT_TRUE(decode(data, true, image));
    EXPECT_EQ(image.header.height, 1);
    EXPECT_EQ(image.pixels, (std::vector<COLORREF>{RGB(0x30, 0x20, 0x10), RGB(0x60, 0x50, 0x40)}));
    EXPECT_EQ(image.mask, (std::vector<uint8_t>{0, 1}));
    EXPECT_FALSE(decode(data.substr(0, data.size() - 1), true, image)) << "the mask is cut short";
}

TEST(Dibs, DamagedPicturesAreRefused) {
    std::string good = fourBit();
    const std::string cases[] = {
        good.substr(0, good.size() - 1),                        // a row cut short
        good.substr(0, 39),                                     // no whole header
        header(3, 2, 4, 3, 2) + good.substr(40),                // run-length compressed
        header(3, 2, 16) + std::string(16, '\0'),               // 16 bits per pixel
        header(3, 0, 4, 3) + good.substr(40),                   // no rows
        header(-3, 2, 4, 3) + good.substr(40),                  // no columns
        header(100000, 1, 1) + std::string(20000, '\0'),        // too wide
        header(3, 2, 8, 300) + std::string(1300, '\0'),         // too many colours
        le32(0x7FFFFFFF) + good.substr(4),                      // a header larger than the data
        header(3, int32_t(0x80000000), 4, 3) + good.substr(40), // the most negative height
    };
    for (const std::string &data : cases) {
        posix::DibImage image;
        posix::DibHeader head;
        EXPECT_FALSE(decode(data, false, image)) << data.size();
        EXPECT_FALSE(posix::readDibHeader(reinterpret_cast<const BYTE *>(data.data()), data.size(),
                                          false, head));
    }
    posix::DibImage image;
    EXPECT_FALSE(decode(fourBit(-2), true, image)) << "icons are stored bottom row first";
    EXPECT_FALSE(posix::decodeDib(nullptr, 100, false, image));
}

} // namespace
