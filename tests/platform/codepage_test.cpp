// Code page 950 (Big5-HKSCS) and UTF-8 conversion through the Win32 calls.
#include "platform/platform.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>

namespace {

constexpr DWORD kErrorInvalidFlags = 1004; // ERROR_INVALID_FLAGS
constexpr DWORD kWcErrInvalidChars = 0x80; // WC_ERR_INVALID_CHARS

// Converts with a size query first, as callers do; returns "" on failure.
std::u16string toWide(UINT codePage, const std::string &bytes, DWORD flags = 0) {
    int needed = MultiByteToWideChar(codePage, flags, bytes.data(), (int)bytes.size(), nullptr, 0);
    if (needed == 0)
        return u"";
    std::u16string text(needed, u'\0');
    int written =
        MultiByteToWideChar(codePage, flags, bytes.data(), (int)bytes.size(), text.data(), needed);
    EXPECT_EQ(written, needed);
    return text;
}

std::string toBytes(UINT codePage, const std::u16string &text, BOOL *usedDefault = nullptr,
                    LPCSTR defaultChar = nullptr, DWORD flags = 0) {
    int needed = WideCharToMultiByte(codePage, flags, text.data(), (int)text.size(), nullptr, 0,
                                     defaultChar, usedDefault);
    if (needed == 0)
        return "";
    std::string bytes(needed, '\0');
    int written = WideCharToMultiByte(codePage, flags, text.data(), (int)text.size(), bytes.data(),
                                      needed, defaultChar, usedDefault);
    EXPECT_EQ(written, needed);
    return bytes;
}

std::string pairBytes(int code) {
    return std::string{(char)(code >> 8), (char)code};
}

bool isTrail(int b) {
    return (b >= 0x40 && b <= 0x7E) || (b >= 0xA1 && b <= 0xFE);
}

} // namespace

// ---- Code page 950 -----------------------------------------------------

TEST(Cp950, KnownCharactersHaveTheirBig5Codes) {
    const std::string big5 = "\xA7\x41\xA6\x6E"  // 你好
                             "\x9D\xEF\x9D\xF7"  // 嘅咗
                             "\x9D\xF8\x9D\xCF"  // 啲嘢
                             "\x91\xC1\x92\x5D"  // 嚟哋
                             "\xA1\x40\xA1\x7E"  // ideographic space, ﹚
                             "\xA1\xA1\xC6\xA1"  // ﹛, ⑀
                             "\x87\x40\xFE\xFE"; // first and last HKSCS pairs
    const std::u16string text = u"你好嘅咗啲嘢嚟哋\u3000\uFE5A\uFE5B\u2460\u43F0\u79D4";
    EXPECT_EQ(toWide(950, big5, MB_ERR_INVALID_CHARS), text);
    EXPECT_EQ(toBytes(950, text), big5);
    // The ANSI and OEM code pages are 950 here.
    EXPECT_EQ(toWide(CP_ACP, big5), text);
    EXPECT_EQ(toBytes(CP_OEMCP, text), big5);
}

TEST(Cp950, CharacterOutsideTheBmpIsASurrogatePair) {
    const std::u16string text = u"\U00020779"; // 𠝹
    EXPECT_EQ(text.size(), 2u);
    EXPECT_EQ(toWide(950, "\x9B\xD0"), text);
    EXPECT_EQ(toBytes(950, text), "\x9B\xD0");
    EXPECT_EQ(toBytes(950, u"a" + text + u"b"), "a\x9B\xD0"
                                                "b");
}

