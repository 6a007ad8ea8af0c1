// The resource compiler: reading resource lists, laying out string
// tables as Windows does, and the tavorc command.
#include "tests/platform/scratch_folder.h"
#include "tools/rc/rcdlgtemplate.h"
#include "tools/rc/rcfile.h"
#include "tools/rc/rcpictures.h"
#include "tools/rc/rcstrings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

using namespace std::string_literals;

class ResourceLists : public ::testing::Test {
protected:
    std::string write(const std::string &name, const std::string &contents) {
        std::ofstream(folder.file(name), std::ios::binary) << contents;
        return folder.file(name);
    }

    bool read(const std::string &contents) {
        error.clear();
        return rcReadScript(write("test.rc", contents), script, error);
    }

    // Runs tavorc in the scratch folder; its exit status.
    int tavorc(const std::string &arguments) {
        std::string command =
            "cd '" + folder.path() + "' && '" + TAVORC + "' " + arguments + " 2> errors";
        int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string contents(const std::string &name) {
        std::ifstream in(folder.file(name), std::ios::binary);
        std::ostringstream all;
        all << in.rdbuf();
        return all.str();
    }

    ScratchFolder folder;
    RcScript script;
    std::string error;
};

RcName number(unsigned value) {
    return RcName{true, value, ""};
}

RcName word(const std::string &text) {
    return RcName{false, 0, text};
}

TEST_F(ResourceLists, ReadsWhatTheModulesUse) {
    ASSERT_TRUE(read("\xEF\xBB\xBF// a list\n"
                     "#pragma code_page(65001)\n"
                     "#include <windows.h>\n"
                     "LANGUAGE 0x04, 0x03\n"
                     "/* a comment\n over lines */\n"
                     "STRINGTABLE DISCARDABLE\n"
                     "BEGIN\n"
                     "    1, \"one\"\n"
                     "    2 L\"say \"\"hi\"\"\\n\"\n"
                     "    0x10 \"\xE5\xAD\x97\"\n"
                     "END\n"
                     "STRINGTABLE { 3 \"\" }\n"
                     "1 RCDATA \"data\\\\dict.img\"\n"
                     "beep WAVE PRELOAD DISCARDABLE \"beep.wav\"\n"
                     "2 BITMAP \"a.bmp\"\n"
                     "3 ICON \"a.ico\"\n"
                     "4 CURSOR \"a.cur\"\n"
                     "5 24 \"manifest.xml\"\n"
                     "100 DIALOGEX 0, 0, 10, 10\n"
                     "CAPTION \"x\"\n"
                     "BEGIN\n  CONTROL \"\", 1, \"Button\", 0, 0, 0, 1, 1\nEND\n"))
        << error;
    EXPECT_EQ(script.strings, (std::map<unsigned, std::string>{
                                  {1, "one"}, {2, "say \"hi\"\n"}, {3, ""}, {16, "字"}}));
    ASSERT_EQ(script.files.size(), 6u);
    EXPECT_EQ(script.files[0].type, number(kRcData));
    EXPECT_EQ(script.files[0].file, "data/dict.img");
    EXPECT_EQ(script.files[0].line, 14);
    EXPECT_EQ(script.files[1].type, word("WAVE"));
    EXPECT_EQ(script.files[1].name, word("BEEP"));
    EXPECT_EQ(script.files[2].type, number(kRcBitmap));
    EXPECT_EQ(script.files[3].type, number(kRcIcon));
    EXPECT_EQ(script.files[4].type, number(kRcCursor));
    EXPECT_EQ(script.files[5].type, number(24));
}

TEST_F(ResourceLists, ErrorsNameTheFileAndLine) {
    struct Case {
        const char *script;
        const char *where;
        const char *what;
    };
    const Case cases[] = {
        {"STRINGTABLE\nBEGIN\n 1 \"open\nEND\n", ":3:", "not closed"},
        {"STRINGTABLE\nBEGIN\n 1 \"a\"\n 1 \"b\"\nEND\n", ":4:", "twice"},
        {"STRINGTABLE\nBEGIN\n 70000 \"a\"\nEND\n", ":3:", "too large"},
        {"STRINGTABLE\nBEGIN\n 1 \"a\"\n", ":3:", "not closed"},
        {"STRINGTABLE\nBEGIN\n one \"a\"\nEND\n", ":3:", "not a string-table entry"},
        {"STRINGTABLE\nBEGIN\n 1 \"\xFF\"\nEND\n", ":3:", "UTF-8"},
        {"#pragma code_page(950)\n", ":1:", "UTF-8"},
        {"\n#define IDS_ONE 1\n", ":2:", "not supported"},
        {"#include \"resource.h\"\n", ":1:", "not supported"},
        {"1 RCDATA \"a\"\n1 RCDATA \"b\"\n", ":2:", "twice"},
        {"1 MENU\nBEGIN\nEND\n", ":1:", "MENU resources are not supported"},
        {"1 RCDATA\nBEGIN\n 1, 2\nEND\n", ":2:", "from a file"},
        {"1 RCDATA\n", ":1:", "file name"},
        {"1 DIALOG 0, 0, 1, 1\nBEGIN\n", ":2:", "not closed"},
        {"/* open\n", ":1:", "comment"},
        {"LANGUAGE 4\n", ":1:", "LANGUAGE"},
        {"1 DIALOGEX 0, 0, 1, 1\nSTYLE WS_BOGUS\nBEGIN\nEND\n", ":2:", "unknown name: WS_BOGUS"},
        {"1 DIALOGEX 0, 0, 1, 1\nMENU 2\nBEGIN\nEND\n", ":2:", "not supported: MENU"},
        {"1 DIALOGEX 0, 0, 1, 1\nBEGIN\n EDITTEXT 1, 0, 0, 1, 1\nEND\n", ":3:", "EDITTEXT"},
        {"1 DIALOGEX 0, 0, 1, 1\nBEGIN\n LTEXT \"a\" 1, 0, 0, 1, 1\nEND\n", ":3:", "comma"},
        {"1 DIALOGEX 0, 0, 1, 1\nBEGIN\n LTEXT \"a\", 1, 0, 0, 1, 40000\nEND\n",
         ":3:", "out of range"},
        {"1 DIALOGEX 0, 0, 1, 1\nBEGIN\n LTEXT 1, 1, 0, 0, 1, 1\nEND\n", ":3:", "quoted text"},
        {"1 DIALOG 0, 0, 1, 1 BEGIN END\n1 DIALOG 0, 0, 1, 1 BEGIN END\n", ":2:", "twice"},
    };
    for (const Case &test : cases) {
        EXPECT_FALSE(read(test.script)) << test.script;
        EXPECT_NE(error.find("test.rc" + std::string(test.where)), std::string::npos) << error;
        EXPECT_NE(error.find(test.what), std::string::npos) << error;
    }
}

TEST_F(ResourceLists, StringTablesAreLaidOutInBlocksOfSixteen) {
    auto blocks = rcStringBlocks({{1, "ab"}, {15, "字"}, {16, ""}, {40, "\xF0\x9F\x98\x80"}});
    std::u16string first(16, u'\0');
    first.replace(1, 1,
                  u"\x02"
                  u"ab");
    first.replace(17, 1,
                  u"\x01"
                  u"字");
    ASSERT_EQ(blocks.size(), 3u);
    EXPECT_EQ(blocks[1], first);
    EXPECT_EQ(blocks[2], std::u16string(16, u'\0'));
    std::u16string third(16, u'\0');
    third.replace(8, 1, u"\x02\U0001F600");
    EXPECT_EQ(blocks[3], third);
}

TEST_F(ResourceLists, CompilerFindsFilesBesideTheListThenInIncludeFolders) {
    std::filesystem::create_directories(folder.file("list"));
    std::filesystem::create_directories(folder.file("generated"));
    write("list/a.bin", "beside");
    write("generated/b.bin", "generated");
    write("list/test.rc", "1 RCDATA \"a.bin\"\n2 RCDATA \"b.bin\"\n");
    ASSERT_EQ(tavorc("-I generated --depfile out.d list/test.rc out.cpp"), 0) << contents("errors");
    std::string source = contents("out.cpp");
    EXPECT_NE(source.find(".incbin \\\"" + folder.file("list/a.bin")), std::string::npos);
    EXPECT_NE(source.find(".incbin \\\"" + folder.file("generated/b.bin")), std::string::npos);
    std::string depends = contents("out.d");
    EXPECT_EQ(depends.rfind("out.cpp: list/test.rc", 0), 0u) << depends;
    EXPECT_NE(depends.find(folder.file("generated/b.bin")), std::string::npos);
}

TEST_F(ResourceLists, CompilerFailsWithoutWritingAnything) {
    write("test.rc", "\n1 RCDATA \"missing.bin\"\n");
    EXPECT_EQ(tavorc("test.rc out.cpp"), 1);
    EXPECT_NE(contents("errors").find("test.rc:2: cannot find missing.bin"), std::string::npos)
        << contents("errors");
    EXPECT_FALSE(std::filesystem::exists(folder.file("out.cpp")));
    EXPECT_FALSE(std::filesystem::exists(folder.file("out.cpp.tmp")));
    EXPECT_EQ(tavorc("test.rc"), 2);
    EXPECT_EQ(tavorc("--bogus test.rc out.cpp"), 2);
}

// A dialog template read back, as DialogBox reads it.
struct TemplateItem {
    uint32_t helpId, exStyle, style;
    int16_t x, y, cx, cy;
    uint32_t id;
    std::u16string windowClass; // "\xFFFF" and the atom for an atom
    std::u16string title;       // likewise for an ordinal
    size_t offset;              // in units from the start
};

struct TemplateReader {
    const std::u16string &units;
    size_t at = 0;

