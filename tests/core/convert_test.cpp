// Conversion of a typed reading into text on a real input context, with
// small hand-made phrase, user, dictionary and query images.
#include "dict/text.h"
#include "engine/engine.h"
#include "frame/compstr.h"
#include "frame/globdata.h"
#include "platform/posix/imm_host.h"
#include "tests/core/test_image.h"
#include "ui/resource.h"
#include "tests/core/test_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

typedef std::basic_string<TCHAR> tstring;
typedef std::vector<tstring> Items;

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

// The module's text for Big5 bytes.
tstring B(const char *big5) {
#ifdef UNICODE
    LPTSTR text = Big5ToTChar(big5);
    tstring result(text);
    GlobalFree(text);
    return result;
#else
    return tstring(big5);
#endif
}

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

// The built input-method module beside the tests, for its sounds; null
// when it has not been built.
HINSTANCE SoundModule() {
    static HINSTANCE module = [] {
        char path[MAX_PATH] = "";
        std::string exe(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
        std::string folder = exe.substr(0, exe.rfind('/'));
        return (HINSTANCE)LoadLibraryA((folder + "/../modules/vexa.so").c_str());
    }();
    return module;
}

class Convert : public ::testing::Test {
protected:
    ScratchDir dir;
    HIMC imc = nullptr;
    LPINPUTCONTEXT ic = nullptr;
    GLOBDATA saved = globData;
    std::vector<BYTE> images[4] = {BuildImage("TAVO phrase database", kPhrases),
                                   BuildImage("TAVO userdict", kUser),
                                   BuildImage("TAVO dictionary database", kDictionary),
                                   BuildImage("TAVO query database", kQuery)};

    void SetUp() override {
        setenv("TAVO_REGISTRY", dir.path("registry").c_str(), 1);
        setenv("TAVO_SOUND", ("capture:" + dir.path("sound.wav")).c_str(), 1);
        setenv("TAVO_SOUND_TIMESCALE", "0.001", 1);
        globData.hInstance = SoundModule();
        imc = tavo_CreateInputContext(nullptr, sizeof(PrivateData));
        ic = ImmLockIMC(imc);
        ASSERT_TRUE(InitCompStr(ic));
        PrivateData *data = Data();
        data->phraseTree = Open(0);
        data->userTree = Open(1);
        data->dictTree = Open(2);
        data->queryTree = Open(3);
    }
    void TearDown() override {
        PrivateData *data = Data();
        for (ptree *tree : {data->phraseTree, data->userTree, data->dictTree, data->queryTree})
            ptree_close(tree);
        if (data->candList != nullptr)
            DeleteTabList(data->candList);
        if (data->matchText != nullptr)
            GlobalFree(data->matchText);
        if (data->queryList != nullptr)
            DeleteTabList(data->queryList);
        ImmUnlockIMC(imc);
        ImmDestroyContext(imc);
        globData = saved;
    }
    ptree *Open(int i) { return ptree_open(images[i].data(), (DWORD)images[i].size()); }
    PrivateData *Data() {
        PrivateData *data = (PrivateData *)ImmLockIMCC(ic->hPrivate);
        ImmUnlockIMCC(ic->hPrivate);
        return data;
    }
    HIMCC *CompStr() { return &ic->hCompStr; }
    // Types the reading and drops the messages it produced.
    void Type(const char *reading) {
        for (const char *c = reading; *c != 0; c++) {
            Data()->ch = (TCHAR)*c;
            ExtendReading(CompStr(), Data());
            Data()->mode = MODE_READING;
        }
        Messages();
    }
    std::vector<UINT> Messages() {
        BuildMessages(imc, FALSE);
        std::vector<UINT> kinds;
        TRANSMSG *buffer = (TRANSMSG *)ImmLockIMCC(ic->hMsgBuf);
        for (DWORD i = 0; buffer != nullptr && i < ic->dwNumMsgBuf; i++)
            kinds.push_back(buffer[i].message);
        ImmUnlockIMCC(ic->hMsgBuf);
        ic->dwNumMsgBuf = 0;
        return kinds;
    }
    Items Candidates() {
        Items items;
        TabList *list = Data()->candList;
        for (DWORD i = 0; list != nullptr && i < list->count; i++) {
            GotoTabItem(list, i);
            items.push_back(list->item);
        }
        if (list != nullptr)
            GotoTabItem(list, 0);
        return items;
    }
    // Chooses the candidate at position i and moves on, as a digit does.
    void Choose(DWORD i) {
        GotoTabItem(Data()->candList, i);
        ExtendConvert(CompStr(), Data());
        ConvertNext(CompStr(), Data());
    }
    tstring Text(DWORD COMPOSITIONSTRING::*offset, DWORD COMPOSITIONSTRING::*length) {
        auto *cs = (LPCOMPOSITIONSTRING)ImmLockIMCC(ic->hCompStr);
        tstring text((LPCTSTR)((BYTE *)cs + cs->*offset), cs->*length);
        ImmUnlockIMCC(ic->hCompStr);
        return text;
    }
    tstring Result() {
        return Text(&COMPOSITIONSTRING::dwResultStrOffset, &COMPOSITIONSTRING::dwResultStrLen);
    }
    tstring Chosen() {
        return Text(&COMPOSITIONSTRING::dwResultReadStrOffset,
                    &COMPOSITIONSTRING::dwResultReadStrLen);
    }
    // The sounds played so far, by resource number, from the capture log
    // (lines of time, name and length, separated by two spaces).
    std::vector<int> Sounds() {
        std::vector<BYTE> bytes = ReadWholeFile(dir.path("sound.wav.log"));
        std::string log(bytes.begin(), bytes.end());
        std::vector<int> sounds;
        const std::string name = "  resource ";
        for (size_t at = log.find(name); at != std::string::npos; at = log.find(name, at + 1))
            sounds.push_back(atoi(log.c_str() + at + name.size()));
        return sounds;
    }
    // The sounds can be heard only with the module's resources.
    void ExpectSounds(const std::vector<int> &expected) {
        if (globData.hInstance != nullptr) {
            EXPECT_EQ(Sounds(), expected);
        }
    }
    std::vector<DWORD> ReadClause() {
        auto *cs = (LPCOMPOSITIONSTRING)ImmLockIMCC(ic->hCompStr);
        DWORD *entries = COMPSTR_DWORDS(cs, dwCompReadClauseOffset);
        std::vector<DWORD> clause(entries, entries + cs->dwCompReadClauseLen / 4);
        ImmUnlockIMCC(ic->hCompStr);
        return clause;
    }
};

const UINT END = WM_IME_ENDCOMPOSITION;
const tstring ESC(1, (TCHAR)0x1B);

TEST_F(Convert, SpaceCyclesThroughShorterCandidatesAndWrapsToTheLongest) {
    Type("neihou");
    ConvertFirst(CompStr(), Data(), TRUE);
    const Items longest = {B(NEI HOU), B(ZUNG MAN), B(SI JAN)};
    EXPECT_EQ(Candidates(), longest)
        << "equal lengths: the phrase database's items, then the user's";
    EXPECT_EQ(Data()->segLen, 6u);
    EXPECT_EQ(Data()->mode, (DWORD)MODE_CHOOSING);
    EXPECT_EQ(Data()->singleChars, 0u);

    ConvertNext(CompStr(), Data());
    EXPECT_EQ(Candidates(), Items({B(NEI) + ESC + B("(you)")}))
        << "the shorter item of the same entry";
    EXPECT_EQ(Data()->segLen, 6u);
    EXPECT_EQ(Data()->singleChars, 1u);

    ConvertNext(CompStr(), Data());
    EXPECT_EQ(Candidates(), Items({B(NEI) + ESC + B("(you)"), B(DAAI) + ESC + B("(big)"), B(JAN)}))
        << "explained characters first; one without explanation last";
    EXPECT_EQ(Data()->segLen, 3u);

    ConvertNext(CompStr(), Data());
    EXPECT_EQ(Candidates(), Items({B(TIN)}));
    EXPECT_EQ(Data()->segLen, 1u);
    ExpectSounds({});

    ConvertNext(CompStr(), Data());
    EXPECT_EQ(Candidates(), longest) << "after the shortest, the longest again";
    EXPECT_EQ(Data()->segLen, 6u);
    ExpectSounds({WAVE_WRAPPED});
    EXPECT_EQ(Data()->candCursor, 0u);
    EXPECT_EQ(Data()->pageView, 1u);
}

TEST_F(Convert, ChoosingUntilTheReadingIsUsedUpCommitsOneResult) {
    Type("neingohou");
    ConvertFirst(CompStr(), Data(), TRUE);
    Choose(0);
    EXPECT_EQ(Chosen(), B(NEI)) << "the explanation is not part of the text";
    EXPECT_EQ(Candidates(), Items({B(NGO)}));
    std::vector<UINT> messages = Messages();
    EXPECT_TRUE(messages.empty() || messages.back() != END);
    Choose(0);
    EXPECT_EQ(ReadClause(), std::vector<DWORD>({0, 3, 6, 9}));
    Choose(0);
    EXPECT_EQ(Result(), B(NEI NGO HOU));
    messages = Messages();
    EXPECT_EQ(std::count(messages.begin(), messages.end(), (UINT)END), 1);
    EXPECT_EQ(std::count(messages.begin(), messages.end(), (UINT)WM_IME_STARTCOMPOSITION), 0)
        << "the composition started with the reading";
}

TEST_F(Convert, ConvertingAgainForgetsTheAbandonedSegments) {
    Type("neingohou");
    ConvertFirst(CompStr(), Data(), TRUE);
    Choose(0);
    Choose(0);
    Data()->mode = MODE_READING; // Backspace: back to the reading
    ConvertFirst(CompStr(), Data(), TRUE);
    EXPECT_EQ(ReadClause(), std::vector<DWORD>({0, 9}));
    EXPECT_EQ(Chosen(), B(""));
    Choose(1);
    EXPECT_EQ(ReadClause(), std::vector<DWORD>({0, 3, 9}));
    EXPECT_EQ(Chosen(), B(DAAI));
}

TEST_F(Convert, AWholeReadingWithOneCandidateIsCommittedBySpaceButShownByRight) {
    Type("ngo");
    ConvertFirst(CompStr(), Data(), FALSE);
    EXPECT_EQ(Candidates(), Items({B(NGO)}));
    EXPECT_EQ(Result(), B(""));
    ConvertFirst(CompStr(), Data(), TRUE);
    EXPECT_EQ(Result(), B(NGO));
    EXPECT_EQ(Messages().back(), END);
}

TEST_F(Convert, LeftReopensEarlierSegmentsWithTheirCandidates) {
    Type("neingohou");
    ConvertFirst(CompStr(), Data(), TRUE);
    Items first = Candidates();
    Choose(1);
    Choose(0);
    EXPECT_EQ(Chosen(), B(DAAI NGO));

    ReduceConvert(CompStr(), Data());
    EXPECT_EQ(Candidates(), Items({B(NGO)}));
    EXPECT_EQ(Chosen(), B(DAAI));
    EXPECT_EQ(ReadClause(), std::vector<DWORD>({0, 3, 9}));
    EXPECT_EQ(Data()->segStart, 3u);
    EXPECT_EQ(Data()->segLen, 3u);

    ReduceConvert(CompStr(), Data());
    EXPECT_EQ(Candidates(), first);
    EXPECT_EQ(Chosen(), B(""));
    EXPECT_EQ(Data()->segCount, 0u);

    ExpectSounds({});
    ReduceConvert(CompStr(), Data());
    ExpectSounds({WAVE_REFUSED});
    EXPECT_EQ(Candidates(), first) << "nothing before the first segment";
    EXPECT_EQ(ReadClause(), std::vector<DWORD>({0, 9}));

    Choose(2);
    Choose(0);
    Choose(0);
    EXPECT_EQ(Result(), B(JAN NGO HOU)) << "a chosen segment replaces the reopened one";
}

TEST_F(Convert, NoMatchAtTheStartEndsWithoutAResult) {
    Type("xyz");
    ConvertFirst(CompStr(), Data(), TRUE);
    EXPECT_EQ(Data()->segLen, 0u);
    EXPECT_EQ(Data()->candList, nullptr);
    EXPECT_EQ(Messages(), std::vector<UINT>({END})) << "an entry without data is no match";
    ExpectSounds({WAVE_NO_MATCH});
    EXPECT_EQ(Result(), B(""));
}

TEST_F(Convert, NoMatchLaterCommitsWhatWasChosen) {
    Type("neixyz");
    ConvertFirst(CompStr(), Data(), TRUE);
    Choose(0);
    EXPECT_EQ(Result(), B(NEI));
    EXPECT_EQ(Messages().back(), END);
    ExpectSounds({WAVE_NO_MATCH});
}

TEST_F(Convert, MissingDatabasesMatchNothing) {
    ptree *phrases = Data()->phraseTree, *user = Data()->userTree;
    Data()->phraseTree = Data()->userTree = nullptr;
    DWORD n = 7;
    EXPECT_EQ(TranslateString(nullptr, nullptr, TEXT("ngo"), 0, &n), nullptr);
    EXPECT_EQ(n, 0u);
    Type("ngo");
    ConvertFirst(CompStr(), Data(), TRUE);
    EXPECT_EQ(Data()->segLen, 0u);
    Data()->phraseTree = phrases;
    Data()->userTree = user;
}

TEST_F(Convert, TranslateStringLowersTheReadingAndHonoursTheLimit) {
    DWORD n = 0;
    LPTSTR found = TranslateString(Data()->phraseTree, Data()->userTree, TEXT("NEIHOU"), 0, &n);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(n, 6u);
    EXPECT_EQ(tstring(found), B(NEI HOU "\t" ZUNG MAN "\t" NEI "\t" SI JAN));
    GlobalFree(found);
    found = TranslateString(Data()->phraseTree, Data()->userTree, TEXT("neihou"), 4, &n);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(n, 3u);
    GlobalFree(found);
    found = TranslateString(Data()->userTree, nullptr, TEXT("xyz"), 0, &n);
    EXPECT_EQ(found, nullptr) << "empty data";
    EXPECT_EQ(n, 0u);
}

TEST_F(Convert, BrailleSegmentsNeverEndBeforeAOneDotCell) {
    Type("bca");
    ConvertFirst(CompStr(), Data(), FALSE);
    EXPECT_EQ(Data()->segLen, 2u);
    EXPECT_EQ(Candidates(), Items({B(ZUNG)}));

    globData.brailleVariant = 1;
    ConvertFirst(CompStr(), Data(), FALSE);
    EXPECT_EQ(Data()->segLen, 1u) << "\"bc\" would end before the cell a";
    EXPECT_EQ(Candidates(), Items({B(MAN)}));
}

TEST_F(Convert, BrailleWithoutAnAllowedEndHasNoMatch) {
    globData.brailleVariant = 1;
    Type("ba1");
    ConvertFirst(CompStr(), Data(), TRUE);
    EXPECT_EQ(Data()->segLen, 0u) << "\"ba\" ends before 1, \"b\" before a";
    EXPECT_EQ(Messages(), std::vector<UINT>({END}));
    ExpectSounds({WAVE_NO_MATCH});

    Data()->mode = MODE_IDLE;
    Type("ba");
    ConvertFirst(CompStr(), Data(), FALSE);
    EXPECT_EQ(Candidates(), Items({B(MUN)})) << "a cell at the reading's end does not count";
}

#ifdef UNICODE
TEST_F(Convert, ASurrogatePairIsOneCharacter) {
    const tstring pair = {(TCHAR)0xD840, (TCHAR)0xDC00};
    EXPECT_EQ(ItemLen((pair + TEXT("|(x)")).c_str()), 1u);
    EXPECT_EQ(ItemLen((pair + pair).c_str()), 2u);
    EXPECT_EQ(ItemLen(pair.c_str()), 1u);
    EXPECT_EQ(ItemLen(TEXT("a|b")), 1u);
    EXPECT_EQ(ItemLen(TEXT("a|")), 2u);

    Data()->matchText =
        DuplicateString((pair + TEXT("|(x)\t") + pair + TEXT("\t") + pair + pair).c_str());
    BuildConversionList(Data());
    EXPECT_EQ(Candidates(), Items({pair + pair}));
    EXPECT_EQ(Data()->singleChars, 0u);
    BuildConversionList(Data());
    EXPECT_EQ(Candidates(), Items({pair + ESC + TEXT("(x)"), pair}));
    EXPECT_EQ(Data()->singleChars, 1u);
    EXPECT_EQ(Data()->matchText, nullptr);
}
#else
TEST_F(Convert, ABig5CharacterIsTwoBytes) {
    EXPECT_EQ(ItemLen(NEI "|(x)"), 2u);
    EXPECT_EQ(ItemLen(NEI "|"), 3u);
    EXPECT_EQ(ItemLen("a|bc"), 4u) << "only a double-byte character takes an explanation";
    EXPECT_EQ(ItemLen(NEI HOU), 4u);

    Data()->matchText = DuplicateString(JAN "|(x)\t" NEI HOU "\t" MUN);
    BuildConversionList(Data());
    EXPECT_EQ(Candidates(), Items({NEI HOU}));
    BuildConversionList(Data());
    EXPECT_EQ(Candidates(), Items({JAN "\x1b(x)", MUN}));
}
#endif

} // namespace
