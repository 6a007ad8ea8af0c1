// Looking up the readings of a text in a dictionary image.
#include "dict/lookup.h"
#include "dict/text.h"
#include "tests/core/test_image.h"

#include "tests/core/test_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Big5 of the characters used here.
#define YAN "\xBB\xC8"  // 銀
#define HONG "\xA6\xE6" // 行
#define NEI "\xA7\x41"  // 你
#define HOU "\xA6\x6E"  // 好
#define GE "\x9D\xEF"   // 嘅, a supplementary character
#define NGO "\xA7\xDA"  // 我
#define BAA "\xAA\xA8"  // 爸
#define GOK "\xA8\xA4"  // 角

std::string Code(int initial, int final, int tone) {
    return {char(0x80 | (initial << 2) | (final >> 4)), char(((final & 15) << 3) | tone)};
}

const std::string ngan4 = Code(11, 22, 4), ngan2 = Code(11, 22, 2);
const std::string hang4 = Code(12, 29, 4), hong4 = Code(12, 32, 4);
const std::string hou2 = Code(12, 16, 2), hou3 = Code(12, 16, 3);
const std::string ge3 = Code(9, 2, 3);
// Codes whose second byte is TAB (baa1) or LF (gok3, a stop final).
const std::string baa1 = Code(1, 1, 1), baa4 = Code(1, 1, 4), gok3 = Code(9, 49, 2);

class LookupCantoneseTest : public testing::Test {
protected:
    void Open(const ImageEntries &entries) {
        image = BuildImage("TAVO dictionary database", entries);
        dict = ptree_open(image.data(), (DWORD)image.size());
        ASSERT_NE(dict, nullptr);
    }
    void SetUp() override {
        Open({{YAN, ngan4 + "\t" + ngan2},
              {HONG, hang4 + "\t" + hong4},
              {YAN HONG, ngan4 + hong4},
              {HOU, hou2 + "\t" + hou3},
              {GE, ge3}});
    }
    void TearDown() override { ptree_close(dict); }

    std::string Lookup(const char *big5) {
        char *codes = LookupCantonese(dict, Text(big5).c_str());
        EXPECT_NE(codes, nullptr);
        if (!codes)
            return "";
        std::string result = codes;
        GlobalFree(codes);
        return result;
    }

    std::vector<BYTE> image;
    ptree *dict = nullptr;
};

TEST_F(LookupCantoneseTest, PrefersTheLongestWord) {
    EXPECT_EQ(Lookup(YAN HONG), ngan4 + hong4);
    EXPECT_EQ(Lookup(HONG YAN HONG YAN), hang4 + ngan4 + hong4 + ngan4);
}

TEST_F(LookupCantoneseTest, PassesSingleBytesAndDropsUnknownCharacters) {
    EXPECT_EQ(Lookup(YAN HONG "1"), ngan4 + hong4 + "1");
    EXPECT_EQ(Lookup("a " GE ", b"), "a " + ge3 + ", b");
    EXPECT_EQ(Lookup(NEI HOU NEI "x" NEI), hou2 + "x");
    EXPECT_EQ(Lookup(""), "");
    EXPECT_EQ(LookupCantonese(dict, nullptr), nullptr);
}

#ifndef UNICODE
TEST_F(LookupCantoneseTest, PassesALoneLeadByteAtTheEndThrough) {
    EXPECT_EQ(Lookup(YAN "\xA7"), ngan4 + "\xA7");
}
#endif

TEST_F(LookupCantoneseTest, KeepsAReadingLongerThanItsWord) {
    // A damaged dictionary must not make the result overflow.
    ptree_close(dict);
    std::string longReading = ngan4 + hang4 + hou2 + ge3 + ngan2;
    Open({{NGO, longReading + "\t" + hou3}});
    EXPECT_EQ(Lookup(NGO), longReading);
    EXPECT_EQ(Lookup(NGO "a" NGO NGO), longReading + "a" + longReading + longReading);
}

TEST_F(LookupCantoneseTest, CodesHoldingTabOrLineFeedStayWhole) {
    ASSERT_EQ(baa1[1], '\t');
    ASSERT_EQ(gok3[1], '\n');
    ptree_close(dict);
    Open({{BAA, baa1 + "\t" + baa4}, {BAA BAA, baa1 + baa1}, {GOK, gok3}});
    EXPECT_EQ(Lookup(BAA), baa1);
    EXPECT_EQ(Lookup(BAA BAA GOK BAA), baa1 + baa1 + gok3 + baa1);
    EXPECT_EQ(FirstReadingLength((baa1 + baa1 + "\t" + baa4).c_str()), 4u);
}

TEST(LookupCantonese, WithoutADictionaryKeepsOnlySingleBytes) {
    char *codes = LookupCantonese(nullptr, Text("a" YAN "b" HONG).c_str());
    ASSERT_NE(codes, nullptr);
    EXPECT_STREQ(codes, "ab");
    GlobalFree(codes);
}

} // namespace
