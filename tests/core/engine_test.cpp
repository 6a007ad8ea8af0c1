// The engine on a real input context: keys in, composition string and
// message requests out, as BuildMessages turns them into messages.
#include "engine/engine.h"
#include "frame/compstr.h"
#include "frame/globdata.h"
#include "frame/settings.h"
#include "platform/posix/imm_host.h"
#include "tests/core/test_image.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

typedef std::basic_string<TCHAR> tstring;

tstring T(const char *ascii) {
    return tstring(ascii, ascii + strlen(ascii));
}

// The menu as the string table has it, with its six slots.
const TCHAR kMenu[] = TEXT("Menu 1 %s 2 %s 3 %s 4 %s 5 %s 6 %s 7 8");

class Engine : public ::testing::Test {
protected:
    ScratchDir dir;
    HIMC imc = nullptr;
    LPINPUTCONTEXT ic = nullptr;
    BYTE keys[256] = {};
    GLOBDATA saved = globData;

    void SetUp() override {
        setenv("TAVO_REGISTRY", dir.path("registry").c_str(), 1);
        setenv("TAVO_SOUND", "silent", 1);
        setenv("TAVO_SOUND_TIMESCALE", "0.001", 1);
        lstrcpy(globData.uiClass, TEXT("ENGINETEST"));
        lstrcpy(globData.optionMenu, kMenu);
        lstrcpy(globData.onText, TEXT("on"));
        lstrcpy(globData.offText, TEXT("off"));
        globData.fontSize = 24;
        imc = tavo_CreateInputContext(nullptr, sizeof(PrivateData));
        ic = ImmLockIMC(imc);
        ASSERT_TRUE(InitCompStr(ic));
        ic->fdwConversion = IME_CMODE_NATIVE;
    }
    void TearDown() override {
        PrivateData *data = Data();
        if (data->queryList != nullptr)
            DeleteTabList(data->queryList);
        ImmUnlockIMCC(ic->hPrivate);
        ImmUnlockIMC(imc);
        ImmDestroyContext(imc);
        globData = saved;
    }
    PrivateData *Data() {
        PrivateData *data = (PrivateData *)ImmLockIMCC(ic->hPrivate);
        ImmUnlockIMCC(ic->hPrivate);
        return data;
    }
    // One key as the frame hands it on: its character and virtual key,
    // then the messages it produced.
    std::vector<TRANSMSG> Key(TCHAR ch, BYTE vkey, DWORD key = 0) {
        Data()->ch = ch;
        Data()->vkey = vkey;
        TranslateChar(imc, ic, key != 0 ? key : (DWORD)vkey | ((DWORD)ch << (8 * sizeof(TCHAR))),
                      keys);
        BuildMessages(imc, FALSE);
        std::vector<TRANSMSG> messages;
        TRANSMSG *buffer = (TRANSMSG *)ImmLockIMCC(ic->hMsgBuf);
        for (DWORD i = 0; buffer != nullptr && i < ic->dwNumMsgBuf; i++)
            messages.push_back(buffer[i]);
        ImmUnlockIMCC(ic->hMsgBuf);
        ic->dwNumMsgBuf = 0;
        return messages;
    }
    std::vector<TRANSMSG> Type(const char *text) {
        std::vector<TRANSMSG> all;
        for (const char *c = text; *c != 0; c++) {
            std::vector<TRANSMSG> messages = Key(*c, (BYTE)toupper(*c));
            all.insert(all.end(), messages.begin(), messages.end());
        }
        return all;
    }
    tstring Composition() {
        auto *cs = (LPCOMPOSITIONSTRING)ImmLockIMCC(ic->hCompStr);
        tstring text(COMPSTR_TEXT(cs, dwCompStrOffset), cs->dwCompStrLen);
        ImmUnlockIMCC(ic->hCompStr);
        return text;
    }
    tstring Reading() {
        auto *cs = (LPCOMPOSITIONSTRING)ImmLockIMCC(ic->hCompStr);
        tstring text(COMPSTR_TEXT(cs, dwCompReadStrOffset), cs->dwCompReadStrLen);
        ImmUnlockIMCC(ic->hCompStr);
        return text;
    }
    tstring Result() {
        auto *cs = (LPCOMPOSITIONSTRING)ImmLockIMCC(ic->hCompStr);
        tstring text(COMPSTR_TEXT(cs, dwResultStrOffset), cs->dwResultStrLen);
        ImmUnlockIMCC(ic->hCompStr);
        return text;
    }
    void SaveSetting(DWORD GLOBDATA::*field, DWORD value) {
        globData.*field = value;
        SaveUserSettings();
    }
};

