// The module's windows through the host, on real pictures: the
// composition window's size, place, colours and braille cells, clicks on
// its lines, and the status window's buttons; in both modules.
#include "host/screen.h"
#include "host/text.h"
#include "host/window_reader.h"
#include "platform/posix/failure_injection.h"
#include "platform/posix/screen.h"
#include "tests/host/host_fixture.h"

#include <algorithm>
#include <string>
#include <thread>

namespace {

const COLORREF kBack = RGB(223, 223, 223), kReversedBack = RGB(32, 32, 32);
const COLORREF kBlack = RGB(0, 0, 0), kWhite = RGB(255, 255, 255);

// Braille ASCII cells of a few characters, as raised dots (bit 0 = dot 1).
int BrailleDots(char c) {
    switch (c) {
    case 'n':
        return 0x1D; // 1345
    case 'h':
        return 0x13; // 125
    case ',':
        return 0x20; // 6
    case 's':
        return 0x0E; // 234
    default:
        return -1;
    }
}

std::u16string Utf16(const std::string &ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

// The display's lines: the module breaks its composition at runs of three
// spaces.
std::vector<std::u16string> Lines(const std::u16string &text) {
    std::vector<std::u16string> lines(1);
    for (size_t i = 0; i < text.size();) {
        if (text.compare(i, 3, u"   ") == 0) {
            lines.emplace_back();
            i += 3;
        } else {
            lines.back() += text[i++];
        }
    }
    return lines;
}

class Windows : public HostTest {
protected:
    // The IME font as the module makes it at the default 24 points, and its
    // measurements on the screen.
    struct Font {
        HFONT font = nullptr;
        HDC dc = nullptr;
        int charWidth = 0, charHeight = 0;
        explicit Font(int points = 24) {
            dc = GetDC(nullptr);
            font = CreateFontW(-MulDiv(points, GetDeviceCaps(dc, LOGPIXELSY), 72), 0, 0, 0, FW_BOLD,
                               FALSE, FALSE, FALSE, CHINESEBIG5_CHARSET, OUT_DEFAULT_PRECIS,
                               CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                               nullptr);
            SelectObject(dc, font);
            SIZE size = extent(u"字");
            charWidth = size.cx;
            charHeight = size.cy;
        }
        ~Font() {
            SelectObject(dc, GetStockObject(SYSTEM_FONT));
            ReleaseDC(nullptr, dc);
            DeleteObject(font);
        }
        SIZE extent(const std::u16string &text) const {
            SIZE size = {};
            GetTextExtentPoint32W(dc, text.c_str(), (int)text.size(), &size);
            return size;
        }
        int widest(const std::vector<std::u16string> &lines) const {
            int widest = 0;
            for (const std::u16string &line : lines)
                widest = std::max<int>(widest, extent(line).cx);
            return widest;
        }
    };

    const int cxBorder = GetSystemMetrics(SM_CXBORDER), cyBorder = GetSystemMetrics(SM_CYBORDER);
    const int cxEdge = GetSystemMetrics(SM_CXEDGE), cyEdge = GetSystemMetrics(SM_CYEDGE);

    std::string className(const char *kind) const {
        return kind + std::string(isRuda() ? "RUDAIME" : "VEXAIME");
    }
    // A top-level window of the class, or null.
    HWND find(const char *kind) const {
        return host::topWindowOfClass(session.windowHandle(), className(kind));
    }
    HWND composition() const { return find("Comp"); }
    HWND status() const { return find("Status"); }
    static RECT Rect(HWND window) {
        RECT rect = {};
        GetWindowRect(window, &rect);
        return rect;
    }
    static posix::Surface Picture(HWND window) { return posix::snapshotScreen(Rect(window)); }

    std::u16string compositionText(DWORD index) {
        char16_t text[1024] = {};
        LONG bytes = ImmGetCompositionStringW(session.context(), index, text, sizeof text);
        return bytes > 0 ? std::u16string(text, bytes / 2) : std::u16string();
    }

    // The screen point in the middle of line i of the composition window.
    POINT lineCentre(int line, int marginY, int lineHeight, int lineGap) {
        RECT rect = Rect(composition());
        return {(rect.left + rect.right) / 2,
                rect.top + cyBorder + marginY / 2 + line * (lineHeight + lineGap) + lineHeight / 2};
    }

    const char *reading() const { return isRuda() ? "nh," : "nei5"; }
    const char *neihou() const { return isRuda() ? "nh,hva" : "nei5hou2"; }
    const char *si() const { return isRuda() ? "si" : "si1"; }
};

// The share of the pixels inside rect (shrunk by inset) that are colour.
double Share(const posix::Surface &picture, COLORREF colour, int inset) {
    int found = 0, all = 0;
    for (LONG y = inset; y < picture.height - inset; y++)
        for (LONG x = inset; x < picture.width - inset; x++, all++)
            found += picture.at(x, y) == colour;
    return all > 0 ? double(found) / all : 0;
}

TEST_P(Windows, AReadingIsShownAsWideAsItsTextAndTwoSystemLinesBelowTheCaret) {
    open();
    session.placeCaret({50, 20});
    type(reading());
    HWND window = composition();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(IsWindowVisible(window));
    Font font;
    RECT rect = Rect(window);
    std::u16string shown = compositionText(GCS_COMPREADSTR);
    EXPECT_EQ(shown, Utf16(reading()));
    EXPECT_EQ(rect.right - rect.left, 2 * cxEdge + 2 * cxBorder + font.extent(shown).cx);
    EXPECT_EQ(rect.bottom - rect.top, 2 * cyEdge + 2 * cyBorder + font.charHeight);

    HDC dc = GetDC(nullptr);
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    ReleaseDC(nullptr, dc);
    POINT caret = {50, 20};
    ClientToScreen(session.windowHandle(), &caret);
    EXPECT_EQ(rect.left, caret.x + 2 * cxBorder);
    EXPECT_EQ(rect.top, caret.y + 2 * (cyBorder + metrics.tmHeight));

    posix::Surface picture = Picture(window);
    if (const char *dump = getenv("TAVO_TEST_PICTURES"))
        posix::writePng(picture, std::string(dump) + "/reading-" + GetParam() + ".png");
    EXPECT_GT(Share(picture, kBack, 2), 0.5) << "light grey ground";
    EXPECT_GT(Share(picture, kBlack, 2), 0.01) << "black text";
    type("<Esc>");
    EXPECT_FALSE(IsWindowVisible(window)) << "the end of the composition hides it";
}

TEST_P(Windows, APageHasALineACandidateWithRoomAroundIt) {
    open();
    type(std::string(si()) + "<Space>");
    HWND window = composition();
    ASSERT_NE(window, nullptr);
    Font font;
    std::vector<std::u16string> lines = Lines(compositionText(GCS_COMPSTR));
    ASSERT_GE(lines.size(), 3u);
    int n = (int)lines.size();
    RECT rect = Rect(window);
    EXPECT_EQ(rect.right - rect.left,
              2 * cxEdge + font.charWidth / 2 + 2 * cxBorder + font.widest(lines));
    EXPECT_EQ(rect.bottom - rect.top,
              2 * cyEdge + font.charHeight / 2 + 2 * cyBorder + n * font.charHeight + (n - 1));
}

// What the window shows is read back line by line, as a screen reader
// would: text, or braille cells as Unicode braille patterns.
TEST_P(Windows, TheLinesShownAreReadBackAsTextOrAsBraillePatterns) {
    open();
    type(std::string(si()) + "<Space>");
    std::vector<std::string> expected;
    for (const std::u16string &line : Lines(compositionText(GCS_COMPSTR)))
        expected.push_back(host::toUtf8(line));
    std::vector<std::string> read;
    for (const host::ShownLine &line : host::readWindow(composition()))
        read.push_back(line.text);
    EXPECT_EQ(read, expected);

    type("<Esc>");
    setSetting("Braille Display", 1); // read again when a reading starts
    type(reading());
    std::vector<host::ShownLine> cells = host::readWindow(composition());
    ASSERT_EQ(cells.size(), 1u);
    EXPECT_TRUE(cells[0].braille);
    // n, e or h, i or comma, 5: Braille ASCII cells.
    EXPECT_EQ(cells[0].text, isRuda() ? "\u281D\u2813\u2820" : "\u281D\u2811\u280A\u2822");
}

TEST_P(Windows, AtTheBottomRightCornerTheWindowIsPushedBackIntoTheWorkArea) {
    open();
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    POINT corner = {work.right - 5, work.bottom - 5};
    ScreenToClient(session.windowHandle(), &corner);
    COMPOSITIONFORM form = {CFS_POINT, corner, {}};
    ASSERT_TRUE(session.setCompositionForm(form));
    type(std::string(si()) + "<Space>");
    RECT rect = Rect(composition());
    EXPECT_EQ(rect.right + cxBorder, work.right);
    EXPECT_EQ(rect.bottom + cyBorder, work.bottom);

    // A new position moves the window at once.
    POINT middle = {300, 200};
    ScreenToClient(session.windowHandle(), &middle);
    form.ptCurrentPos = middle;
    ASSERT_TRUE(session.setCompositionForm(form));
    RECT moved = Rect(composition());
    EXPECT_EQ(moved.left, 300 + 2 * cxBorder);
    EXPECT_EQ(moved.right - moved.left, rect.right - rect.left);
}

TEST_P(Windows, ReverseVideoIsWhiteOnNearBlack) {
    setSetting("Reverse Video", 1);
    open();
    type(std::string(si()) + "<Space>");
    posix::Surface picture = Picture(composition());
    EXPECT_GT(Share(picture, kReversedBack, 2), 0.5);
    EXPECT_GT(Share(picture, kWhite, 2), 0.01);
    EXPECT_LT(Share(picture, kBack, 2), 0.01) << "at most a few smoothed edges of the text";
}

TEST_P(Windows, BrailleDisplayDrawsTheReadingAsACellACharacter) {
    setSetting("Braille Display", 1);
    open();
    type(reading());
    HWND window = composition();
    ASSERT_NE(window, nullptr);
    Font font;
    int cellWidth = 2 * font.charHeight / 3, cells = (int)std::string(reading()).size();
    RECT rect = Rect(window);
    EXPECT_EQ(rect.right - rect.left, cells * cellWidth + 2 * cxEdge + 2 * cxBorder);
    EXPECT_EQ(rect.bottom - rect.top, font.charHeight + 2 * cyEdge + 2 * cyBorder);

    posix::Surface picture = Picture(window);
    int pitch = font.charHeight / 4;
    char first = reading()[0];
    int raised = 0;
    for (int dot = 0; dot < 8; dot++) {
        static const int column[8] = {0, 0, 0, 1, 1, 1, 0, 1}, row[8] = {0, 1, 2, 0, 1, 2, 3, 3};
        int x = cxBorder + cxEdge + (cellWidth - pitch) / 2 + column[dot] * pitch;
        int y = cyBorder + cyEdge + pitch / 2 + row[dot] * pitch;
        EXPECT_EQ(picture.at(x, y), kBlack) << "dot " << dot + 1 << " is marked";
        raised |= picture.at(x - 1, y) == kBlack ? 1 << dot : 0;
    }
    EXPECT_EQ(raised, BrailleDots(first)) << "the cell of " << first;

    setSetting("Braille Display", 0);
    type("<Esc>");
    type(reading());
    EXPECT_EQ(Rect(composition()).right - Rect(composition()).left,
              2 * cxEdge + 2 * cxBorder + font.extent(Utf16(reading())).cx)
        << "as text again";
}

TEST_P(Windows, ClicksOnTheMenuTypeItsDigitsButNotOnTheTitleOrTheEmptyLine) {
    open();
    type("<Ctrl+`>");
    Font font;
    int marginY = 2 * cyEdge + font.charHeight / 2;
    std::u16string menu = compositionText(GCS_COMPSTR);
    fresh();
    session.click(lineCentre(1, marginY, font.charHeight, 1));
    EXPECT_TRUE(fresh().empty()) << "the empty line does nothing";
    EXPECT_EQ(compositionText(GCS_COMPSTR), menu);
    session.click(lineCentre(0, marginY, font.charHeight, 1));
    EXPECT_TRUE(fresh().empty()) << "nor does the title";
    long long dotKeys = setting("Dot Keys");
    session.click(lineCentre(2, marginY, font.charHeight, 1));
    EXPECT_NE(setting("Dot Keys"), dotKeys) << "the third line types 1: the first option";
    EXPECT_FALSE(IsWindowVisible(composition())) << "the menu closed";
}

TEST_P(Windows, AClickOnAPageLineChoosesThatCandidate) {
    open();
    type(std::string(neihou()) + "<Space>");
    std::vector<std::u16string> lines = Lines(compositionText(GCS_COMPSTR));
    ASSERT_GE(lines.size(), 2u);
    ASSERT_EQ(lines[1].substr(0, 2), u"2 ");
    Font font;
    session.click(lineCentre(1, 2 * cyEdge + font.charHeight / 2, font.charHeight, 1));
    EXPECT_EQ(compositionText(GCS_RESULTSTR), lines[1].substr(2));
}

TEST_P(Windows, AClickOnTheSingleViewChoosesItsCandidate) {
    open();
    type(std::string(neihou()) + "<Space><Down>");
    std::vector<std::u16string> lines = Lines(compositionText(GCS_COMPSTR));
    ASSERT_EQ(lines.size(), 1u);
    ASSERT_EQ(lines[0].substr(0, 2), u"1 ");
    Font font;
    session.click(lineCentre(0, 2 * cyEdge + font.charHeight / 2, font.charHeight, 1));
    EXPECT_EQ(compositionText(GCS_RESULTSTR), lines[0].substr(2));
}

TEST_P(Windows, TheStatusButtonsSwitchTheModeWithItsSoundsAndTheShapeSilently) {
    open();
    HWND window = status();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(IsWindowVisible(window));
    RECT client = {};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 48);
    EXPECT_EQ(client.bottom, 24);
    POINT mode = {12, 12}, shape = {36, 12};
    ClientToScreen(window, &mode);
    ClientToScreen(window, &shape);
    ASSERT_TRUE(session.conversion() & IME_CMODE_NATIVE);
    posix::Surface cantonese = Picture(window);
    sounds();

    session.click(mode);
    EXPECT_FALSE(session.conversion() & IME_CMODE_NATIVE);
    EXPECT_EQ(sounds(), std::vector<int>{517});
    posix::Surface alphanumeric = Picture(window);
    EXPECT_NE(cantonese.pixels, alphanumeric.pixels) << "the mode button shows the new mode";
    session.click(mode);
    EXPECT_TRUE(session.conversion() & IME_CMODE_NATIVE);
    EXPECT_EQ(sounds(), std::vector<int>{516});
    EXPECT_EQ(Picture(window).pixels, cantonese.pixels);

    DWORD before = session.conversion();
    session.click(shape);
    EXPECT_EQ(session.conversion(), before ^ IME_CMODE_FULLSHAPE);
    EXPECT_TRUE(sounds().empty());
    EXPECT_NE(Picture(window).pixels, cantonese.pixels);
}

// Memory runs out as the UI window makes its record: the window lives on
// without it, the module types and commits, and the window's closing
// sound is still heard when it goes.
TEST_P(Windows, AUiRecordThatCannotBeMadeStillSoundsTheCloseAndTheModuleGoesOn) {
    open();
    bool missing = false;
    // The manager makes the UI window when the input method is selected:
    // each allocation of that selection fails in turn until the record's.
    for (LONG n = 1; !missing; n++) {
        session.select(false);
        tavo_FailNthCall(TAVO_FAIL_MEMORY, n);
        session.select(true);
        bool reached = tavo_FailureHappened();
        tavo_FailNthCall(0, 0);
        HWND ui = find("");
        ASSERT_NE(ui, nullptr);
        missing = GetWindowLongPtrW(ui, IMMGWL_PRIVATE) == 0;
        ASSERT_TRUE(reached || missing) << "the record's allocation never failed";
    }
    type("n e i 5 <Enter>");
    EXPECT_EQ(app().committed(), "nei5");
    EXPECT_FALSE(app().isComposing());
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    sounds(); // those of the search
    session.select(false);
    // The closing sound is played to its end before the window goes (the
    // opening sounds of the selections before may still be logged ahead
    // of it).
    std::vector<int> heardNow = sounds();
    for (int tries = 0; tries < 50 && std::count(heardNow.begin(), heardNow.end(), 515) == 0;
         tries++) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        std::vector<int> more = sounds();
        heardNow.insert(heardNow.end(), more.begin(), more.end());
    }
    EXPECT_EQ(std::count(heardNow.begin(), heardNow.end(), 515), 1);
    EXPECT_EQ(find(""), nullptr);