    char16_t unit() { return at < units.size() ? units[at++] : 0xDEAD; }
    uint32_t dword() {
        uint32_t low = unit();
        return low | uint32_t(unit()) << 16;
    }
    // A string, or an ordinal as 0xFFFF and its number.
    std::u16string nameOrOrdinal() {
        if (at < units.size() && units[at] == 0xFFFF) {
            at += 2;
            return units.substr(at - 2, 2);
        }
        std::u16string text;
        for (char16_t c = unit(); c != 0 && at <= units.size(); c = unit())
            text += c;
        return text;
    }
    TemplateItem item() {
        at += at % 2;
        TemplateItem item{};
        item.offset = at;
        item.helpId = dword();
        item.exStyle = dword();
        item.style = dword();
        item.x = int16_t(unit());
        item.y = int16_t(unit());
        item.cx = int16_t(unit());
        item.cy = int16_t(unit());
        item.id = dword();
        item.windowClass = nameOrOrdinal();
        item.title = nameOrOrdinal();
        EXPECT_EQ(unit(), 0) << "creation data";
        return item;
    }
};

constexpr uint32_t kChildVisible = 0x50000000;
constexpr uint32_t kGroup = 0x00020000;
constexpr uint32_t kTabStop = 0x00010000;
const std::u16string kButtonAtom = u"\xFFFF\x0080"s;
const std::u16string kStaticAtom = u"\xFFFF\x0082"s;

TEST_F(ResourceLists, DialogsAreLaidOutAsExtendedTemplates) {
    ASSERT_TRUE(read("#include <windows.h>\n"
                     "7 DIALOGEX DISCARDABLE 1, 2, 300, -4, 99\n"
                     "STYLE DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION\n"
                     "EXSTYLE 0x10\n"
                     "CAPTION \"Hi \xE5\xAD\x97\"\n"
                     "FONT 12, \"PMingLiu\", 700, 1, 136\n"
                     "BEGIN\n"
                     "  ICON 512, -1, 10, 10, 16, 16\n"
                     "  LTEXT \"ab\", IDC_STATIC, 30, 10, 80, 14\n"
                     "  AUTOCHECKBOX \"c\", 256, 10, 30, 160, 14, WS_GROUP | NOT WS_TABSTOP\n"
                     "  DEFPUSHBUTTON \"OK\", IDOK, 40, 130, 40, 15\n"
                     "  CONTROL \"x\", 9, \"MyClass\", 0x5, 1, 2, 3, 4, 0x20, 77\n"
                     "END\n"))
        << error;
    ASSERT_EQ(script.dialogs.size(), 1u);
    std::u16string units = rcDialogTemplate(script.dialogs[0]);
    const std::u16string head = u"\x0001\xFFFF"
                                u"\x0063\x0000"             // help id 99
                                u"\x0010\x0000"             // extended style
                                u"\x00C0\x80C0"             // style
                                u"\x0005"                   // controls
                                u"\x0001\x0002\x012C\xFFFC" // x, y, cx, cy
                                u"\x0000\x0000"             // no menu, standard class
                                u"Hi 字\x0000"
                                u"\x000C\x02BC\x8801" // size, weight, italic and charset
                                u"PMingLiu\x0000"s;
    ASSERT_EQ(units.substr(0, head.size()), head);
    TemplateReader reader{units, head.size()};
    TemplateItem icon = reader.item();
    EXPECT_EQ(icon.offset % 2, 0u);
    EXPECT_EQ(icon.style, kChildVisible | 0x3);
    EXPECT_EQ(icon.id, 0xFFFFFFFFu);
    EXPECT_EQ(icon.windowClass, kStaticAtom);
    EXPECT_EQ(icon.title, std::u16string(u"\xFFFF\x0200"));
    EXPECT_EQ(std::vector<int>({icon.x, icon.y, icon.cx, icon.cy}),
              std::vector<int>({10, 10, 0, 0}))
        << "an icon takes its icon's size";
    TemplateItem text = reader.item();
    EXPECT_EQ(text.offset % 2, 0u);
    EXPECT_EQ(text.style, kChildVisible | kGroup);
    EXPECT_EQ(text.title, u"ab");
    TemplateItem box = reader.item();
    EXPECT_EQ(box.style, kChildVisible | kGroup | 0x3);
    EXPECT_EQ(box.id, 256u);
    EXPECT_EQ(box.windowClass, kButtonAtom);
    TemplateItem ok = reader.item();
    EXPECT_EQ(ok.style, kChildVisible | kTabStop | 0x1);
    EXPECT_EQ(ok.id, 1u);
    TemplateItem custom = reader.item();
    EXPECT_EQ(custom.windowClass, u"MyClass");
    EXPECT_EQ(custom.style, kChildVisible | 0x5);
    EXPECT_EQ(custom.exStyle, 0x20u);
    EXPECT_EQ(custom.helpId, 77u);
    EXPECT_EQ(reader.at, units.size());
}

TEST_F(ResourceLists, DialogStylesDefaultAsWindowsSetsThem) {
    ASSERT_TRUE(read("1 DIALOG 0, 0, 10, 10\nCAPTION \"t\"\nBEGIN\nEND\n"
                     "2 DIALOGEX 0, 0, 10, 10\nFONT 8, \"f\"\nBEGIN\nEND\n"))
        << error;
    ASSERT_EQ(script.dialogs.size(), 2u);
    EXPECT_EQ(script.dialogs[0].style, 0x80C80000u); // popup, border, system menu, caption
    EXPECT_EQ(script.dialogs[1].style, 0x80880040u); // and DS_SETFONT, no caption
    std::u16string units = rcDialogTemplate(script.dialogs[1]);
    EXPECT_EQ(units.substr(units.size() - 5), u"\x0008\x0000\x0100"
                                              u"f\x0000"s)
        << "weight 0, not italic, the default character set";
}

TEST_F(ResourceLists, CompilerStoresDialogsAsRtDialog) {
    write("test.rc", "3 DIALOGEX 0, 0, 1, 1\nBEGIN\n LTEXT \"a\", 1, 0, 0, 1, 1\nEND\n");
    ASSERT_EQ(tavorc("test.rc out.cpp"), 0) << contents("errors");
    EXPECT_NE(contents("out.cpp").find("{nullptr, 5, nullptr, 3, "), std::string::npos);
}

// Pictures as their files hold them, made byte by byte.
std::string le16(unsigned value) {
    return {char(value & 0xFF), char(value >> 8 & 0xFF)};
}

std::string le32(uint32_t value) {
    return le16(value & 0xFFFF) + le16(value >> 16);
}

// A DIB of width x rows pixels at bits per pixel (rows counts an icon's
// mask too), its colour table and pixel bytes filled with a marker.
std::string dibOf(unsigned width, unsigned rows, unsigned bits, char marker) {
    unsigned colours = bits <= 8 ? 1u << bits : 0;
    unsigned stride = (width * bits + 31) / 32 * 4;
    std::string header = le32(40) + le32(width) + le32(rows) + le16(1) + le16(bits) + le32(0) +
                         le32(stride * rows) + le32(0) + le32(0) + le32(colours) + le32(0);
    return header + std::string(colours * 4, '\0') + std::string(stride * rows, marker);
}

// An .ico or .cur file: (width, bits or hot spot, image) for each image.
struct FileImage {
    unsigned size;
    unsigned first, second; // planes and bits, or the hot spot
    std::string image;
};

std::string iconFile(bool cursor, const std::vector<FileImage> &images) {
    std::string out = le16(0) + le16(cursor ? 2 : 1) + le16(unsigned(images.size()));
    uint32_t offset = uint32_t(6 + 16 * images.size());
    std::string data;
    for (const FileImage &image : images) {
        out += std::string{char(image.size), char(image.size), char(cursor ? 2 : 16), 0};
        out += le16(image.first) + le16(image.second) + le32(uint32_t(image.image.size())) +
               le32(offset + uint32_t(data.size()));
        data += image.image;
    }
    return out + data;
}

TEST(Pictures, BitmapsLoseTheirFileHeader) {
    std::string dib = dibOf(24, 24, 4, 'x');
    std::string file = "BM" + le32(uint32_t(14 + dib.size())) + le32(0) + le32(14 + 40 + 64) + dib;
    RcImageNumbers numbers;
    std::vector<RcPicture> out;
    std::string error;
    ASSERT_TRUE(rcPictureResources(kRcBitmap, number(256), file, numbers, out, error)) << error;
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].type, number(kRcBitmap));
    EXPECT_EQ(out[0].name, number(256));
    EXPECT_EQ(out[0].bytes, dib);
    EXPECT_FALSE(
        rcPictureResources(kRcBitmap, number(1), "BA" + file.substr(2), numbers, out, error));
    EXPECT_EQ(error, "not a bitmap file");
}