TEST(Cp950, EveryPairRoundTripsExceptDocumentedDuplicates) {
    // Box-drawing characters that appear twice; the encoder picks the copy
    // in the 0xF9 row.
    const std::map<int, int> duplicates = {{0xA27E, 0xF9FA}, {0xA2A1, 0xF9FB}, {0xA2A2, 0xF9FC},
                                           {0xA2A3, 0xF9FD}, {0xA2A4, 0xF9F9}, {0xA2A5, 0xF9E9},
                                           {0xA2A6, 0xF9EA}, {0xA2A7, 0xF9EB}};
    int mapped = 0, outsideBmp = 0;
    for (int lead = 0x81; lead <= 0xFE; lead++) {
        for (int trail = 0x40; trail <= 0xFE; trail++) {
            if (!isTrail(trail))
                continue;
            int code = lead << 8 | trail;
            std::string pair = pairBytes(code);
            WCHAR text[4];
            int units = MultiByteToWideChar(950, MB_ERR_INVALID_CHARS, pair.data(), 2, text, 4);
            if (units == 0) {
                ASSERT_EQ(GetLastError(), (DWORD)ERROR_NO_UNICODE_TRANSLATION) << std::hex << code;
                continue;
            }
            ASSERT_LE(units, 2) << std::hex << code;
            mapped++;
            outsideBmp += text[0] >= 0xD800 && text[0] <= 0xDBFF;
            auto duplicate = duplicates.find(code);
            std::string expected =
                duplicate == duplicates.end() ? pair : pairBytes(duplicate->second);
            EXPECT_EQ(toBytes(950, std::u16string(text, units)), expected) << std::hex << code;
        }
    }
    // HKSCS-2008 over Big5 has some 18,000 characters, over 1,700 of them
    // outside the BMP.
    EXPECT_GT(mapped, 18000);
    EXPECT_GT(outsideBmp, 1700);
}

TEST(Cp950, LetterWithCombiningMarkSequences) {
    const std::string big5 = "\x88\x62\x88\x64\x88\xA3\x88\xA5";
    const std::u16string text = u"\u00CA\u0304\u00CA\u030C\u00EA\u0304\u00EA\u030C";
    EXPECT_EQ(toWide(950, big5), text);
    EXPECT_EQ(toBytes(950, text), big5);
    // Alone, or before anything else, the letters have their own codes.
    EXPECT_EQ(toBytes(950, u"\u00CA\u00EA"), "\x88\x66\x88\xA7");
    EXPECT_EQ(toBytes(950, u"\u00CA"
                           u"A"),
              "\x88\x66"
              "A");
    EXPECT_EQ(toBytes(950, u"\u00CA\u00CA\u0304"), "\x88\x66\x88\x62");
    // A mark that forms no sequence has no code of its own.
    BOOL usedDefault = FALSE;
    EXPECT_EQ(toBytes(950, u"\u00CA\u0300", &usedDefault), "\x88\x66?");
    EXPECT_TRUE(usedDefault);
}

TEST(Cp950, SingleBytesAsWindowsMapsThem) {
    EXPECT_EQ(toWide(950, "\x41\x7F\x80\xFF"), u"\u0041\u007F\u0080\uF8F8");
    EXPECT_EQ(toBytes(950, u"\u0041\u007F\u0080\uF8F8"), "\x41\x7F\x80\xFF");
}

TEST(Cp950, InvalidAndUnmappedBytes) {
    // Unmapped pair with a valid trail byte: one default character.
    EXPECT_EQ(toWide(950, "\x81\x40z"), u"?z");
    // Invalid trail byte: the lead alone is replaced and the next byte
    // starts afresh.
    EXPECT_EQ(toWide(950, "\xA4\x30"), u"?0");
    EXPECT_EQ(toWide(950, "\xA4\x80"), u"?\u0080");
    EXPECT_EQ(toWide(950, "\xA4\xFF"), u"?\uF8F8");
    EXPECT_EQ(toWide(950, "\xA4\xA4\xA4\x41"), u"中乙"); // a lead byte can be a trail
    // A lead byte at the end, counted or before the terminator.
    EXPECT_EQ(toWide(950, "A\xA4"), u"A?");
    WCHAR text[8];
    EXPECT_EQ(MultiByteToWideChar(950, 0, "A\xA4", -1, text, 8), 3);
    EXPECT_EQ(std::u16string(text, 3), std::u16string(u"A?\0", 3));

    for (const char *bad : {"\x81\x40", "\xA4\x30", "A\xA4"}) {
        SetLastError(0);
        EXPECT_EQ(MultiByteToWideChar(950, MB_ERR_INVALID_CHARS, bad, -1, text, 8), 0) << bad;
        EXPECT_EQ(GetLastError(), (DWORD)ERROR_NO_UNICODE_TRANSLATION);
    }
}