std::vector<UINT> Kinds(const std::vector<TRANSMSG> &messages) {
    std::vector<UINT> kinds;
    for (const TRANSMSG &message : messages)
        kinds.push_back(message.message);
    return kinds;
}

typedef std::vector<UINT> Kindlist;
const UINT START = WM_IME_STARTCOMPOSITION, CHANGE = WM_IME_COMPOSITION,
           END = WM_IME_ENDCOMPOSITION;

TEST_F(Engine, TypingAReadingShowsItOnlyWhenVerbose) {
    SaveSetting(&GLOBDATA::verboseComposition, 1);
    EXPECT_EQ(Kinds(Key('n', 'N')), Kindlist({START, CHANGE}));
    EXPECT_EQ(Data()->mode, (DWORD)MODE_READING);
    std::vector<tstring> shown;
    for (const char *c = "go5"; *c != 0; c++) {
        Key(*c, (BYTE)toupper(*c));
        shown.push_back(Composition());
    }
    EXPECT_EQ(shown, std::vector<tstring>({T("ng"), T("ngo"), T("ngo5")}));

    Key(27, VK_ESCAPE);
    SaveSetting(&GLOBDATA::verboseComposition, 0);
    Type("ngo5");
    EXPECT_EQ(Composition(), T(" ")) << "not verbose: a single space stands for the reading";
    EXPECT_EQ(Reading(), T("ngo5"));
    EXPECT_EQ(Kinds(Key(0, VK_DOWN, VK_DOWN)), Kindlist({CHANGE}));
    EXPECT_EQ(Composition(), T("ngo5")) << "Down shows the reading whatever the setting";
}

TEST_F(Engine, BackspaceToNothingEndsWithoutCommitting) {
    Type("ab");
    EXPECT_EQ(Kinds(Key(8, VK_BACK)), Kindlist({CHANGE}));
    std::vector<TRANSMSG> last = Key(8, VK_BACK);
    EXPECT_EQ(Kinds(last), Kindlist({CHANGE, END}));
    EXPECT_EQ(Data()->mode, (DWORD)MODE_IDLE);
    EXPECT_EQ(last[0].lParam & GCS_RESULTSTR, 0);
}

TEST_F(Engine, EnterCommitsTheReadingAsTyped) {
    Type("nei5");
    std::vector<TRANSMSG> messages = Key(13, VK_RETURN);
    EXPECT_EQ(Kinds(messages), Kindlist({CHANGE, END}));
    EXPECT_EQ(messages[0].lParam & GCS_RESULTSTR, GCS_RESULTSTR);
    EXPECT_EQ(Result(), T("nei5"));
}

TEST_F(Engine, EscDropsEverything) {
    Type("nei");
    std::vector<TRANSMSG> messages = Key(27, VK_ESCAPE);
    EXPECT_EQ(Kinds(messages), Kindlist({CHANGE, END}));
    EXPECT_EQ(Result(), T(""));
    EXPECT_EQ(Reading(), T(""));
}

TEST_F(Engine, OutsideACompositionCharactersAreCommittedAtOnce) {
    EXPECT_EQ(Kinds(Key(' ', VK_SPACE)), Kindlist({START, CHANGE, END}))
        << "space never starts a reading";
    EXPECT_EQ(Result(), T(" "));
    ic->fdwConversion = 0;
    Key('A', 'A');
    EXPECT_EQ(Result(), T("A")) << "native mode off";
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
    EXPECT_EQ(Result(), T("A"));
    Data()->fullWidth = (const WORD *)table;
    Key(' ', VK_SPACE);
#ifdef UNICODE
    EXPECT_EQ(Result(), tstring(1, (TCHAR)0x3000));
    Key('A', 'A');
    EXPECT_EQ(Result(), tstring(1, (TCHAR)0xFF21));
#else
    EXPECT_EQ(Result(), tstring("\xA1\x40")) << "two Big5 bytes";
#endif
    EXPECT_EQ(Kinds(Key(0, VK_LEFT, VK_LEFT)), Kindlist())
        << "a key without a character is dropped";
}