TEST(Pictures, IconFilesBecomeAGroupAndImagesNumberedAcrossTheList) {
    std::string small = dibOf(16, 32, 4, 's'), large = dibOf(32, 64, 8, 'l');
    std::string file = iconFile(false, {{16, 1, 4, small}, {32, 0, 0, large}});
    RcImageNumbers numbers;
    std::vector<RcPicture> out;
    std::string error;
    ASSERT_TRUE(rcPictureResources(kRcIcon, number(256), file, numbers, out, error)) << error;
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[0].type, number(kRcIcon));
    EXPECT_EQ(out[0].name, number(1));
    EXPECT_EQ(out[0].bytes, small);
    EXPECT_EQ(out[1].name, number(2));
    EXPECT_EQ(out[1].bytes, large);
    EXPECT_EQ(out[2].type, number(kRcGroupIcon));
    EXPECT_EQ(out[2].name, number(256));
    std::string group = le16(0) + le16(1) + le16(2) + std::string{16, 16, 16, 0} + le16(1) +
                        le16(4) + le32(uint32_t(small.size())) + le16(1) +
                        // planes and bits left 0 in the file come from the image
                        std::string{32, 32, 16, 0} + le16(1) + le16(8) +
                        le32(uint32_t(large.size())) + le16(2);
    EXPECT_EQ(out[2].bytes, group);

    out.clear();
    ASSERT_TRUE(rcPictureResources(kRcIcon, word("OTHER"), file, numbers, out, error));
    EXPECT_EQ(out[0].name, number(3)) << "numbers go on from the last icon";
    EXPECT_EQ(out[2].bytes.substr(out[2].bytes.size() - 2), le16(4));
}

