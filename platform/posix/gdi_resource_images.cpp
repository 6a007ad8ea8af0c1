// Pictures from a module's resources: RT_BITMAP bitmaps, and icons and
// cursors chosen from their RT_GROUP_ICON / RT_GROUP_CURSOR directories.
#include "platform/posix/errors.h"
#include "platform/posix/gdi_bitmap.h"
#include "platform/posix/gdi_dib.h"
#include "platform/posix/gdi_icon.h"

#include <cstdlib>
#include <map>
#include <mutex>
#include <string>
#include <tuple>

namespace {

constexpr WORD kRtCursor = 1, kRtBitmap = 2, kRtIcon = 3, kRtGroupCursor = 12, kRtGroupIcon = 14;
constexpr size_t kDirectoryHeader = 6, kDirectoryEntry = 14;
constexpr size_t kHotSpotPrefix = 4;
constexpr int kDefaultSize = 32; // SM_CXICON, SM_CXCURSOR
constexpr WORD kArrowId = 32512;

// A resource's bytes, or nothing.
struct Bytes {
    const BYTE *data = nullptr;
    size_t size = 0;
};

Bytes resource(HMODULE module, LPCWSTR name, WORD type) {
    HRSRC found = FindResourceW(module, name, MAKEINTRESOURCEW(type));
    if (!found)
        return {};
    return Bytes{static_cast<const BYTE *>(LockResource(LoadResource(module, found))),
                 SizeofResource(module, found)};
}

WORD read16(const BYTE *at) {
    return WORD(at[0] | at[1] << 8);
}

// One image of a group: where it is, and what it is.
struct Candidate {
    Bytes bytes;
    posix::DibHeader header;
};

// The images of a group whose data this platform reads.
std::vector<Candidate> groupImages(HMODULE module, LPCWSTR name, bool cursor) {
    Bytes group = resource(module, name, cursor ? kRtGroupCursor : kRtGroupIcon);
    std::vector<Candidate> images;
    if (!group.data || group.size < kDirectoryHeader)
        return images;
    size_t count = read16(group.data + 4);
    for (size_t i = 0; i < count && kDirectoryHeader + (i + 1) * kDirectoryEntry <= group.size;
         i++) {
        WORD id = read16(group.data + kDirectoryHeader + i * kDirectoryEntry + 12);
        Candidate image;
        image.bytes = resource(module, MAKEINTRESOURCEW(id), cursor ? kRtCursor : kRtIcon);
        size_t skip = cursor ? kHotSpotPrefix : 0;
        if (image.bytes.data && image.bytes.size > skip &&
            posix::readDibHeader(image.bytes.data + skip, image.bytes.size - skip, true,
                                 image.header))
            images.push_back(image);
    }
    return images;
}

// Nearest to the size wanted (by the sum of the differences), then the
// larger, then the most colours (or the fewest, for LR_MONOCHROME).
const Candidate *bestImage(const std::vector<Candidate> &images, int width, int height,
                           bool monochrome) {
    const Candidate *best = nullptr;
    auto score = [&](const Candidate &c) {
        long distance = std::labs(c.header.width - width) + std::labs(c.header.height - height);
        long area = long(c.header.width) * c.header.height;
        return std::make_tuple(-distance, area,
                               monochrome ? -c.header.bitCount : c.header.bitCount);
    };
    for (const Candidate &image : images)
        if (!best || score(image) > score(*best))
            best = &image;
    return best;
}

std::shared_ptr<posix::Icon> decodeIcon(const Candidate &chosen, bool cursor) {
    size_t skip = cursor ? kHotSpotPrefix : 0;
    posix::DibImage dib;
    if (!posix::decodeDib(chosen.bytes.data + skip, chosen.bytes.size - skip, true, dib))
        return nullptr;
    auto icon = std::make_shared<posix::Icon>();
    icon->isIcon = !cursor;
    icon->width = dib.header.width;
    icon->height = dib.header.height;
    icon->image = std::move(dib.pixels);
    icon->mask = std::move(dib.mask);
    icon->bitsPixel = dib.header.bitCount;
    if (cursor)
        icon->hotSpot = POINT{read16(chosen.bytes.data), read16(chosen.bytes.data + 2)};
    return icon;
}

HICON loadIcon(HMODULE module, LPCWSTR name, bool cursor, int width, int height, UINT flags) {
    bool sized = width || height || (flags & LR_DEFAULTSIZE);
    int wantWidth = width ? width : kDefaultSize, wantHeight = height ? height : kDefaultSize;
    std::vector<Candidate> images = groupImages(module, name, cursor);
    const Candidate *chosen = bestImage(images, wantWidth, wantHeight, flags & LR_MONOCHROME);
    if (!chosen)
        return nullptr;
    std::shared_ptr<posix::Icon> icon = decodeIcon(*chosen, cursor);
    if (!icon)
        return posix::failing<HICON>(nullptr, ERROR_RESOURCE_DATA_NOT_FOUND);
    if (sized && (icon->width != wantWidth || icon->height != wantHeight))
        icon = std::make_shared<posix::Icon>(posix::scaledIcon(*icon, wantWidth, wantHeight));
    icon->shared = flags & LR_SHARED;
    return posix::addIcon(icon);
}

// Shared images are loaded once per module, name, kind and size.
using SharedKey = std::tuple<HMODULE, std::u16string, UINT, int, int>;

std::u16string nameKey(LPCWSTR name) {
    if (IS_INTRESOURCE(name))
        return u"#" + std::u16string(1, char16_t(LOWORD(name)));
    std::u16string text;
    for (LPCWSTR c = name; *c; c++)
        text += *c >= u'a' && *c <= u'z' ? char16_t(*c - u'a' + u'A') : *c;
    return text;
}

HANDLE loadIconOnce(HMODULE module, LPCWSTR name, bool cursor, int width, int height, UINT flags) {
    if (!(flags & LR_SHARED))
        return loadIcon(module, name, cursor, width, height, flags);
    static std::mutex lock;
    static auto *loaded = new std::map<SharedKey, HICON>;
    SharedKey key{module, nameKey(name), cursor, width, height};
    std::lock_guard guard(lock);
    auto found = loaded->find(key);
    if (found != loaded->end() && posix::findIcon(found->second))
        return found->second;
    HICON icon = loadIcon(module, name, cursor, width, height, flags);
    if (icon)
        (*loaded)[key] = icon;
    return icon;
}

HBITMAP loadBitmap(HMODULE module, LPCWSTR name) {
    Bytes bytes = resource(module, name, kRtBitmap);
    posix::DibImage dib;
    if (!bytes.data)
        return nullptr;
    if (!posix::decodeDib(bytes.data, bytes.size, false, dib))
        return posix::failing<HBITMAP>(nullptr, ERROR_RESOURCE_DATA_NOT_FOUND);
    return posix::createBitmap(dib.header.width, dib.header.height, 32, dib.pixels);
}

HANDLE loadImage(HINSTANCE instance, LPCWSTR name, UINT type, int width, int height, UINT flags) {
    if (!name)
        return posix::failing<HANDLE>(nullptr, ERROR_INVALID_PARAMETER);
    switch (type) {
    case IMAGE_BITMAP:
        return instance ? loadBitmap(instance, name) : nullptr;
    case IMAGE_CURSOR:
        if (!instance)
            return IS_INTRESOURCE(name) && LOWORD(name) == kArrowId ? posix::arrowCursor()
                                                                    : nullptr;
        return loadIconOnce(instance, name, true, width, height, flags);
    case IMAGE_ICON:
        return instance ? loadIconOnce(instance, name, false, width, height, flags) : nullptr;
    default:
        return posix::failing<HANDLE>(nullptr, ERROR_INVALID_PARAMETER);
    }
}

// A byte name in UTF-16 (resource names are ASCII); numbers stay numbers.
std::u16string wideName(LPCSTR name) {
    std::u16string wide;
    for (LPCSTR c = name; *c; c++)
        wide += char16_t(BYTE(*c));
    return wide;
}

template <class Load> auto withWideName(LPCSTR name, Load load) {
    if (!name || IS_INTRESOURCE(name))
        return load(reinterpret_cast<LPCWSTR>(name));
    std::u16string wide = wideName(name);
    return load(wide.c_str());
}

} // namespace

