// Jyutping syllables to reading codes and back, as the tools read them.
#include "tools/common/jyutping.h"
#include "frame/canton.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Code(int initial, int final, int tone) {
    return {char(0x80 | (initial << 2) | (final >> 4)), char(((final & 15) << 3) | tone)};
}

std::string Encode(const std::string &text) {
    std::string codes, error;
    EXPECT_TRUE(jyutpingEncode(text, codes, error)) << text << ": " << error;
    return codes;
}

// The error for text, which must be refused without touching the codes.
std::string Rejected(const std::string &text) {
    std::string codes = "kept", error;
    EXPECT_FALSE(jyutpingEncode(text, codes, error)) << text;
    EXPECT_EQ(codes, "kept");
    return error;
}

TEST(JyutpingEncode, ReadsSyllablesTogetherOrApart) {
    std::string neihou = Code(7, 10, 5) + Code(12, 16, 2);
    EXPECT_EQ(Encode("nei5hou2"), neihou);
    EXPECT_EQ(Encode(" nei5  hou2 "), neihou);
    EXPECT_EQ(Encode("m4goi1 ng5"), Code(3, 0, 4) + Code(9, 11, 1) + Code(11, 0, 5));
    // Stop finals: 1, 3, 6 (or 7, 8, 9) are tones 1 to 3; 2, 4, 5 are 4 to 6.
    EXPECT_EQ(Encode("sik6sik9hok2"), Code(18, 48, 3) + Code(18, 48, 3) + Code(12, 49, 4));
}

TEST(JyutpingEncode, NamesTheBadSyllable) {
    EXPECT_NE(Rejected("nei5 hxu2").find("\"hxu2\""), std::string::npos);
    EXPECT_NE(Rejected("nei5hou").find("\"hou\""), std::string::npos);
    for (const char *bad : {"nei0", "nei7", "b1", "5", "Nei5", "nei5,", "", "   "})
        Rejected(bad);
}

// Every syllable that the jyutping scheme writes reads back as its code.
TEST(JyutpingEncode, InvertsTheDecoder) {
    for (int i = 0; i <= CANTON_INITIALS; i++) {
        for (int f = 0; f <= CANTON_FINALS; f++) {
            if (f == 0 && i != 3 && i != 11) // only m and ng stand alone
                continue;
            for (int t = 1; t <= 6; t++) {
                std::string code = Code(i, f, t);
                std::string text = jyutpingDecode(code);
                EXPECT_EQ(Encode(text + text), code + code) << text;
            }
        }
    }
}

} // namespace