TEST(Pictures, CursorImagesStartWithTheirHotSpot) {
    std::string image = dibOf(32, 64, 1, 'c');
    std::string file = iconFile(true, {{32, 13, 6, image}});
    RcImageNumbers numbers;
    numbers.icon = 7;
    std::vector<RcPicture> out;
    std::string error;
    ASSERT_TRUE(rcPictureResources(kRcCursor, number(256), file, numbers, out, error)) << error;
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0].type, number(kRcCursor));
    EXPECT_EQ(out[0].name, number(1)) << "cursors are numbered on their own";
    EXPECT_EQ(out[0].bytes, le16(13) + le16(6) + image);
    EXPECT_EQ(out[1].type, number(kRcGroupCursor));
    // Width, twice the height, planes, bits, size with the hot spot, number.
    EXPECT_EQ(out[1].bytes, le16(0) + le16(2) + le16(1) + le16(32) + le16(64) + le16(1) + le16(1) +
                                le32(uint32_t(image.size() + 4)) + le16(1));
    EXPECT_EQ(numbers.icon, 7u);
    EXPECT_EQ(numbers.cursor, 2u);
}

TEST(Pictures, DamagedIconFilesAreRefused) {
    std::string image = dibOf(16, 32, 4, 'x');
    std::string good = iconFile(false, {{16, 1, 4, image}});
    struct Case {
        std::string file;
        bool cursor;
        const char *problem;
    };
    const Case cases[] = {
        {good, true, "not a cursor file"},
        {iconFile(true, {{16, 0, 0, image}}), false, "not an icon file"},
        {good.substr(0, 10), false, "directory runs past the end"},
        {good.substr(0, good.size() - 1), false, "image 1 lies outside the file"},
        {le16(0) + le16(1) + le16(0), false, "holds no image"},
        {"", false, "not an icon file"},
    };
    for (const Case &test : cases) {
        RcImageNumbers numbers;
        std::vector<RcPicture> out;
        std::string error;
        EXPECT_FALSE(rcPictureResources(test.cursor ? kRcCursor : kRcIcon, number(1), test.file,
                                        numbers, out, error));
        EXPECT_EQ(error, test.problem);
    }
}