HANDLE WINAPI LoadImageW(HINSTANCE instance, LPCWSTR name, UINT type, int width, int height,
                         UINT flags) {
    return loadImage(instance, name, type, width, height, flags);
}

HANDLE WINAPI LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int width, int height,
                         UINT flags) {
    return withWideName(
        name, [&](LPCWSTR wide) { return loadImage(instance, wide, type, width, height, flags); });
}

HBITMAP WINAPI LoadBitmapW(HINSTANCE instance, LPCWSTR name) {
    return static_cast<HBITMAP>(LoadImageW(instance, name, IMAGE_BITMAP, 0, 0, 0));
}

HBITMAP WINAPI LoadBitmapA(HINSTANCE instance, LPCSTR name) {
    return static_cast<HBITMAP>(LoadImageA(instance, name, IMAGE_BITMAP, 0, 0, 0));
}

// The icon of the system's icon size, shared.
HICON WINAPI LoadIconW(HINSTANCE instance, LPCWSTR name) {
    return static_cast<HICON>(
        LoadImageW(instance, name, IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
}

HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR name) {
    return static_cast<HICON>(
        LoadImageA(instance, name, IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
}

HCURSOR WINAPI LoadCursorW(HINSTANCE instance, LPCWSTR name) {
    return static_cast<HCURSOR>(
        LoadImageW(instance, name, IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
}

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name) {
    return static_cast<HCURSOR>(
        LoadImageA(instance, name, IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
}
