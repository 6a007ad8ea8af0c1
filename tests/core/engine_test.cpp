// The engine on a real input context: keys in, composition string and
// message requests out, as BuildMessages turns them into messages.
#include "tests/core/engine_fixture.h"

#include "frame/settings.h"
#include "ui/resource.h"

#include <string>

namespace {

class Engine : public EngineContext {
protected:
    void SaveSetting(DWORD GLOBDATA::*field, DWORD value) {
        globData.*field = value;
        SaveUserSettings();
    }
};

TEST_F(Engine, TypingAReadingShowsItOnlyWhenVerbose) {
    SaveSetting(&GLOBDATA::verboseComposition, 1);
    EXPECT_EQ(Kinds(Key('n', 'N')), Kindlist({START, CHANGE}));
    EXPECT_EQ(data->mode, (DWORD)MODE_READING);
    std::vector<tstring> shown;
    for (const char *c = "go5"; *c != 0; c++) {
        Key(*c, (BYTE)toupper(*c));
        shown.push_back(Composition());
    }
    EXPECT_EQ(shown, std::vector<tstring>({Text("ng"), Text("ngo"), Text("ngo5")}));

    Esc();
    SaveSetting(&GLOBDATA::verboseComposition, 0);
    Type("ngo5");
    EXPECT_EQ(Composition(), Text(" ")) << "not verbose: a single space stands for the reading";
    EXPECT_EQ(Reading(), Text("ngo5"));
    EXPECT_EQ(Kinds(Down()), Kindlist({CHANGE}));
    EXPECT_EQ(Composition(), Text("ngo5")) << "Down shows the reading whatever the setting";
}

TEST_F(Engine, BackspaceToNothingEndsWithoutCommitting) {
    Type("ab");
    EXPECT_EQ(Kinds(Backspace()), Kindlist({CHANGE}));
    std::vector<TRANSMSG> last = Backspace();
    EXPECT_EQ(Kinds(last), Kindlist({CHANGE, END}));
    EXPECT_EQ(data->mode, (DWORD)MODE_IDLE);
    EXPECT_EQ(last[0].lParam & GCS_RESULTSTR, 0);
}

TEST_F(Engine, EnterCommitsTheReadingAsTyped) {
    Type("nei5");
    std::vector<TRANSMSG> messages = Enter();
    EXPECT_EQ(Kinds(messages), Kindlist({CHANGE, END}));
    EXPECT_EQ(messages[0].lParam & GCS_RESULTSTR, GCS_RESULTSTR);
    EXPECT_EQ(Result(), Text("nei5"));
}

TEST_F(Engine, EscDropsEverything) {
    Type("nei");
    std::vector<TRANSMSG> messages = Esc();
    EXPECT_EQ(Kinds(messages), Kindlist({CHANGE, END}));
    EXPECT_EQ(Result(), Text(""));
    EXPECT_EQ(Reading(), Text(""));
}

TEST_F(Engine, OutsideACompositionCharactersAreCommittedAtOnce) {
    EXPECT_EQ(Kinds(Space()), Kindlist({START, CHANGE, END})) << "space never starts a reading";
    EXPECT_EQ(Result(), Text(" "));
    ic->fdwConversion = 0;
    Key('A', 'A');
    EXPECT_EQ(Result(), Text("A")) << "native mode off";
    ic->fdwConversion = IME_CMODE_FULLSHAPE;
    Key('A', 'A');
#ifdef UNICODE
    // Without the module's table the letter passes unchanged; with it the
    // full-width form is taken from the table.
    static const WORD table[95] = {0x3000, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                   0,      0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF21};
#else
    static const BYTE table[190] = {0xA1, 0x40};
#endif
    EXPECT_EQ(Result(), Text("A"));
    data->fullWidth = (const WORD *)table;
    Space();
#ifdef UNICODE
    EXPECT_EQ(Result(), tstring(1, (TCHAR)0x3000));
    Key('A', 'A');
    EXPECT_EQ(Result(), tstring(1, (TCHAR)0xFF21));
#else
    EXPECT_EQ(Result(), tstring("\xA1\x40")) << "two Big5 bytes";
#endif
    EXPECT_EQ(Kinds(Left()), Kindlist()) << "a key without a character is dropped";
}

TEST_F(Engine, OptionMenuTogglesAndSteps) {
    EXPECT_EQ(Kinds(Menu()), Kindlist({START, CHANGE}));
    EXPECT_EQ(Composition(), Text("Menu 1 on 2 on 3 on 4 on 5 on 6 on 7 8"));
    EXPECT_EQ(Kinds(Backspace()), Kindlist()) << "other keys leave the menu open";
    Key('3', '3');
    EXPECT_EQ(globData.verboseComposition, 1u);
    EXPECT_EQ(data->optionMode, 0u);
    Menu();
    EXPECT_EQ(Composition(), Text("Menu 1 on 2 on 3 off 4 on 5 on 6 on 7 8"));
    EXPECT_EQ(Kinds(Esc()), Kindlist({CHANGE, END}))
        << "Esc closes the menu opened in mode 0 and ends the composition it started";
    EXPECT_EQ(Composition(), Text(""));

    const DWORD up[][2] = {{30, 36}, {36, 48}, {96, 96}, {128, 96}, {12, 18}};
    for (const auto &step : up) {
        Menu();
        globData.fontSize = step[0];
        Key('7', '7');
        EXPECT_EQ(globData.fontSize, step[1]) << step[0] << " enlarged";
    }
    const DWORD down[][2] = {{36, 30}, {48, 36}, {12, 12}, {18, 12}, {128, 116}};
    for (const auto &step : down) {
        Menu();
        globData.fontSize = step[0];
        Key('8', '8');
        EXPECT_EQ(globData.fontSize, step[1]) << step[0] << " reduced";
    }
}

TEST_F(Engine, TheMenuOverAReadingGivesTheReadingBack) {
    SaveSetting(&GLOBDATA::verboseComposition, 1);
    Type("hou");
    EXPECT_EQ(Kinds(Menu()), Kindlist({CHANGE})) << "no second start";
    Esc();
    EXPECT_EQ(Composition(), Text("hou"));
    EXPECT_EQ(data->mode, (DWORD)MODE_READING);
}

// Candidates c00, c01 ... of the reading "ab" on show in mode 2.
class Choosing : public Engine {
protected:
    void Show(int count) {
        std::string items;
        for (int i = 0; i < count; i++)
            items += (i > 0 ? "\tc" : "c") + std::string(i < 10 ? "0" : "") + std::to_string(i);
        Use({{{"ab", items}}, {}, {}, {}});
        Type("ab");
        Right();
        ASSERT_EQ(data->mode, (DWORD)MODE_CHOOSING);
    }
    DWORD Index() { return data->candList->index; }
    DWORD Cursor() { return data->candCursor; }
};

TEST_F(Choosing, PagesWrapForwardAndRefuseBackward) {
    Show(20);
    PageDown();
    EXPECT_EQ(Index(), 9u);
    PageDown();
    EXPECT_EQ(Index(), 18u);
    PageDown();
    EXPECT_EQ(Index(), 0u) << "past the last page back to the first";
    EXPECT_EQ(Kinds(PageUp()), Kindlist()) << "refused, nothing shown";
    EXPECT_EQ(Index(), 0u);
    ExpectSounds({WAVE_WRAPPED, WAVE_REFUSED});
}

TEST_F(Choosing, TheSingleViewStaysWithinItsPage) {
    Show(20);
    PageDown();
    Down();
    EXPECT_EQ(data->pageView, 0u);
    EXPECT_EQ(Cursor(), 9u);
    Up();
    EXPECT_EQ(Cursor(), 17u) << "Up from a page's first goes to its last";
    Left();
    EXPECT_EQ(data->pageView, 1u);
    EXPECT_EQ(Cursor(), 9u) << "Left goes back to the page";
    Esc();

    Show(12);
    PageDown();
    Down();
    Up();
    EXPECT_EQ(Cursor(), 11u) << "a short last page ends at the list's end";
    Down();
    EXPECT_EQ(Cursor(), 9u) << "Down from the last wraps to the page's first";
}

} // namespace