TEST_F(ResourceLists, CompilerStoresPicturesUnderTheirWindowsTypes) {
    std::string dib = dibOf(2, 2, 4, 'b');
    write("a.bmp", "BM" + le32(uint32_t(14 + dib.size())) + le32(0) + le32(118) + dib);
    write("a.ico", iconFile(false, {{16, 1, 4, dibOf(16, 32, 4, 'i')}}));
    write("a.cur", iconFile(true, {{32, 13, 6, dibOf(32, 64, 1, 'c')}}));
    write("test.rc", "5 BITMAP \"a.bmp\"\n6 ICON \"a.ico\"\nHAND CURSOR \"a.cur\"\n");
    ASSERT_EQ(tavorc("--depfile out.d test.rc out.cpp"), 0) << contents("errors");
    std::string source = contents("out.cpp");
    for (const char *entry :
         {"{nullptr, 1, nullptr, 1, ", "{nullptr, 2, nullptr, 5, ", "{nullptr, 3, nullptr, 1, ",
          "{nullptr, 12, \"HAND\", 0, ", "{nullptr, 14, nullptr, 6, "})
        EXPECT_NE(source.find(entry), std::string::npos) << entry;
    EXPECT_NE(source.find(std::to_string(dib.size()) + "u}"), std::string::npos);
    EXPECT_NE(contents("out.d").find(folder.file("a.ico")), std::string::npos);

    write("bad.rc", "\n1 ICON \"a.bmp\"\n");
    EXPECT_EQ(tavorc("bad.rc out.cpp"), 1);
    EXPECT_NE(contents("errors").find("bad.rc:2: " + folder.file("a.bmp") + ": not an icon file"),
              std::string::npos)
        << contents("errors");
}