    // Selected again, the window has its record and its pop-ups show.
    session.select(true);
    ASSERT_NE(find(""), nullptr);
    EXPECT_NE(GetWindowLongPtrW(find(""), IMMGWL_PRIVATE), 0);
    type(std::string(isRuda() ? "n h , h v a " : "n e i 5 h o u 2 ") + "<Space>");
    EXPECT_TRUE(app().isComposing());
    EXPECT_NE(composition(), nullptr);
    type("1");
    EXPECT_FALSE(app().isComposing());
    EXPECT_NE(app().committed(), "nei5");
}

TEST_P(Windows, ClassesAreRegisteredAfreshWhenTheModuleIsLoadedAgain) {
    open();
    HINSTANCE first = session.module().instance();
    WNDCLASSEXA info = {};
    info.cbSize = sizeof info;
    EXPECT_TRUE(GetClassInfoExA(first, className("").c_str(), &info));
    session.close();
    EXPECT_FALSE(GetClassInfoExA(first, className("").c_str(), &info)) << "unregistered at unload";
    open();
    EXPECT_TRUE(GetClassInfoExA(session.module().instance(), className("Comp").c_str(), &info));
    EXPECT_NE(status(), nullptr);
    type(reading());
    EXPECT_NE(composition(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(BothModules, Windows, ::testing::Values("vexa", "ruda"));

} // namespace
