// Candidate display and the keys that choose a candidate, on a real input
// context converting a typed reading.
#include "tests/core/engine_fixture.h"

#include <string>

namespace {

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
        EXPECT_EQ(Take(FormatExplanation(Text(c.explanation).c_str(), Text("A").c_str())),
                  Text(c.shown))
            << c.explanation;
    EXPECT_EQ(Take(FormatConverted(Text("word").c_str())), Text("word"));
    EXPECT_EQ(Take(FormatConverted(Text("A\x1b(alpha)").c_str())), Text("A  alpha"));
    EXPECT_EQ(Take(FormatConverted(Text("A\x1b"
                                        "bee")
                                       .c_str())),
              Text("bee"))
        << "no bare character";
}

// Candidates of the reading "ab" from a phrase database, as typing and
// converting it shows them.
class Candidates : public EngineContext {
protected:
    // Types the reading "ab" and shows its candidates (Right).
    void Convert(const std::string &items) {
        Use({{{"ab", items}}, {}, {}, {}});
        Type("ab");
        Right();
    }
    // A list made by hand on show, for the display alone.
    void Show(const std::string &items, DWORD singleChars = 0) {
        data->candList = CreateTabList(Text(items).c_str());
        data->pageView = 1;
        data->singleChars = singleChars;
        DisplayConverted(&ic->hCompStr, data);
    }
};

TEST_F(Candidates, PagesOfNineAreNumberedFromOne) {
    Convert(Words(12));
    EXPECT_EQ(Composition(), Text("1 w01   2 w02   3 w03   4 w04   5 w05   6 w06   7 w07   8 w08   "
                                  "9 w09"));
    EXPECT_EQ(data->candList->index, 0u) << "the list cursor stays on the page";
    PageDown();
    EXPECT_EQ(Composition(), Text("1 w10   2 w11   3 w12"));
    Esc();

    Convert(Words(20));
    PageDown();
    PageDown();
    EXPECT_EQ(Composition(), Text("1 w19   2 w20"));
    PageDown();
    PageDown();
    for (int i = 0; i < 5; i++)
        Down();
    EXPECT_EQ(Composition(), Text("5 w14")) << "the single view numbers within the page";
    EXPECT_EQ(data->candList->index, 9u);
}

TEST_F(Candidates, SingleCharactersShowTheCharacterAndTheirExplanations) {
    Show("A\x1b(alpha)\tB\x1b"
         "bee(insect)\tC\x1b"
         "cat",
         1);
    EXPECT_EQ(Composition(), Text("A   1 A  alpha   2 bee  insect   3 cat"));
}

TEST_F(Candidates, ALoneCandidateShowsJustItsText) {
    Show("A\x1b(alpha)", 1);
    EXPECT_EQ(Composition(), Text("A"));
    data->pageView = 0;
    DisplayConverted(&ic->hCompStr, data);
    EXPECT_EQ(Composition(), Text("1 A  alpha"));
}

TEST_F(Candidates, DigitsChooseOnThePageOnShow) {
    Convert(Words(12));
    ASSERT_EQ(data->mode, (DWORD)MODE_CHOOSING);
    PageDown();
    EXPECT_EQ(Kinds(Type("5")), Kindlist()) << "beyond the page: refused";
    EXPECT_EQ(Composition(), Text("1 w10   2 w11   3 w12"));
    EXPECT_EQ(data->candList->index, 9u);
    Type("2");
    EXPECT_EQ(Result(), Text("w11"));
    EXPECT_EQ(data->mode, (DWORD)MODE_IDLE);
}

TEST_F(Candidates, RightChoosesTheHighlightedCandidate) {
    Convert(Words(12));
    for (int i = 0; i < 5; i++)
        Down();
    EXPECT_EQ(data->candCursor, 4u);
    Right();
    EXPECT_EQ(Result(), Text("w05"));
}

TEST_F(Candidates, EnterBackspaceAndOtherKeys) {
    Convert(Words(3));
    EXPECT_EQ(Kinds(Type("x")), Kindlist()) << "not a key of the candidates";
    Backspace();
    EXPECT_EQ(data->mode, (DWORD)MODE_READING);
    EXPECT_EQ(Composition(), Text("ab")) << "back to the reading";

    Right();
    Enter();
    EXPECT_EQ(Result(), Text("")) << "nothing chosen yet";
    EXPECT_EQ(data->mode, (DWORD)MODE_IDLE);
}

} // namespace
