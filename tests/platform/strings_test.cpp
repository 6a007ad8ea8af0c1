// The string functions: case, copying, comparing and lengths.
#include "platform/platform.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Strings, CharLowerAndUpperTakeSingleCharacters) {
    EXPECT_EQ(UINT_PTR(CharLowerA(LPSTR(UINT_PTR('Q')))), UINT_PTR('q'));
    EXPECT_EQ(UINT_PTR(CharLowerA(LPSTR(UINT_PTR('7')))), UINT_PTR('7'));
    EXPECT_EQ(UINT_PTR(CharLowerA(LPSTR(UINT_PTR(0xC0)))), UINT_PTR(0xC0));
    EXPECT_EQ(UINT_PTR(CharUpperA(LPSTR(UINT_PTR('q')))), UINT_PTR('Q'));
    EXPECT_EQ(UINT_PTR(CharLowerW(LPWSTR(UINT_PTR(0xFF21)))), UINT_PTR(0xFF41));
    EXPECT_EQ(UINT_PTR(CharUpperW(LPWSTR(UINT_PTR(0x00E9)))), UINT_PTR(0x00C9));
}

TEST(Strings, CharLowerASkipsBig5TrailBytes) {
    // 你 is A7 41 and 好 is A6 6E; 0x80 is not a lead byte.
    char text[] = "AB\xA7\x41Z\x80Q\xA6";
    EXPECT_EQ(CharLowerA(text), text);
    EXPECT_EQ(std::string(text), "ab\xA7\x41z\x80q\xA6");
    char upper[] = "a\xA7\x61z";
    CharUpperA(upper);
    EXPECT_EQ(std::string(upper), "A\xA7\x61Z");
    // _strlwr knows nothing of Big5.
    char every[] = "\xA7\x41";
    EXPECT_EQ(std::string(_strlwr(every)), "\xA7\x61");
}

TEST(Strings, WideCaseCoversLatin1AndFullWidth) {
    WCHAR text[] = u"AZ\u00C0\u00D7\u00DE\uFF21\uFF3A\u0100";
    CharLowerW(text);
    EXPECT_EQ(std::u16string(text), u"az\u00E0\u00D7\u00FE\uFF41\uFF5A\u0100");
    CharUpperW(text);
    EXPECT_EQ(std::u16string(text), u"AZ\u00C0\u00D7\u00DE\uFF21\uFF3A\u0100");
    WCHAR divide[] = u"\u00F7\u00FF";
    CharUpperW(divide);
    EXPECT_EQ(std::u16string(divide), u"\u00F7\u00FF");
}

TEST(Strings, CopyNTruncatesAndAlwaysTerminates) {
    char buffer[8] = "xxxxxxx";
    EXPECT_EQ(lstrcpynA(buffer, "abcdef", 4), buffer);
    EXPECT_STREQ(buffer, "abc");
    lstrcpynA(buffer, "abcdef", 1);
    EXPECT_STREQ(buffer, "");
    buffer[0] = 'x';
    lstrcpynA(buffer, "abcdef", 0);
    EXPECT_EQ(buffer[0], 'x');
    WCHAR wide[4];
    lstrcpynW(wide, u"\u4F60\u597D!!", 3);
    EXPECT_EQ(std::u16string(wide), u"\u4F60\u597D");
}

TEST(Strings, ComparisonsFoldAsciiThenUseCodeUnits) {
    EXPECT_EQ(lstrlenA(nullptr), 0);
    EXPECT_EQ(lstrcmpiA("ABC", "abc"), 0);
    EXPECT_LT(lstrcmpiA("abc", "ABD"), 0);
    EXPECT_LT(lstrcmpiA("ab", "ABC"), 0);
    EXPECT_GT(lstrcmpiA("\xA4", "z"), 0); // bytes compare unsigned
    EXPECT_LT(lstrcmpiW(u"A", u"\u00E0"), 0);
    EXPECT_GT(lstrcmpA("a", "B"), 0);
    EXPECT_NE(lstrcmpW(u"a", u"A"), 0);
    EXPECT_LT(lstrcmpA(nullptr, "a"), 0);
}

} // namespace
