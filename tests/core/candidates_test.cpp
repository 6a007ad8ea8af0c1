// Candidate display and the keys that choose a candidate, on a real input
// context converting a typed reading.
#include "engine/engine.h"
#include "frame/compstr.h"
#include "frame/context.h"
#include "frame/globdata.h"
#include "platform/posix/imm_host.h"
#include "tests/core/test_image.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

typedef std::basic_string<TCHAR> tstring;

tstring T(const std::string &ascii) {
    return tstring(ascii.begin(), ascii.end());
}

tstring Take(LPTSTR text) {
    tstring result = text != nullptr ? text : T("<null>");
    if (text != nullptr)
        GlobalFree(text);
    return result;
}

// Words w01, w02 ... as TAB-separated candidates.
std::string Words(int count) {
    std::string words;
    for (int i = 1; i <= count; i++)
        words += (i > 1 ? "\tw" : "w") + std::string(i < 10 ? "0" : "") + std::to_string(i);
    return words;
}

TEST(FormatCandidate, ExplanationForms) {
    struct Case {
        const char *explanation, *shown;
    } cases[] = {
        {"(alpha)", "A  alpha"},
        {"bee(insect)", "bee  insect"},
        {"bee", "bee"},
        {"bee)", "bee"},
        {"()", "A  "},
        {")", ""},
        {"(", "("},
        {"", ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(Take(FormatExplanation(T(c.explanation).c_str(), T("A").c_str())), T(c.shown))
            << c.explanation;
    EXPECT_EQ(Take(FormatConverted(T("word").c_str())), T("word"));
    EXPECT_EQ(Take(FormatConverted(T("A\x1b(alpha)").c_str())), T("A  alpha"));
    EXPECT_EQ(Take(FormatConverted(T("A\x1b"
                                     "bee")
                                       .c_str())),
              T("bee"))
        << "no bare character";
}

class Candidates : public ::testing::Test {
protected:
    ScratchDir dir;
    std::vector<BYTE> phraseImage;
    HIMC imc = nullptr;
    LPINPUTCONTEXT ic = nullptr;
    BYTE keys[256] = {};
    GLOBDATA saved = globData; // typing loads the settings into it

    void SetUp() override {
        setenv("TAVO_REGISTRY", dir.path("registry").c_str(), 1);
        setenv("TAVO_SOUND", "silent", 1);
        imc = tavo_CreateInputContext(nullptr, sizeof(PrivateData));
        ic = ImmLockIMC(imc);
        ASSERT_TRUE(InitCompStr(ic));
        ic->fdwConversion = IME_CMODE_NATIVE;
    }
    void TearDown() override {
        ClearContext(ic);
        ClearPrivateData(Data());
        ImmUnlockIMC(imc);
        ImmDestroyContext(imc);
        globData = saved;
    }
    PrivateData *Data() {
        PrivateData *data = (PrivateData *)ImmLockIMCC(ic->hPrivate);
        ImmUnlockIMCC(ic->hPrivate);
        return data;
    }
    void Show(const std::string &items, DWORD pageView, DWORD singleChars = 0) {
        Data()->candList = CreateTabList(T(items).c_str());
        Data()->pageView = pageView;
        Data()->singleChars = singleChars;
        DisplayConverted(&ic->hCompStr, Data());
    }
    void ShowPage(DWORD start) {
        GotoTabItem(Data()->candList, start);
        DisplayConverted(&ic->hCompStr, Data());
    }
    // Types the reading "ab" and converts it against a phrase database
    // that offers the given candidates for it.
    void Convert(const std::string &items) {
        phraseImage = BuildImage("TAVO phrase database", {{"ab", items}});
        Data()->phraseTree = ptree_open(phraseImage.data(), (DWORD)phraseImage.size());
        for (char c : std::string("ab")) {
            Data()->ch = c;
            Data()->vkey = (TCHAR)toupper(c);
            TranslateChar(imc, ic, (BYTE)toupper(c), keys);
            BuildMessages(imc, FALSE);
        }
        ConvertFirst(&ic->hCompStr, Data(), FALSE);
        BuildMessages(imc, FALSE);
    }
    int Press(TCHAR ch, TCHAR vkey = 0, DWORD key = 0) {
        Data()->ch = ch;
        Data()->vkey = vkey;
        int taken = PhraseChar(&ic->hCompStr, Data(), key, keys);
        BuildMessages(imc, FALSE);
        return taken;
    }
#define AREA_TEXT(offset, length)                                                                  \
    auto *cs = (LPCOMPOSITIONSTRING)ImmLockIMCC(ic->hCompStr);                                     \
    tstring text(COMPSTR_TEXT(cs, offset), cs->length);                                            \
    ImmUnlockIMCC(ic->hCompStr);                                                                   \
    return text
    tstring Composition() {
        AREA_TEXT(dwCompStrOffset, dwCompStrLen);
    }
    tstring Result() {
        AREA_TEXT(dwResultStrOffset, dwResultStrLen);
    }
};

TEST_F(Candidates, PagesOfNineAreNumberedFromOne) {
    Show(Words(12), 1);
    EXPECT_EQ(Composition(), T("1 w01   2 w02   3 w03   4 w04   5 w05   6 w06   7 w07   8 w08   "
                               "9 w09"));
    EXPECT_EQ(Data()->candList->index, 0u) << "the list cursor stays on the page";
    ShowPage(9);
    EXPECT_EQ(Composition(), T("1 w10   2 w11   3 w12"));
    DeleteTabList(Data()->candList);

    Show(Words(20), 1);
    ShowPage(18);
    EXPECT_EQ(Composition(), T("1 w19   2 w20"));
    Data()->pageView = 0;
    Data()->candCursor = 13;
    ShowPage(9);
    EXPECT_EQ(Composition(), T("5 w14"));
    EXPECT_EQ(Data()->candList->index, 9u);
}

TEST_F(Candidates, SingleCharactersShowTheCharacterAndTheirExplanations) {
    Show("A\x1b(alpha)\tB\x1b"
         "bee(insect)\tC\x1b"
         "cat",
         1, 1);
    EXPECT_EQ(Composition(), T("A   1 A  alpha   2 bee  insect   3 cat"));
}

TEST_F(Candidates, ALoneCandidateShowsJustItsText) {
    Show("A\x1b(alpha)", 1, 1);
    EXPECT_EQ(Composition(), T("A"));
    Data()->pageView = 0;
    DisplayConverted(&ic->hCompStr, Data());
    EXPECT_EQ(Composition(), T("1 A  alpha"));
}

TEST_F(Candidates, DigitsChooseOnThePageOnShow) {
    Convert(Words(12));
    ASSERT_EQ(Data()->mode, (DWORD)MODE_CHOOSING);
    ShowPage(9);
    EXPECT_EQ(Press('5', '5'), 1);
    EXPECT_EQ(Composition(), T("1 w10   2 w11   3 w12")) << "beyond the page: refused";
    EXPECT_EQ(Data()->candList->index, 9u);
    EXPECT_EQ(Press('2', '2'), 1);
    EXPECT_EQ(Result(), T("w11"));
    EXPECT_EQ(Data()->mode, (DWORD)MODE_IDLE);
}

TEST_F(Candidates, RightChoosesTheHighlightedCandidate) {
    Convert(Words(12));
    Data()->candCursor = 4;
    EXPECT_EQ(Press(0, VK_RIGHT, KEY_RIGHT), 1);
    EXPECT_EQ(Result(), T("w05"));
}

TEST_F(Candidates, EnterBackspaceAndOtherKeys) {
    Convert(Words(3));
    EXPECT_EQ(Press('x', 'X'), 0);
    EXPECT_EQ(Press(8, VK_BACK), 1);
    EXPECT_EQ(Data()->mode, (DWORD)MODE_READING);
    EXPECT_EQ(Composition(), T("ab")) << "back to the reading";

    ConvertFirst(&ic->hCompStr, Data(), FALSE);
    EXPECT_EQ(Press(13, VK_RETURN), 1);
    EXPECT_EQ(Result(), T("")) << "nothing chosen yet";
    EXPECT_EQ(Data()->mode, (DWORD)MODE_IDLE);
}

} // namespace
