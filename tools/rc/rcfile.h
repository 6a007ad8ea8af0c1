// Reading the modules' resource lists: the subset of the Windows resource
// script that they use, shared by the resource compiler and the tests.
//
//   #pragma code_page(65001)          the script is UTF-8 (no other is)
//   #include <windows.h>              system headers are ignored
//   LANGUAGE primary, secondary       ignored: one language
//   STRINGTABLE BEGIN id "text" ... END
//   name TYPE "file"                  TYPE: RCDATA, BITMAP, ICON, CURSOR
//                                     or a word of one's own, like WAVE
//   name DIALOG[EX] x, y, cx, cy      a dialog template: STYLE, EXSTYLE,
//     [STYLE|CAPTION|FONT...]         CAPTION and FONT, then the controls
//     BEGIN controls END              (see rcdialog.h)
//   name VERSIONINFO ... BEGIN ... END  the version resource (rcversion.h)
//
// Names are numbers or words; words are kept in upper case, as Windows
// keeps them. Memory options (PRELOAD, DISCARDABLE...) are accepted.
#ifndef TAVO_TOOLS_RCFILE_H
#define TAVO_TOOLS_RCFILE_H

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// A resource type or name: a number, or a word in upper case.
struct RcName {
    bool isNumber = true;
    unsigned number = 0;
    std::string text;

    bool operator<(const RcName &other) const {
        if (isNumber != other.isNumber)
            return isNumber; // numbers first, as Windows orders them
        return isNumber ? number < other.number : text < other.text;
    }
    bool operator==(const RcName &other) const { return !(*this < other) && !(other < *this); }
};

// A resource whose contents are a file's bytes.
struct RcFileResource {
    RcName type;
    RcName name;
    std::string file; // as written, with '/' for '\'
    int line;
};

// A control of a dialog, as its template holds it.
struct RcControl {
    std::string text; // UTF-8, unless the text is an ordinal
    bool textIsOrdinal = false;
    unsigned ordinal = 0;   // an icon's resource number
    unsigned classAtom = 0; // 0x80 Button, 0x82 Static...; 0: className
    std::string className;
    uint32_t id = 0;
    uint32_t style = 0;
    uint32_t exStyle = 0;
    uint32_t helpId = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    int line = 0;
};

struct RcDialog {
    RcName name;
    int line = 0;
    uint32_t style = 0;
    uint32_t exStyle = 0;
    uint32_t helpId = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    std::string caption;  // UTF-8
    bool hasFont = false; // DS_SETFONT is then in style
    unsigned fontSize = 0, fontWeight = 0, fontItalic = 0, fontCharset = 0;
    std::string typeface;
    std::vector<RcControl> controls;
};

// A version resource (see rcversion.h): a BLOCK (with children) or a VALUE (a text, or 16-bit
// numbers).
struct RcVersionNode {
    std::string key; // UTF-8
    bool isBlock = false;
    bool isText = false;
    std::string text; // UTF-8
    std::vector<uint16_t> numbers;
    std::vector<RcVersionNode> children;
};

struct RcVersion {
    RcName name;
    int line = 0;
    uint32_t fileVersion[2] = {0, 0}; // most and least significant halves
    uint32_t productVersion[2] = {0, 0};
    uint32_t flagsMask = 0, flags = 0, os = 0, type = 0, subtype = 0;
    std::vector<RcVersionNode> children;
};

struct RcScript {
    std::map<unsigned, std::string> strings; // string-table texts, UTF-8
    std::map<unsigned, int> stringLines;     // where each was given
    std::vector<RcFileResource> files;
    std::vector<RcDialog> dialogs;
    std::vector<RcVersion> versions;
};

// The standard types by their Windows numbers.
constexpr unsigned kRcCursor = 1;
constexpr unsigned kRcBitmap = 2;
constexpr unsigned kRcIcon = 3;
constexpr unsigned kRcDialog = 5;
constexpr unsigned kRcString = 6;
constexpr unsigned kRcData = 10;
constexpr unsigned kRcVersion = 16;

// The script at path. False with an error naming the file and line when
// it can't be read or holds what isn't understood.
bool rcReadScript(const std::string &path, RcScript &script, std::string &error);

// The STRINGTABLE entries of a resource script, texts in UTF-8.
bool rcReadStringTable(const std::string &path, std::map<unsigned, std::string> &strings,
                       std::string &error);

#endif
