// Conversion of a typed reading into text on a real input context, with
// small hand-made phrase, user, dictionary and query images.
#include "tests/core/engine_fixture.h"

#include "engine/chars.h"
#include "ui/resource.h"

#include <algorithm>

namespace {

// Big5 characters.
#define NEI "\xa7\x41"  // you
#define HOU "\xa6\x6e"  // good
#define NGO "\xa7\xda"  // I
#define SI "\xac\x4f"   // is
#define ZUNG "\xa4\xa4" // middle
#define MAN "\xa4\xe5"  // writing
#define JAN "\xa4\x48"  // person
#define DAAI "\xa4\x6a" // big
#define TIN "\xa4\xd1"  // sky
#define MUN "\xad\xcc"  // plural

const ImageEntries kPhrases = {
    {"neihou", NEI HOU "\t" ZUNG MAN "\t" NEI},
    {"nei", NEI "\t" JAN "\t" DAAI "|(big)"},
    {"n", TIN},
    {"ngo", NGO},
    {"hou", HOU},
    {"b", MAN},
    {"bc", ZUNG},
    {"ba", MUN},
    {"ca", SI},
};
const ImageEntries kUser = {{"neihou", SI JAN}, {"xyz", ""}};
const ImageEntries kDictionary = {{NEI, "ab"}, {JAN, "cd"}};
const ImageEntries kQuery = {{NEI, "ab(you)\tword"}};

class Convert : public EngineContext {
protected:
    void SetUp() override {
        EngineContext::SetUp();
        Use({kPhrases, kUser, kDictionary, kQuery});
    }
};

const tstring ESC(1, (TCHAR)CHAR_ESC);

TEST_F(Convert, SpaceCyclesThroughShorterCandidatesAndWrapsToTheLongest) {
    Type("neihou");
    Space();
    const Items longest = {Text(NEI HOU), Text(ZUNG MAN), Text(SI JAN)};
    EXPECT_EQ(Candidates(), longest)
        << "equal lengths: the phrase database's items, then the user's";
    EXPECT_EQ(data->segLen, 6u);
    EXPECT_EQ(data->mode, (DWORD)MODE_CHOOSING);
    EXPECT_EQ(data->singleChars, 0u);

    Space();
    EXPECT_EQ(Candidates(), Items({Text(NEI) + ESC + Text("(you)")}))
        << "the shorter item of the same entry";
    EXPECT_EQ(data->segLen, 6u);
    EXPECT_EQ(data->singleChars, 1u);

    Space();
    EXPECT_EQ(Candidates(),
              Items({Text(NEI) + ESC + Text("(you)"), Text(DAAI) + ESC + Text("(big)"), Text(JAN)}))
        << "explained characters first; one without explanation last";
    EXPECT_EQ(data->segLen, 3u);

    Space();
    EXPECT_EQ(Candidates(), Items({Text(TIN)}));
    EXPECT_EQ(data->segLen, 1u);
    ExpectSounds({});

    Space();
    EXPECT_EQ(Candidates(), longest) << "after the shortest, the longest again";
    EXPECT_EQ(data->segLen, 6u);
    ExpectSounds({WAVE_WRAPPED});
    EXPECT_EQ(data->candCursor, 0u);
    EXPECT_EQ(data->pageView, 1u);
}

TEST_F(Convert, ChoosingUntilTheReadingIsUsedUpCommitsOneResult) {
    Type("neingohou");
    Space();
    Kindlist kinds = Kinds(Choose(0));
    EXPECT_EQ(Chosen(), Text(NEI)) << "the explanation is not part of the text";
    EXPECT_EQ(Candidates(), Items({Text(NGO)}));
    EXPECT_EQ(std::count(kinds.begin(), kinds.end(), END), 0);
    Choose(0);
    EXPECT_EQ(ReadClause(), std::vector<DWORD>({0, 3, 6, 9}));
    kinds = Kinds(Choose(0));
    EXPECT_EQ(Result(), Text(NEI NGO HOU));
    EXPECT_EQ(std::count(kinds.begin(), kinds.end(), END), 1);
    EXPECT_EQ(std::count(kinds.begin(), kinds.end(), START), 0)
        << "the composition started with the reading";
}

TEST_F(Convert, ConvertingAgainForgetsTheAbandonedSegments) {
    Type("neingohou");
    Space();
    Choose(0);
    Choose(0);
    Backspace(); // back to the reading
    EXPECT_EQ(data->mode, (DWORD)MODE_READING);
    Space();
    EXPECT_EQ(ReadClause(), std::vector<DWORD>({0, 9}));
    EXPECT_EQ(Chosen(), Text(""));
    Choose(1);
    EXPECT_EQ(ReadClause(), std::vector<DWORD>({0, 3, 9}));
    EXPECT_EQ(Chosen(), Text(DAAI));
}

TEST_F(Convert, AWholeReadingWithOneCandidateIsCommittedBySpaceButShownByRight) {
    Type("ngo");
    Right();
    EXPECT_EQ(Candidates(), Items({Text(NGO)}));
    EXPECT_EQ(Result(), Text(""));
    Esc();
    Type("ngo");
    EXPECT_EQ(Kinds(Space()).back(), END);
    EXPECT_EQ(Result(), Text(NGO));
}

TEST_F(Convert, LeftReopensEarlierSegmentsWithTheirCandidates) {
    Type("neingohou");
    Space();
    Items first = Candidates();
    Choose(1);
    Choose(0);
    EXPECT_EQ(Chosen(), Text(DAAI NGO));

    Left();
    EXPECT_EQ(Candidates(), Items({Text(NGO)}));
    EXPECT_EQ(Chosen(), Text(DAAI));
    EXPECT_EQ(ReadClause(), std::vector<DWORD>({0, 3, 9}));
    EXPECT_EQ(data->segStart, 3u);
    EXPECT_EQ(data->segLen, 3u);

    Left();
    EXPECT_EQ(Candidates(), first);
    EXPECT_EQ(Chosen(), Text(""));
    EXPECT_EQ(data->segCount, 0u);

    ExpectSounds({});
    Left();
    ExpectSounds({WAVE_REFUSED});
    EXPECT_EQ(Candidates(), first) << "nothing before the first segment";
    EXPECT_EQ(ReadClause(), std::vector<DWORD>({0, 9}));

    Choose(2);
    Choose(0);
    Choose(0);
    EXPECT_EQ(Result(), Text(JAN NGO HOU)) << "a chosen segment replaces the reopened one";
}

TEST_F(Convert, NoMatchAtTheStartEndsWithoutAResult) {
    Type("xyz");
    EXPECT_EQ(Kinds(Space()), Kindlist({END})) << "an entry without data is no match";
    EXPECT_EQ(data->segLen, 0u);
    EXPECT_EQ(data->candList, nullptr);
    ExpectSounds({WAVE_NO_MATCH});
    EXPECT_EQ(Result(), Text(""));
}

TEST_F(Convert, NoMatchLaterCommitsWhatWasChosen) {
    Type("neixyz");
    Space();
    EXPECT_EQ(Kinds(Choose(0)).back(), END);
    EXPECT_EQ(Result(), Text(NEI));
    ExpectSounds({WAVE_NO_MATCH});
}

TEST_F(Convert, MissingDatabasesMatchNothing) {
    ptree *phrases = data->phraseTree, *user = data->userTree;
    data->phraseTree = data->userTree = nullptr;
    DWORD n = 7;
    EXPECT_EQ(TranslateString(nullptr, nullptr, TEXT("ngo"), 0, &n), nullptr);
    EXPECT_EQ(n, 0u);
    Type("ngo");
    Space();
    EXPECT_EQ(data->segLen, 0u);
    data->phraseTree = phrases;
    data->userTree = user;
}

TEST_F(Convert, TranslateStringLowersTheReadingAndHonoursTheLimit) {
    DWORD n = 0;
    LPTSTR found = TranslateString(data->phraseTree, data->userTree, TEXT("NEIHOU"), 0, &n);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(n, 6u);
    EXPECT_EQ(tstring(found), Text(NEI HOU "\t" ZUNG MAN "\t" NEI "\t" SI JAN));
    GlobalFree(found);
    found = TranslateString(data->phraseTree, data->userTree, TEXT("neihou"), 4, &n);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(n, 3u);
    GlobalFree(found);
    found = TranslateString(data->userTree, nullptr, TEXT("xyz"), 0, &n);
    EXPECT_EQ(found, nullptr) << "empty data";
    EXPECT_EQ(n, 0u);
}

TEST_F(Convert, BrailleSegmentsNeverEndBeforeAOneDotCell) {
    Type("bca");
    Right();
    EXPECT_EQ(data->segLen, 2u);
    EXPECT_EQ(Candidates(), Items({Text(ZUNG)}));

    globData.brailleVariant = 1;
    Backspace();
    Right();
    EXPECT_EQ(data->segLen, 1u) << "\"bc\" would end before the cell a";
    EXPECT_EQ(Candidates(), Items({Text(MAN)}));
}

TEST_F(Convert, BrailleWithoutAnAllowedEndHasNoMatch) {
    globData.brailleVariant = 1;
    Type("ba1");
    EXPECT_EQ(Kinds(Space()), Kindlist({END}));
    EXPECT_EQ(data->segLen, 0u) << "\"ba\" ends before 1, \"b\" before a";
    ExpectSounds({WAVE_NO_MATCH});

    Type("ba");
    Right();
    EXPECT_EQ(Candidates(), Items({Text(MUN)})) << "a cell at the reading's end does not count";
}

#ifdef UNICODE
TEST_F(Convert, ASurrogatePairIsOneCharacter) {
    const tstring pair = {(TCHAR)0xD840, (TCHAR)0xDC00};
    EXPECT_EQ(ItemLen((pair + TEXT("|(x)")).c_str()), 1u);
    EXPECT_EQ(ItemLen((pair + pair).c_str()), 2u);
    EXPECT_EQ(ItemLen(pair.c_str()), 1u);
    EXPECT_EQ(ItemLen(TEXT("a|b")), 1u);
    EXPECT_EQ(ItemLen(TEXT("a|")), 2u);

    data->matchText =
        DuplicateString((pair + TEXT("|(x)\t") + pair + TEXT("\t") + pair + pair).c_str());
    BuildConversionList(data);
    EXPECT_EQ(Candidates(), Items({pair + pair}));
    EXPECT_EQ(data->singleChars, 0u);
    BuildConversionList(data);
    EXPECT_EQ(Candidates(), Items({pair + ESC + TEXT("(x)"), pair}));
    EXPECT_EQ(data->singleChars, 1u);
    EXPECT_EQ(data->matchText, nullptr);
}
#else
TEST_F(Convert, ABig5CharacterIsTwoBytes) {
    EXPECT_EQ(ItemLen(NEI "|(x)"), 2u);
    EXPECT_EQ(ItemLen(NEI "|"), 3u);
    EXPECT_EQ(ItemLen("a|bc"), 4u) << "only a double-byte character takes an explanation";
    EXPECT_EQ(ItemLen(NEI HOU), 4u);

    data->matchText = DuplicateString(JAN "|(x)\t" NEI HOU "\t" MUN);
    BuildConversionList(data);
    EXPECT_EQ(Candidates(), Items({NEI HOU}));
    BuildConversionList(data);
    EXPECT_EQ(Candidates(), Items({JAN "\x1b(x)", MUN}));
}
#endif

} // namespace