TEST(Cp950, UnmappedCharactersBecomeTheDefaultCharacter) {
    BOOL usedDefault = TRUE;
    EXPECT_EQ(toBytes(950, u"\u4F60", &usedDefault), "\xA7\x41");
    EXPECT_FALSE(usedDefault);
    // A Thai letter, a lone high surrogate before a letter, a lone low one.
    EXPECT_EQ(toBytes(950, u"\u0E01x\xD800y\xDC00", &usedDefault), "?x?y?");
    EXPECT_TRUE(usedDefault);
    EXPECT_EQ(toBytes(950, u"\xD841", &usedDefault), "?");
    EXPECT_EQ(toBytes(950, u"a\u0E01", nullptr, "*"), "a*");
    EXPECT_EQ(toBytes(950, u"a\u0E01", nullptr, "\xA1\x48"), "a\xA1\x48"); // ？
}

TEST(Cp950, NeverMoreUnitsThanBytes) {
    std::mt19937 random(950);
    std::uniform_int_distribution<int> byte(0x01, 0xFF);
    for (int round = 0; round < 200; round++) {
        std::string bytes(1 + round % 37, '\0');
        for (char &c : bytes)
            c = (char)byte(random);
        for (UINT codePage : {950u, (UINT)CP_UTF8}) {
            int units =
                MultiByteToWideChar(codePage, 0, bytes.data(), (int)bytes.size(), nullptr, 0);
            EXPECT_GT(units, 0);
            EXPECT_LE(units, (int)bytes.size());
        }
    }
}

TEST(Cp950, LeadBytes) {
    EXPECT_FALSE(IsDBCSLeadByteEx(950, 0x80));
    EXPECT_TRUE(IsDBCSLeadByteEx(950, 0x81));
    EXPECT_TRUE(IsDBCSLeadByteEx(950, 0xFE));
    EXPECT_FALSE(IsDBCSLeadByteEx(950, 0xFF));
    EXPECT_FALSE(IsDBCSLeadByteEx(950, 'A'));
    EXPECT_TRUE(IsDBCSLeadByteEx(CP_ACP, 0xA4));
    EXPECT_TRUE(IsDBCSLeadByte(0xA4));
    EXPECT_FALSE(IsDBCSLeadByte(0x7F));
    EXPECT_FALSE(IsDBCSLeadByteEx(CP_UTF8, 0xE4));
    SetLastError(0);
    EXPECT_FALSE(IsDBCSLeadByteEx(12345, 0xA4));
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_PARAMETER);
}

// ---- Buffers and arguments ---------------------------------------------