// The modules' lists as the modules are built from them.
class ModuleLists : public ResourceLists {
protected:
    std::string generated(const std::string &module) {
        return std::string(TAVO_RESOURCE_BUILD_DIR) + "/" + module;
    }
    std::string list(const std::string &module) {
        return std::string(TAVO_SOURCE_DIR) + "/resources/" + module + "/" + module + ".rc";
    }
    std::string fullWidth(const std::string &module) {
        std::ifstream in(generated(module) + "/fullwidth.bin", std::ios::binary);
        std::ostringstream all;
        all << in.rdbuf();
        return all.str();
    }
};

TEST_F(ModuleLists, CompileWithTheSettingsDialog) {
    const uint32_t ids[] = {0xFFFFFFFF, 0xFFFFFFFF, 256, 257, 259, 260, 261, 258, 1, 2};
    for (const char *module : {"vexa", "ruda"}) {
        EXPECT_EQ(tavorc("-I '" + generated(module) + "' -I '" TAVO_DATABASE_DIR "' '" +
                         list(module) + "' out.cpp"),
                  0)
            << contents("errors");
        ASSERT_TRUE(rcReadScript(list(module), script, error)) << error;
        ASSERT_EQ(script.dialogs.size(), 1u);
        const RcDialog &dialog = script.dialogs[0];
        EXPECT_EQ(dialog.name, number(256));
        ASSERT_EQ(dialog.controls.size(), std::size(ids));
        for (size_t i = 0; i < std::size(ids); i++)
            EXPECT_EQ(dialog.controls[i].id, ids[i]) << module << " control " << i;
        EXPECT_EQ(std::vector<int>({dialog.x, dialog.y, dialog.cx, dialog.cy}),
                  std::vector<int>({32, 40, 180, 155}));
        EXPECT_EQ(dialog.controls[0].ordinal, 512u);
        EXPECT_EQ(dialog.controls[2].style & kGroup, kGroup);
        EXPECT_EQ(dialog.controls[8].style & 0xF, 1u) << "the default push button";
        EXPECT_EQ(dialog.hasFont, std::string(module) == "vexa");
        EXPECT_EQ(script.strings[256], std::string(module) == "vexa" ? "VEXAIme" : "RUDAIme");
        std::vector<std::pair<unsigned, unsigned>> pictures;
        for (const RcFileResource &file : script.files)
            if (file.type.number != kRcData && file.type.isNumber)
                pictures.emplace_back(file.type.number, file.name.number);
        EXPECT_EQ(pictures, (std::vector<std::pair<unsigned, unsigned>>{{kRcBitmap, 256},
                                                                        {kRcBitmap, 257},
                                                                        {kRcBitmap, 258},
                                                                        {kRcBitmap, 259},
                                                                        {kRcIcon, 256},
                                                                        {kRcIcon, 512},
                                                                        {kRcCursor, 256}}))
            << module;
        std::ifstream in(list(module));
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(text.find('\\'), std::string::npos)
            << "paths with forward slashes, for every resource compiler";
    }
    EXPECT_EQ(script.dialogs[0].caption, "Tesvani--Lumora 1.3 版");
}

