// The Big5 text helpers: conversion, lower-casing, copying and cutting.
#include "dict/text.h"
#include "tests/core/test_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

template <class C> std::basic_string<C> Take(C *text) {
    EXPECT_NE(text, nullptr);
    if (!text)
        return {};
    std::basic_string<C> result = text;
    GlobalFree(text);
    return result;
}

std::string Lowered(std::string text) {
    Big5Lower(text.data());
    return text;
}

tstring Truncated(tstring text, char stop) {
    TruncateString(text.data(), stop);
    return text.c_str();
}

TEST(TextHelpers, DuplicateAndTruncate) {
    EXPECT_EQ(Take(DuplicateString(TEXT("ab\tc"))), TEXT("ab\tc"));
    EXPECT_EQ(Truncated(TEXT("first\tsecond\tthird"), 9), TEXT("first"));
    EXPECT_EQ(Truncated(TEXT("cand\x1B\x31"), 27), TEXT("cand"));
    EXPECT_EQ(Truncated(TEXT("\tsecond"), 9), TEXT(""));
    EXPECT_EQ(Truncated(TEXT("no stop here"), 9), TEXT("no stop here"));
}

TEST(Big5Lower, LowersLettersButNotDoubleByteCharacters) {
    EXPECT_EQ(Lowered("NEI5Hou2@[Z]"), "nei5hou2@[z]");
    // The trail bytes here are the capitals A and E.
    EXPECT_EQ(Lowered("X\xA7\x41Y\x9D\x45Q"), "x\xA7\x41y\x9D\x45q");
    EXPECT_EQ(Lowered("\x80Q\xFF"), "\x80q\xFF");
}

TEST(Big5Lower, StopsAtALeadByteThatEndsTheString) {
    char text[] = "A\xA7\0B";
    Big5Lower(text);
    EXPECT_EQ(std::string(text, 4), std::string("a\xA7\0B", 4));
}

#ifdef UNICODE
TEST(Big5Conversion, ConvertsBothWays) {
    const char *big5 = "\xA7\x41\xA6\x6E nei5 \x9D\xEF";
    const char16_t *text = u"你好 nei5 嘅";
    EXPECT_EQ(Take(Big5ToTChar(big5)), text);
    EXPECT_EQ(Take(TCharToBig5(text)), big5);
    EXPECT_EQ(Take(TCharToBig5(u"你你你")), "\xA7\x41\xA7\x41\xA7\x41");
    EXPECT_EQ(Take(TCharToBig5(u"a\u0E01b\xD800")), "a?b?");
    EXPECT_EQ(Take(Big5ToTChar("")), u"");
}
#else
TEST(Big5Conversion, CopiesBig5Unchanged) {
    const char *big5 = "\xA7\x41\xA6\x6E nei5 \x9D\xEF\x80";
    EXPECT_EQ(Take(TCharToBig5(big5)), big5);
}
#endif

} // namespace