TEST(CodePage, TerminatorAndBufferSizes) {
    const char *big5 = "\xA7\x41\xA6\x6E!"; // 你好!
    EXPECT_EQ(MultiByteToWideChar(950, 0, big5, -1, nullptr, 0), 4);
    EXPECT_EQ(MultiByteToWideChar(950, 0, big5, 5, nullptr, 0), 3);
    WCHAR text[4] = {1, 1, 1, 1};
    EXPECT_EQ(MultiByteToWideChar(950, 0, big5, -1, text, 4), 4);
    EXPECT_EQ(std::u16string(text, 4), std::u16string(u"你好!\0", 4));
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(950, 0, big5, -1, text, 3), 0);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INSUFFICIENT_BUFFER);

    const WCHAR *wide = u"你好!";
    EXPECT_EQ(WideCharToMultiByte(950, 0, wide, -1, nullptr, 0, nullptr, nullptr), 6);
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr), 8);
    char bytes[6];
    EXPECT_EQ(WideCharToMultiByte(950, 0, wide, -1, bytes, 6, nullptr, nullptr), 6);
    EXPECT_STREQ(bytes, big5);
    SetLastError(0);
    EXPECT_EQ(WideCharToMultiByte(950, 0, wide, -1, bytes, 5, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INSUFFICIENT_BUFFER);
    // A pair never splits over the end of the buffer.
    SetLastError(0);
    EXPECT_EQ(WideCharToMultiByte(950, 0, wide, 1, bytes, 1, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INSUFFICIENT_BUFFER);
}

TEST(CodePage, BadArgumentsAreRejected) {
    WCHAR text[4];
    char bytes[4];
    auto expectError = [](int result, DWORD error) {
        EXPECT_EQ(result, 0);
        EXPECT_EQ(GetLastError(), error);
        SetLastError(0);
    };
    const DWORD bad = ERROR_INVALID_PARAMETER;
    expectError(MultiByteToWideChar(950, 0, nullptr, 3, text, 4), bad);
    expectError(MultiByteToWideChar(950, 0, "abc", 0, text, 4), bad);
    expectError(MultiByteToWideChar(950, 0, "abc", -2, text, 4), bad);
    expectError(MultiByteToWideChar(950, 0, "abc", 3, text, -1), bad);
    expectError(MultiByteToWideChar(950, 0, "abc", 3, nullptr, 4), bad);
    expectError(MultiByteToWideChar(12345, 0, "abc", 3, text, 4), bad);
    expectError(MultiByteToWideChar(CP_UTF8, MB_PRECOMPOSED, "abc", 3, text, 4),
                kErrorInvalidFlags);

    expectError(WideCharToMultiByte(950, 0, nullptr, 3, bytes, 4, nullptr, nullptr), bad);
    expectError(WideCharToMultiByte(950, 0, u"abc", 0, bytes, 4, nullptr, nullptr), bad);
    expectError(WideCharToMultiByte(950, 0, u"abc", 3, nullptr, 4, nullptr, nullptr), bad);
    expectError(WideCharToMultiByte(12345, 0, u"abc", 3, bytes, 4, nullptr, nullptr), bad);
    BOOL usedDefault;
    expectError(WideCharToMultiByte(CP_UTF8, 0, u"abc", 3, bytes, 4, nullptr, &usedDefault), bad);
    expectError(WideCharToMultiByte(CP_UTF8, 0, u"abc", 3, bytes, 4, "?", nullptr), bad);
    expectError(WideCharToMultiByte(950, kWcErrInvalidChars, u"abc", 3, bytes, 4, nullptr, nullptr),
                kErrorInvalidFlags);
    // Converting a buffer onto itself.
    char same[8] = "abc";
    expectError(MultiByteToWideChar(950, 0, same, 3, (LPWSTR)(void *)same, 4), bad);
}

// ---- UTF-8 -------------------------------------------------------------

TEST(Utf8, RoundTrip) {
    const std::string utf8 = "A\xC3\xA9\xE4\xBD\xA0\xF0\xA0\x9D\xB9"; // Aé你𠝹
    const std::u16string text = u"A\u00E9\u4F60\U00020779";
    EXPECT_EQ(toWide(CP_UTF8, utf8, MB_ERR_INVALID_CHARS), text);
    EXPECT_EQ(toBytes(CP_UTF8, text), utf8);
}

TEST(Utf8, MalformedInputBecomesReplacementCharacters) {
    const std::u16string fffd = u"\uFFFD";
    EXPECT_EQ(toWide(CP_UTF8, "a\xC0\xAF"), u"a" + fffd + fffd); // overlong
    EXPECT_EQ(toWide(CP_UTF8, "\xE4\xBD"), fffd);                // cut short
    EXPECT_EQ(toWide(CP_UTF8, "\xE4\xBDz"), fffd + u"z");
    EXPECT_EQ(toWide(CP_UTF8, "\xED\xA0\x80"), fffd + fffd + fffd);            // surrogate
    EXPECT_EQ(toWide(CP_UTF8, "\xF4\x90\x80\x80"), fffd + fffd + fffd + fffd); // too large
    EXPECT_EQ(toWide(CP_UTF8, "\x80\xFF"), fffd + fffd);

    WCHAR text[8];
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "a\xE4\xBD", 3, text, 8), 0);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_NO_UNICODE_TRANSLATION);
}

TEST(Utf8, LoneSurrogates) {
    EXPECT_EQ(toBytes(CP_UTF8, u"a\xD800"), "a\xEF\xBF\xBD");
    EXPECT_EQ(toBytes(CP_UTF8, u"\xDC00z"), "\xEF\xBF\xBDz");
    char bytes[8];
    SetLastError(0);
    EXPECT_EQ(
        WideCharToMultiByte(CP_UTF8, kWcErrInvalidChars, u"a\xD800", 2, bytes, 8, nullptr, nullptr),
        0);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_NO_UNICODE_TRANSLATION);
}
