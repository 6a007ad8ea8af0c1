// The character query: reading codes of a text, explanations of one of
// its characters, and the query mode on a real input context.
#include "tests/core/engine_fixture.h"

#include <string>

namespace {

#define DAAI "\xA4\x6A" // 大
#define HOK "\xBE\xC7"  // 學
#define SANG "\xA5\xCD" // 生
#define JUNG "\xA4\xA4" // 中
#define MAN "\xA4\xE5"  // 文

// Reading codes; a second byte may be TAB or LF.
const std::string daai6 = "\x84\x09", hok6 = "\xA4\x0A", hok2 = "\x90\x41";
const std::string sang1 = "\x90\x50", jung1 = "\x70\x71";

std::string Codes(char *codes) {
    std::string result = codes != nullptr ? codes : "<null>";
    if (codes != nullptr)
        GlobalFree(codes);
    return result;
}

// Candidates on show with a dictionary and a query database: the
// readings of 大學 and 學生 and explanations of 學 and 中.
class Query : public EngineContext {
protected:
    void SetUp() override {
        EngineContext::SetUp();
        // Entries whose data is shorter (中文) or longer (生) than the word.
        Use({{},
             {},
             {{DAAI HOK, daai6 + hok6 + "\t\x11\x11\x22\x22"},
              {HOK, hok2},
              {HOK SANG, hok6 + sang1},
              {JUNG MAN, jung1},
              {SANG, sang1 + "\x91\x51"}},
             {{HOK, hok2 + "(alone)\n" + hok6 + DAAI HOK "\t(learn)\t" HOK SANG},
              {JUNG, jung1 + "(middle)"}}});
        ASSERT_NE(data->dictTree, nullptr);
        ASSERT_NE(data->queryTree, nullptr);
    }
    // The page of candidates as conversion leaves it.
    void Candidates(const tstring &items) {
        data->candList = CreateTabList(items.c_str());
        data->mode = MODE_CHOOSING;
        data->pageView = 1;
    }
    tstring Explain(const char *big5, DWORD k) {
        return Take(QueryChar(data->dictTree, data->queryTree, Text(big5).c_str(), k));
    }
    void Browse() {
        NextTabItem(data->queryList);
        DisplayQuery(&ic->hCompStr, data);
    }
};

TEST_F(Query, ReadingCodesStayAlignedWithTheText) {
    EXPECT_EQ(Codes(Big5ReadingStr(data->dictTree, DAAI HOK SANG)), daai6 + hok6 + sang1)
        << "the longest word from the left, its first reading; a longer entry is cut";
    EXPECT_EQ(Codes(Big5ReadingStr(data->dictTree, HOK)), hok2);
    EXPECT_EQ(Codes(Big5ReadingStr(data->dictTree, JUNG MAN "a" DAAI)), jung1 + "  " + " " + "  ")
        << "a short entry is padded; unknown characters get one space a byte";
    EXPECT_EQ(Codes(Big5ReadingStr(data->dictTree, SANG "\xA4")), sang1 + " ")
        << "a lead byte at the end is one character";
    EXPECT_EQ(Codes(Big5ReadingStr(data->dictTree, "")), "");
}

TEST_F(Query, ExplanationsFollowTheReadingInTheText) {
    EXPECT_EQ(Explain(DAAI HOK, 1), Text(DAAI HOK "\t(learn)\t" HOK SANG))
        << "the line whose code ends in LF is found whole";
    EXPECT_EQ(Explain(HOK, 0), Text("(alone)"));
    EXPECT_EQ(Explain(JUNG MAN, 0), Text("(middle)"));
    EXPECT_EQ(Explain(JUNG, 0), Text("<null>")) << "no reading known for the character";
    EXPECT_EQ(Explain(MAN, 0), Text("<null>")) << "not in the query database";
    EXPECT_EQ(Explain(DAAI HOK, 2), Text("<null>")) << "beyond the text";
}

TEST_F(Query, ExtractCharCountsCharactersAsTheFlavourDoes) {
    EXPECT_EQ(Take(ExtractChar(Text(DAAI HOK).c_str(), 1)), Text(HOK));
    EXPECT_EQ(Take(ExtractChar(Text(DAAI HOK).c_str(), 2)), Text("<null>"));
#ifdef UNICODE
    const tstring text = u"a\U00020000b";
    EXPECT_EQ(Take(ExtractChar(text.c_str(), 1)), tstring(u"\U00020000"));
    EXPECT_EQ(Take(ExtractChar(text.c_str(), 2)), tstring(u"b"));
    EXPECT_EQ(Take(ExtractChar(text.c_str(), 3)), Text("<null>"));
#else
    EXPECT_EQ(Take(ExtractChar("a" DAAI HOK, 0)), Text(DAAI)) << "single bytes do not count";
#endif
}

TEST_F(Query, SecondCharacterOfAWordSkipsTheWordItselfAndBrowses) {
    Candidates(Text(JUNG MAN "\t" DAAI HOK "\t" HOK));
    data->queryKey = 1;
    SetupQuery(&ic->hCompStr, data, 1);
    EXPECT_EQ(data->mode, (DWORD)MODE_QUERY);
    EXPECT_EQ(data->pageView, 0u);
    EXPECT_EQ(data->candCursor, 1u);
    EXPECT_EQ(data->candList->index, 0u) << "the list cursor stays on the page";
    EXPECT_EQ(tstring(data->queryChar), Text(HOK));
    EXPECT_EQ(Composition(), Text(HOK "  learn"));
    Browse();
    EXPECT_EQ(Composition(), Text(HOK SANG));
    Browse();
    EXPECT_EQ(Composition(), Text(HOK SANG)) << "past the last explanation nothing changes";

    data->queryKey = 0;
    SetupQuery(&ic->hCompStr, data, 2);
    EXPECT_EQ(Composition(), Text(HOK "  alone")) << "the character alone has another reading";
    EXPECT_EQ(data->candCursor, 2u);
}

TEST_F(Query, AFailedQueryChangesNothing) {
    Candidates(Text(JUNG "\t" MAN));
    data->candCursor = 1;
    SetupQuery(&ic->hCompStr, data, 0);
    SetupQuery(&ic->hCompStr, data, 1);
    EXPECT_EQ(data->mode, (DWORD)MODE_CHOOSING);
    EXPECT_EQ(data->pageView, 1u);
    EXPECT_EQ(data->candCursor, 1u);
    EXPECT_EQ(Composition(), Text(""));
}

TEST_F(Query, AnExampleWordGivesTheReadingOfASingleCharacter) {
    data->singleChars = 1;
    Candidates(Text(HOK "\x1b" DAAI HOK "\t" JUNG "\x1b(middle)"));
    SetupQuery(&ic->hCompStr, data, 0);
    EXPECT_EQ(data->queryAltPos, 1u) << "counted in characters";
    EXPECT_EQ(Composition(), Text(DAAI HOK)) << "explained in the word's reading";
    EXPECT_EQ(tstring(data->queryChar), Text(HOK));
    EXPECT_FALSE(PerformQuery(&ic->hCompStr, data, 1)) << "the candidate has one character";
    EXPECT_EQ(Composition(), Text(DAAI HOK));
    EXPECT_EQ(data->mode, (DWORD)MODE_QUERY);

    SetupQuery(&ic->hCompStr, data, 1);
    EXPECT_EQ(data->queryAlt, nullptr) << "a description is no example word";
    EXPECT_EQ(Composition(), Text(DAAI HOK)) << "no reading for the character alone";
}

TEST_F(Query, ShiftDigitAndPhraseKeysQueryTheCandidateOnThePage) {
    Candidates(Text(JUNG MAN "\t" DAAI HOK));
    data->queryKey = 1;
    keys[VK_SHIFT] = 0x80;
    data->ch = '#';
    data->vkey = '3';
    EXPECT_EQ(PhraseChar(&ic->hCompStr, data, '3', keys), 1) << "beyond the list: taken, no query";
    EXPECT_EQ(data->mode, (DWORD)MODE_CHOOSING);
    data->vkey = '2';
    EXPECT_EQ(PhraseChar(&ic->hCompStr, data, '2', keys), 1);
    EXPECT_EQ(Composition(), Text(HOK "  learn"));

    keys[VK_SHIFT] = 0;
    globData.dotKeyboard = 1;
    data->queryKey = 0;
    data->ch = '!';
    data->vkey = 0;
    EXPECT_EQ(PhraseChar(&ic->hCompStr, data, '!', keys), 1);
    EXPECT_EQ(Composition(), Text(JUNG "  middle"));
    globData.dotKeyboard = 0;
    EXPECT_EQ(PhraseChar(&ic->hCompStr, data, '!', keys), 0) << "phrase keys need the dot keyboard";
}

#ifdef UNICODE
TEST_F(Query, ASurrogatePairIsOneCharacterOfTheCandidate) {
    Candidates(u"\U00020000" + Text(HOK));
    data->queryKey = 1;
    SetupQuery(&ic->hCompStr, data, 0);
    EXPECT_EQ(tstring(data->queryChar), Text(HOK));
    EXPECT_EQ(Composition(), Text(HOK "  alone"));
}
#endif

} // namespace
