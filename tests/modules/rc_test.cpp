// The resource compiler: reading resource lists, laying out string
// tables as Windows does, and the tavorc command.
#include "tests/platform/scratch_folder.h"
#include "tools/rc/rcfile.h"
#include "tools/rc/rcstrings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

class ResourceLists : public ::testing::Test {
protected:
    std::string write(const std::string &name, const std::string &contents) {
        std::ofstream(folder.file(name), std::ios::binary) << contents;
        return folder.file(name);
    }

    bool read(const std::string &contents) {
        error.clear();
        return rc_readScript(write("test.rc", contents), script, error);
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
    };
    for (const Case &test : cases) {
        EXPECT_FALSE(read(test.script)) << test.script;
        EXPECT_NE(error.find("test.rc" + std::string(test.where)), std::string::npos) << error;
        EXPECT_NE(error.find(test.what), std::string::npos) << error;
    }
}

TEST_F(ResourceLists, StringTablesAreLaidOutInBlocksOfSixteen) {
    auto blocks = rc_stringBlocks({{1, "ab"}, {15, "字"}, {16, ""}, {40, "\xF0\x9F\x98\x80"}});
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

} // namespace