TEST_F(Engine, OptionMenuTogglesAndSteps) {
    keys[VK_CONTROL] = 0x80;
    std::vector<TRANSMSG> opened = Key(0, KEY_MENU, KEY_MENU);
    EXPECT_EQ(Kinds(opened), Kindlist({START, CHANGE}));
    EXPECT_EQ(Composition(), T("Menu 1 on 2 on 3 on 4 on 5 on 6 on 7 8"));
    keys[VK_CONTROL] = 0;
    EXPECT_EQ(Kinds(Key(8, VK_BACK)), Kindlist()) << "other keys leave the menu open";
    Key('3', '3');
    EXPECT_EQ(globData.verboseComposition, 1u);
    EXPECT_EQ(Data()->optionMode, 0u);
    keys[VK_CONTROL] = 0x80;
    Key(0, KEY_MENU, KEY_MENU);
    EXPECT_EQ(Composition(), T("Menu 1 on 2 on 3 off 4 on 5 on 6 on 7 8"));
    keys[VK_CONTROL] = 0;
    EXPECT_EQ(Kinds(Key(27, VK_ESCAPE)), Kindlist({CHANGE, END}))
        << "Esc closes the menu opened in mode 0 and ends the composition it started";
    EXPECT_EQ(Composition(), T(""));

    const DWORD up[][2] = {{30, 36}, {36, 48}, {96, 96}, {128, 96}, {12, 18}};
    for (const auto &step : up) {
        keys[VK_CONTROL] = 0x80;
        Key(0, KEY_MENU, KEY_MENU);
        keys[VK_CONTROL] = 0;
        globData.fontSize = step[0];
        Key('7', '7');
        EXPECT_EQ(globData.fontSize, step[1]) << step[0] << " enlarged";
    }
    const DWORD down[][2] = {{36, 30}, {48, 36}, {12, 12}, {18, 12}, {128, 116}};
    for (const auto &step : down) {
        keys[VK_CONTROL] = 0x80;
        Key(0, KEY_MENU, KEY_MENU);
        keys[VK_CONTROL] = 0;
        globData.fontSize = step[0];
        Key('8', '8');
        EXPECT_EQ(globData.fontSize, step[1]) << step[0] << " reduced";
    }
}

TEST_F(Engine, TheMenuOverAReadingGivesTheReadingBack) {
    SaveSetting(&GLOBDATA::verboseComposition, 1);
    Type("hou");
    keys[VK_CONTROL] = 0x80;
    EXPECT_EQ(Kinds(Key(0, KEY_MENU, KEY_MENU)), Kindlist({CHANGE})) << "no second start";
    keys[VK_CONTROL] = 0;
    Key(27, VK_ESCAPE);
    EXPECT_EQ(Composition(), T("hou"));
    EXPECT_EQ(Data()->mode, (DWORD)MODE_READING);
}

// A list of candidates on show in mode 2, as conversion leaves it.
class Choosing : public Engine {
protected:
    void Show(int count) {
        tstring items;
        for (int i = 0; i < count; i++)
            items += (i > 0 ? T("\t") : T("")) + T(("c" + std::to_string(i)).c_str());
        PrivateData *data = Data();
        data->candList = CreateTabList(items.c_str());
        data->mode = MODE_CHOOSING;
        data->pageView = 1;
        data->candCursor = 0;
    }
    void TearDown() override {
        PrivateData *data = Data();
        if (data->candList != nullptr)
            DeleteTabList(data->candList);
        data->candList = nullptr;
        Engine::TearDown();
    }
    DWORD Index() { return Data()->candList->index; }
    DWORD Cursor() { return Data()->candCursor; }
};

TEST_F(Choosing, PagesWrapForwardAndRefuseBackward) {
    Show(20);
    Key(0, KEY_NEXT, KEY_NEXT);
    EXPECT_EQ(Index(), 9u);
    Key(0, KEY_NEXT, KEY_NEXT);
    EXPECT_EQ(Index(), 18u);
    Key(0, KEY_NEXT, KEY_NEXT);
    EXPECT_EQ(Index(), 0u) << "past the last page back to the first";
    EXPECT_EQ(Kinds(Key(0, KEY_PRIOR, KEY_PRIOR)), Kindlist()) << "refused, nothing shown";
    EXPECT_EQ(Index(), 0u);
}

TEST_F(Choosing, TheSingleViewStaysWithinItsPage) {
    Show(20);
    Key(0, KEY_NEXT, KEY_NEXT);
    Key(0, KEY_DOWN, KEY_DOWN);
    EXPECT_EQ(Data()->pageView, 0u);
    EXPECT_EQ(Cursor(), 9u);
    Key(0, KEY_UP, KEY_UP);
    EXPECT_EQ(Cursor(), 17u) << "Up from a page's first goes to its last";
    Key(0, KEY_LEFT, KEY_LEFT);
    EXPECT_EQ(Data()->pageView, 1u);
    EXPECT_EQ(Cursor(), 9u) << "Left goes back to the page";

    TearDown();
    SetUp();
    Show(12);
    Key(0, KEY_NEXT, KEY_NEXT);
    Key(0, KEY_DOWN, KEY_DOWN);
    Key(0, KEY_UP, KEY_UP);
    EXPECT_EQ(Cursor(), 11u) << "a short last page ends at the list's end";
    Key(0, KEY_DOWN, KEY_DOWN);
    EXPECT_EQ(Cursor(), 9u) << "Down from the last wraps to the page's first";
}

} // namespace
