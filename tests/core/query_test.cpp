// The character query: reading codes of a text, explanations of one of
// its characters, and the query mode on a real input context.
#include "dict/text.h"
#include "engine/engine.h"
#include "frame/compstr.h"
#include "frame/context.h"
#include "frame/globdata.h"
#include "platform/posix/imm_host.h"
#include "tests/core/test_image.h"

#include "tests/core/test_text.h"

#include <gtest/gtest.h>

#include <cstdlib>
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

// Takes a returned string, or "<null>" for none.
tstring Take(LPTSTR text) {
    if (text == nullptr)
        return Text("<null>");
    tstring result = text;
    GlobalFree(text);
    return result;
}

std::string Codes(char *codes) {
    std::string result = codes != nullptr ? codes : "<null>";
    if (codes != nullptr)
        GlobalFree(codes);
    return result;
}

class Query : public ::testing::Test {
protected:
    ScratchDir dir;
    std::vector<BYTE> dictImage, queryImage;
    HIMC imc = nullptr;
    LPINPUTCONTEXT ic = nullptr;
    PrivateData *data = nullptr;
    GLOBDATA saved = globData;

    void SetUp() override {
        setenv("TAVO_REGISTRY", dir.path("registry").c_str(), 1);
        setenv("TAVO_SOUND", "silent", 1);
        // Entries whose data is shorter (中文) or longer (生) than the word.
        dictImage =
            BuildImage("TAVO dictionary database", {{DAAI HOK, daai6 + hok6 + "\t\x11\x11\x22\x22"},
                                                    {HOK, hok2},
                                                    {HOK SANG, hok6 + sang1},
                                                    {JUNG MAN, jung1},
                                                    {SANG, sang1 + "\x91\x51"}});
        queryImage = BuildImage("TAVO query database",
                                {{HOK, hok2 + "(alone)\n" + hok6 + DAAI HOK "\t(learn)\t" HOK SANG},
                                 {JUNG, jung1 + "(middle)"}});
        imc = tavo_CreateInputContext(nullptr, sizeof(PrivateData));
        ic = ImmLockIMC(imc);
        ASSERT_TRUE(InitCompStr(ic));
        data = (PrivateData *)ImmLockIMCC(ic->hPrivate);
        data->dictTree = ptree_open(dictImage.data(), (DWORD)dictImage.size());
        data->queryTree = ptree_open(queryImage.data(), (DWORD)queryImage.size());
        ASSERT_NE(data->dictTree, nullptr);
        ASSERT_NE(data->queryTree, nullptr);
        data->mode = MODE_CHOOSING;
        data->pageView = 1;
    }
    void TearDown() override {
        ImmUnlockIMCC(ic->hPrivate);
        ClearContext(ic);
        ClearPrivateData(data);
        ImmUnlockIMC(imc);
        ImmDestroyContext(imc);
        globData = saved;
    }
    void Candidates(const char *big5) { data->candList = CreateTabList(Text(big5).c_str()); }
    tstring Composition() {
        auto *cs = (LPCOMPOSITIONSTRING)ImmLockIMCC(ic->hCompStr);
        tstring text(COMPSTR_TEXT(cs, dwCompStrOffset), cs->dwCompStrLen);
        ImmUnlockIMCC(ic->hCompStr);
        return text;
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
    Candidates(JUNG MAN "\t" DAAI HOK "\t" HOK);
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
    Candidates(JUNG "\t" MAN);
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
    Candidates(HOK "\x1b" DAAI HOK "\t" JUNG "\x1b(middle)");
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
    BYTE keys[256] = {};
    Candidates(JUNG MAN "\t" DAAI HOK);
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
    data->candList = CreateTabList((u"\U00020000" + Text(HOK)).c_str());
    data->queryKey = 1;
    SetupQuery(&ic->hCompStr, data, 0);
    EXPECT_EQ(tstring(data->queryChar), Text(HOK));
    EXPECT_EQ(Composition(), Text(HOK "  alone"));
}
#endif

} // namespace