TEST_F(ModuleLists, FullWidthTablesHoldEachModulesForms) {
    struct Case {
        char c;
        const char *vexa; // the entry's bytes as stored
        const char *ruda;
    };
    const Case cases[] = {{'A', "\x21\xFF", "\xA2\xCF"},  {' ', "\x00\x30", "\xA1\x40"},
                          {'"', "\x1D\x20", "\xA1\xA8"},  {'^', "\x3E\xFF", "\xA1\x73"},
                          {'_', "\x3F\xFF", "\xA1\xC5"},  {'/', "\x0F\xFF", "\xA2\x41"},
                          {'\\', "\x3C\xFF", "\xA2\x42"}, {'~', "\x5E\xFF", "\xA1\xE3"},
                          {'`', "\x18\x20", "\xA1\xA5"}};
    std::string vexa = fullWidth("vexa"), ruda = fullWidth("ruda");
    ASSERT_EQ(vexa.size(), 190u);
    ASSERT_EQ(ruda.size(), 190u);
    for (const Case &test : cases) {
        size_t at = size_t(test.c - 0x20) * 2;
        EXPECT_EQ(vexa.substr(at, 2), std::string(test.vexa, 2)) << test.c;
        EXPECT_EQ(ruda.substr(at, 2), std::string(test.ruda, 2)) << test.c;
    }
}

} // namespace
