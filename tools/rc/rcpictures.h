// Pictures in resource lists, laid out as Windows' resource compiler lays
// them out: a BITMAP is its .bmp file without the BITMAPFILEHEADER; an
// ICON or CURSOR file becomes a directory (RT_GROUP_ICON / RT_GROUP_CURSOR)
// under the statement's name plus one RT_ICON / RT_CURSOR per image,
// numbered 1, 2, ... across the whole list, each kind on its own; a
// cursor image starts with its hot spot.
#ifndef TAVO_TOOLS_RCPICTURES_H
#define TAVO_TOOLS_RCPICTURES_H

#include "tools/rc/rcfile.h"

#include <string>
#include <vector>

constexpr unsigned kRcGroupCursor = 12;
constexpr unsigned kRcGroupIcon = 14;

struct RcPicture {
    RcName type;
    RcName name;
    std::string bytes;
};

// The next image numbers to give out.
struct RcImageNumbers {
    unsigned icon = 1;
    unsigned cursor = 1;
};

// The resources a picture file of type kRcBitmap, kRcIcon or kRcCursor
// stands for, from the file's contents. False with a problem in error
// (without the file's name) when the file is not such a picture.
bool rcPictureResources(unsigned type, const RcName &name, const std::string &contents,
                        RcImageNumbers &numbers, std::vector<RcPicture> &out, std::string &error);

#endif
