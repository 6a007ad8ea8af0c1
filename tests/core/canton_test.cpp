// Reading codes written out in the three reading schemes.
#include "frame/canton.h"
#include "tests/core/test_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Code(int initial, int final, int tone) {
    return {char(0x80 | (initial << 2) | (final >> 4)), char(((final & 15) << 3) | tone)};
}

tstring Decode(int scheme, const char *codes) {
    LPTSTR text = canton_decode(scheme, codes);
    EXPECT_NE(text, nullptr);
    tstring result = text ? text : TEXT("");
    GlobalFree(text);
    return result;
}

tstring Decode(int scheme, const std::string &codes) {
    return Decode(scheme, codes.c_str());
}

// A byte that is not part of a reading code, as the decoder writes it.
TCHAR Plain(unsigned char byte) {
    return (TCHAR)(signed char)byte;
}

TEST(CantonDecode, WritesSyllablesAndPlainBytesInEachScheme) {
    EXPECT_EQ(Decode(0, "\x84\x69"), TEXT("baau1"));
    EXPECT_EQ(Decode(1, "\x84\x69"), TEXT("p/"));
    EXPECT_EQ(Decode(2, "\x84\x69"), TEXT("baau"));
    EXPECT_EQ(Decode(1, "\x8C\x0B"), TEXT("mb@"));
    std::string codes = Code(7, 10, 5) + Code(12, 16, 2) + ", " + Code(19, 27, 4) + "A";
    EXPECT_EQ(Decode(0, codes), TEXT("nei5hou2, jyun4A"));
    EXPECT_EQ(Decode(1, codes), TEXT("nh,hva, j2'A"));
    EXPECT_EQ(Decode(2, codes), TEXT("neihou, jyunA"));
}

TEST(CantonDecode, GivesAnEmptyStringForNothingToDecode) {
    EXPECT_EQ(Decode(0, ""), TEXT(""));
    EXPECT_EQ(Decode(1, nullptr), TEXT(""));
    EXPECT_EQ(Decode(3, "\x84\x69"), TEXT(""));
    EXPECT_EQ(Decode(-1, "\x84\x69"), TEXT(""));
}

TEST(CantonDecode, WritesAnInvalidPairByteByByte) {
    // Tone 0: the second byte is read again as a character of its own.
    EXPECT_EQ(Decode(0, "\x84\x68\x41"), (tstring{Plain(0x84), 'h', 'A'}));
    // Initial 20; the second byte then starts a valid code.
    EXPECT_EQ(Decode(0, "\xD0" + Code(1, 13, 1)), tstring{Plain(0xD0)} + TEXT("baau1"));
    // Final 52 is past the table; 51 is its last entry.
    EXPECT_EQ(Decode(0, "\x87\x21"), (tstring{Plain(0x87), '!'}));
    EXPECT_EQ(Decode(0, "\x87\x19"), TEXT("buk7"));
    EXPECT_EQ(Decode(0, "a\x84"), (tstring{'a', Plain(0x84)}));
}

TEST(CantonDecode, LeavesOutAMissingInitialOrFinal) {
    EXPECT_EQ(Decode(0, Code(0, 1, 1)), TEXT("aa1"));
    EXPECT_EQ(Decode(0, Code(3, 0, 4)), TEXT("m4"));
    EXPECT_EQ(Decode(1, Code(11, 0, 5)), TEXT("g,"));
}

TEST(CantonDecode, CountsStopFinalTonesFromTheEnteringTones) {
    const int ok = 49;
    const TCHAR *lshk[8] = {0,
                            TEXT("hok7"),
                            TEXT("hok8"),
                            TEXT("hok9"),
                            TEXT("hok2"),
                            TEXT("hok4"),
                            TEXT("hok5"),
                            TEXT("hok")};
    const TCHAR *braille[8] = {0,           TEXT("h]"),  TEXT("h]\""), TEXT("h]'"),
                               TEXT("h]a"), TEXT("h]'"), TEXT("h],"),  TEXT("h]")};
    for (int tone = 1; tone <= 7; tone++) {
        EXPECT_EQ(Decode(0, Code(12, ok, tone)), lshk[tone]);
        EXPECT_EQ(Decode(1, Code(12, ok, tone)), braille[tone]);
    }
    EXPECT_EQ(Decode(0, Code(12, 34, 7)), TEXT("hung7"));
}

// Every reading code fits the room that canton_decode gives it, and the
// Oskel scheme is jyutping without its tone digits.
TEST(CantonDecode, FitsAndAgreesAcrossSchemesForEveryCode) {
    for (int i = 0; i <= CANTON_INITIALS; i++) {
        for (int f = 0; f <= CANTON_FINALS; f++) {
            for (int t = 1; t <= 7; t++) {
                std::string code = Code(i, f, t);
                tstring lshk = Decode(0, code);
                EXPECT_LE(lshk.size(), 8u);
                EXPECT_LE(Decode(1, code).size(), 4u);
                std::erase_if(lshk, [](TCHAR c) { return c >= '0' && c <= '9'; });
                EXPECT_EQ(Decode(2, code), lshk) << i << " " << f << " " << t;
            }
        }
    }
}

} // namespace
