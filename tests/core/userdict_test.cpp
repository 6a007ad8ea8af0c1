// The user dictionary: how lines become entries, and when the database is
// rebuilt from the text.
#include "dict/userdict.h"
#include "frame/globdata.h"
#include "platform/posix/failure_injection.h"
#include "tests/core/test_image.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <unistd.h>

namespace {

void SetField(TCHAR *field, size_t room, const std::string &ascii) {
    size_t i = 0;
    for (; i < ascii.size() && i + 1 < room; i++)
        field[i] = (TCHAR)ascii[i];
    field[i] = 0;
}

#define SET_FIELD(field, text) SetField(field, sizeof(field) / sizeof(TCHAR), text)

void WriteBytes(const std::string &path, const std::string &bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

void SetWriteTime(const std::string &path, DWORD seconds) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    ULONGLONG ticks = (ULONGLONG)(11644473600ULL + seconds) * 10000000ULL;
    FILETIME time = {(DWORD)ticks, (DWORD)(ticks >> 32)};
    EXPECT_TRUE(SetFileTime(file, NULL, NULL, &time));
    CloseHandle(file);
}

// The two directories and file names of the record point into a scratch
// folder for each test.
class UserDictionary : public ::testing::Test {
protected:
    ScratchDir dir;
    std::string text = dir.path("user.dic"), database = dir.path("user.udb");
    void SetUp() override {
        SET_FIELD(globData.windowsDir, dir.path(""));
        SET_FIELD(globData.systemDir, dir.path(""));
        SET_FIELD(globData.userDictFile, "user.dic");
        SET_FIELD(globData.userDbFile, "user.udb");
    }
    // Builds the database from the given text and returns the data stored
    // for each key ("-" for none).
    std::vector<std::string> Compile(const std::string &bytes, std::vector<std::string> keys) {
        std::remove(database.c_str());
        WriteBytes(text, bytes);
        UpdateUserDatabase();
        ptree *tree = OpenUserDatabase();
        EXPECT_NE(tree, nullptr);
        std::vector<std::string> found;
        for (const std::string &key : keys) {
            int n = ptree_match(tree, key.c_str(), 0);
            found.push_back(n == (int)key.size() ? ptree_data(tree) : "-");
        }
        ptree_close(tree);
        return found;
    }
};

typedef std::vector<std::string> Strings;

TEST_F(UserDictionary, SeparatorsAndLetterCase) {
    EXPECT_EQ(Compile("ABC \xa7\x41\t  \xa9\x70 \n", {"abc", "ABC"}),
              Strings({"\xa7\x41\t\xa9\x70", "-"}))
        << "key lowered; runs of separators become one TAB; trailing ones dropped";
    EXPECT_EQ(Compile("nei 1\nNEI 2\nhou\t\t3   4\n", {"nei", "hou"}), Strings({"1", "3\t4"}))
        << "the first of two keys that differ only in case wins";
}

TEST_F(UserDictionary, LinesThatAreNotEntries) {
    EXPECT_EQ(Compile("nocandidates\n\nkeyonly \t \nok x\n", {"nocandidates", "keyonly", "ok"}),
              Strings({"-", "-", "x"}));
    EXPECT_EQ(Compile(" leading space\n", {"leading"}), Strings({"-"}))
        << "a line starting with a separator has an empty key that nothing matches";
    EXPECT_EQ(Compile("", {"a"}), Strings({"-"}));
}

TEST_F(UserDictionary, LineEndsAndControlBytes) {
    const char withControls[] = "a 1\r\nb 2\r\nc\x01 3\x00\x7f";
    EXPECT_EQ(Compile(std::string(withControls, sizeof withControls - 1), {"a", "b", "c"}),
              Strings({"1", "2", "3\x7f"}))
        << "CR, NUL and other control bytes vanish; a last line without LF counts";
    std::vector<BYTE> crlf = ReadWholeFile(database);
    Compile("a 1\nb 2\nc 3\x7f", {});
    EXPECT_EQ(ReadWholeFile(database), crlf) << "CR-LF and LF give the same database";
}

TEST_F(UserDictionary, MegabyteLineAndBinaryGarbage) {
    std::string huge(1 << 20, 'x');
    EXPECT_EQ(Compile("big " + huge + "\nafter 1\n", {"big", "after"}), Strings({huge, "1"}));

    std::mt19937 random(3);
    std::string garbage;
    for (int i = 0; i < 200000; i++)
        garbage += (char)(random() & 0xff);
    Compile(garbage, {"a"});
    ptree *tree = OpenUserDatabase();
    EXPECT_NE(tree, nullptr) << "whatever the text holds, the database is a valid image";
    ptree_close(tree);
}

TEST_F(UserDictionary, ReadStringSplitsLines) {
    WriteBytes(text, "one\n\ntwo\r\nthree");
    HANDLE file = CreateFileA(text.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    Strings lines;
    for (char *line; (line = ReadString(file)) != NULL; GlobalFree(line))
        lines.push_back(line);
    CloseHandle(file);
    EXPECT_EQ(lines, Strings({"one", "", "two", "three"}));
}

TEST_F(UserDictionary, RebuiltOnlyWhenTheTextIsNewer) {
    Compile("a 1\n", {});
    SetWriteTime(text, 1000);
    SetWriteTime(database, 2000);
    WriteBytes(text, "a 2\n");
    SetWriteTime(text, 1500);
    UpdateUserDatabase();
    ptree *tree = OpenUserDatabase();
    ptree_match(tree, "a", 0);
    EXPECT_STREQ(ptree_data(tree), "1") << "text older than the database: kept";
    ptree_close(tree);

    SetWriteTime(text, 3000);
    UpdateUserDatabase();
    tree = OpenUserDatabase();
    ptree_match(tree, "a", 0);
    EXPECT_STREQ(ptree_data(tree), "2") << "text newer: rebuilt";
    ptree_close(tree);
}

TEST_F(UserDictionary, NotRebuiltWhileOpenAnywhere) {
    Compile("a 1\n", {});
    WriteBytes(text, "a 2\n");
    SetWriteTime(database, 1000);
    SetWriteTime(text, 2000);
    ptree *reader = OpenUserDatabase();
    UpdateUserDatabase();
    ptree_match(reader, "a", 0);
    EXPECT_STREQ(ptree_data(reader), "1") << "an open handle in this process blocks the rebuild";
    ptree_close(reader);

    std::string command = std::string(TAVO_TEST_HELPER) + " hold " + database + " r r";
    FILE *holder = popen(command.c_str(), "w");
    ASSERT_NE(holder, nullptr);
    // The helper holds the file open (share-read) until its input closes.
    for (int i = 0; i < 200; i++) {
        HANDLE probe = CreateFileA(database.c_str(), GENERIC_READ | GENERIC_WRITE, 0, NULL,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
        if (probe == INVALID_HANDLE_VALUE)
            break;
        CloseHandle(probe);
        usleep(10000);
    }
    UpdateUserDatabase();
    pclose(holder);
    ptree *tree = OpenUserDatabase();
    ptree_match(tree, "a", 0);
    EXPECT_STREQ(ptree_data(tree), "1") << "a handle in another process blocks it too";
    ptree_close(tree);

    UpdateUserDatabase();
    tree = OpenUserDatabase();
    ptree_match(tree, "a", 0);
    EXPECT_STREQ(ptree_data(tree), "2") << "once nobody holds it, the next set-up rebuilds";
    ptree_close(tree);
}

TEST_F(UserDictionary, MissingTextKeepsTheDatabase) {
    Compile("a 1\n", {});
    std::remove(text.c_str());
    UpdateUserDatabase();
    ptree *tree = OpenUserDatabase();
    EXPECT_EQ(ptree_match(tree, "a", 0), 1);
    ptree_close(tree);
    std::remove(database.c_str());
    EXPECT_EQ(OpenUserDatabase(), nullptr);
}

// A build that memory ran out in the middle of (reading a line, adding an
// entry, or making the writer) leaves a database that the next set-up
// builds again whole, instead of one that looks up to date with entries
// missing.
TEST_F(UserDictionary, ABuildCutShortIsDoneAgainNextTime) {
    std::string bytes;
    std::vector<std::string> keys;
    for (int i = 0; i < 30; i++) {
        keys.push_back("key" + std::to_string(i));
        bytes += keys.back() + " \xa7\x41" + (i % 2 ? "\n" : "\r\n");
    }
    bytes += "last \xa7\x41"; // a last line without LF
    keys.push_back("last");
    for (LONG n = 1;; n++) {
        std::remove(database.c_str());
        WriteBytes(text, bytes);
        SetWriteTime(text, 1000000);
        tavo_FailNthCall(TAVO_FAIL_MEMORY, n);
        UpdateUserDatabase();
        bool failed = tavo_FailureHappened();
        tavo_FailNthCall(0, 0);
        UpdateUserDatabase(); // the next set-up
        ptree *tree = OpenUserDatabase();
        ASSERT_NE(tree, nullptr) << "failure " << n;
        for (const std::string &key : keys)
            ASSERT_EQ(ptree_match(tree, key.c_str(), 0), (int)key.size())
                << key << " missing after failure " << n;
        ptree_close(tree);
        if (!failed)
            break;
    }
}

TEST_F(UserDictionary, TenThousandLines) {
    std::string bytes;
    for (int i = 0; i < 10000; i++)
        bytes += "key" + std::to_string(i * 7919 % 10007) + " \xa7\x41 \xa6\x6e\n";
    EXPECT_EQ(Compile(bytes, {"key0", "key7919"}),
              Strings({"\xa7\x41\t\xa6\x6e", "\xa7\x41\t\xa6\x6e"}));
}

} // namespace
