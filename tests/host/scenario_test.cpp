// The modules driven through the host as an application drives them: keys
// in, messages, composition and committed text out. Each test runs with
// its own registry file and silent sounds, in both modules.
#include "host/built_modules.h"
#include "host/capture.h"
#include "host/dialog.h"
#include "host/session.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>

namespace {

constexpr DWORD kVerboseOn = 1;

std::string modulePath(const std::string &name) {
    return host::builtModulePath(name);
}

std::string settingsKey(const std::string &flavour) {
    return "Software\\Microsoft\\Windows\\CurrentVersion\\" +
           std::string(flavour == "vexa" ? "VEXAIME" : "RUDAIME");
}

std::vector<UINT> ids(const std::vector<host::Message> &messages) {
    std::vector<UINT> result;
    for (const host::Message &message : messages)
        result.push_back(message.message);
    return result;
}

class HostScenario : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override {
        static int serial = 0;
        folder = std::filesystem::temp_directory_path() /
                 ("tavo-host-" + std::to_string(getpid()) + "-" + std::to_string(++serial));
        std::filesystem::create_directories(folder);
        setenv("TAVO_REGISTRY", (folder / "registry").c_str(), 1);
        setenv("TAVO_SOUND", "silent", 1);
        if (modulePath(GetParam()).empty())
            GTEST_SKIP() << "the " << GetParam() << " module is not built";
    }
    void TearDown() override {
        session.close();
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    void open() {
        std::string error;
        ASSERT_TRUE(session.open(modulePath(GetParam()), error)) << error;
    }

    void setSetting(const char *name, DWORD value) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, settingsKey(GetParam()).c_str(), 0, nullptr, 0,
                                  KEY_READ | KEY_WRITE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&value),
                       sizeof value);
        RegCloseKey(key);
    }

    // A setting as stored, or -1 when it is missing.
    long long setting(const char *name) {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, settingsKey(GetParam()).c_str(), 0, KEY_READ, &key) !=
            ERROR_SUCCESS)
            return -1;
        DWORD value = 0, size = sizeof value, type = 0;
        LONG found =
            RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE *>(&value), &size);
        RegCloseKey(key);
        return found == ERROR_SUCCESS && type == REG_DWORD ? static_cast<long long>(value) : -1;
    }

    void type(const std::string &script) {
        std::string error;
        for (const host::ScriptStep &step : host::parseScript(script, error))
            session.feed(step.events);
        ASSERT_TRUE(error.empty()) << error;
    }

    // The messages received since the last call.
    std::vector<host::Message> fresh() {
        std::vector<host::Message> messages = app().messages();
        app().clearMessages();
        return messages;
    }

    host::Application &app() { return session.application(); }
    bool isRuda() const { return GetParam() == "ruda"; }

    std::filesystem::path folder;
    host::Session session;
};

TEST_P(HostScenario, TypingAReadingStartsAndShowsIt) {
    setSetting("Verbose Composition", kVerboseOn);
    open();
    type("n");
    std::vector<host::Message> messages = fresh();
    ASSERT_EQ(ids(messages), (std::vector<UINT>{WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION}));
    EXPECT_EQ(messages[1].wParam, WPARAM('n'));
    EXPECT_EQ(messages[1].lParam, LPARAM(GCS_COMPREADSTR | GCS_COMPREADATTR | GCS_COMPREADCLAUSE |
                                         GCS_COMPSTR | GCS_COMPATTR | GCS_COMPCLAUSE |
                                         GCS_CURSORPOS | GCS_DELTASTART)); // reading and shown text
    type("e i 5");
    EXPECT_EQ(ids(fresh()), (std::vector<UINT>(3, WM_IME_COMPOSITION)));
    EXPECT_TRUE(app().isComposing());
    EXPECT_EQ(app().composition(), "nei5");
    EXPECT_EQ(app().committed(), "");
}

TEST_P(HostScenario, WithoutVerboseCompositionTheReadingShowsAsOneSpace) {
    open();
    type("n e i");
    EXPECT_EQ(app().composition(), " ");
    char reading[16] = {};
    EXPECT_EQ(ImmGetCompositionStringA(session.context(), GCS_COMPREADSTR, reading, sizeof reading),
              3);
    EXPECT_STREQ(reading, "nei");
}

TEST_P(HostScenario, BackspaceToEmptyEndsWithNothingCommitted) {
    setSetting("Verbose Composition", kVerboseOn);
    open();
    type("n g <Backspace>");
    EXPECT_EQ(app().composition(), "n");
    fresh();
    type("<Backspace>");
    std::vector<host::Message> messages = fresh();
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back().message, UINT(WM_IME_ENDCOMPOSITION));
    EXPECT_FALSE(app().isComposing());
    EXPECT_EQ(app().committed(), "");
    // Backspace is the application's again once nothing is composed.
    EXPECT_FALSE(session.press(VK_BACK).taken);
    EXPECT_EQ(app().typedText(), "\b");
}

TEST_P(HostScenario, EnterCommitsTheReading) {
    open();
    type("n e i 5");
    fresh();
    type("<Enter>");
    std::vector<host::Message> messages = fresh();
    ASSERT_EQ(ids(messages), (std::vector<UINT>{WM_IME_COMPOSITION, WM_IME_ENDCOMPOSITION}));
    EXPECT_EQ(messages[0].lParam & GCS_RESULTSTR, LPARAM(GCS_RESULTSTR));
    EXPECT_EQ(app().committed(), "nei5");
    EXPECT_FALSE(app().isComposing());
}

TEST_P(HostScenario, EnterWithFullShapeCommitsFullWidthForms) {
    open();
    ASSERT_TRUE(session.setConversion(IME_CMODE_NATIVE | IME_CMODE_FULLSHAPE));
    type("n e i 5 <Enter>");
    EXPECT_EQ(app().committed(), "\uFF4E\uFF45\uFF49\uFF15");
}

TEST_P(HostScenario, EscEmptiesAndEnds) {
    setSetting("Verbose Composition", kVerboseOn);
    open();
    type("n e");
    fresh();
    type("<Esc>");
    std::vector<host::Message> messages = fresh();
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back().message, UINT(WM_IME_ENDCOMPOSITION));
    EXPECT_EQ(app().committed(), "");
    EXPECT_FALSE(app().isComposing());
    // The next reading starts afresh.
    type("m");
    EXPECT_EQ(app().composition(), "m");
}

TEST_P(HostScenario, FullShapeInIdleModeCommitsTheFullWidthLetter) {
    open();
    ASSERT_TRUE(session.setConversion(IME_CMODE_FULLSHAPE));
    fresh();
    type("A");
    EXPECT_EQ(ids(fresh()), (std::vector<UINT>{WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION,
                                               WM_IME_ENDCOMPOSITION}));
    EXPECT_EQ(app().committed(), "\uFF21");
    // The module's own result: one UTF-16 unit, or the two Big5 bytes.
    char result[8] = {};
    LONG bytes = ImmGetCompositionStringA(session.context(), GCS_RESULTSTR, result, sizeof result);
    ASSERT_EQ(bytes, 2);
    EXPECT_EQ(std::string(result, 2), "\xA2\xCF");
}

TEST_P(HostScenario, NativeModeOffCommitsLettersDirectly) {
    open();
    ASSERT_TRUE(session.setConversion(0));
    fresh();
    type("a b");
    std::vector<host::Message> messages = fresh();
    ASSERT_EQ(ids(messages), (std::vector<UINT>{WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION,
                                                WM_IME_ENDCOMPOSITION, WM_IME_STARTCOMPOSITION,
                                                WM_IME_COMPOSITION, WM_IME_ENDCOMPOSITION}));
    EXPECT_EQ(messages[1].wParam, WPARAM('a'));
    EXPECT_EQ(messages[1].lParam, LPARAM(GCS_RESULTSTR | GCS_RESULTCLAUSE));
    EXPECT_EQ(app().committed(), "ab");
}

TEST_P(HostScenario, DotKeyChordsTypeBrailleCharacters) {
    setSetting("Dot Keys", 1);
    setSetting("Verbose Composition", kVerboseOn);
    open();
    // Dots 1 and 4 give "c" when the last of the two keys comes up.
    type("+f +j -f");
    EXPECT_TRUE(fresh().empty());
    type("-j");
    EXPECT_EQ(ids(fresh()), (std::vector<UINT>{WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION}));
    EXPECT_EQ(app().composition(), "c");
    // Dot 7 with dot 1 is the capital; dot 7 alone is nothing.
    type("[af]");
    EXPECT_EQ(app().composition(), "cA");
    type("+a -a");
    EXPECT_TRUE(fresh().size() == 1); // the composition message of [af] only
    EXPECT_EQ(app().composition(), "cA");
    // ; and ' give nothing.
    type("; '");
    EXPECT_TRUE(fresh().empty());
}

TEST_P(HostScenario, DotKeysSpaceDropsAHalfChordAndCursorKeysCommitNothing) {
    setSetting("Dot Keys", 1);
    open();
    type("+f <Space> -f");
    EXPECT_EQ(app().committed(), " ");
    EXPECT_FALSE(app().isComposing());
    fresh();
    // G is the Left key: with nothing composed it has no character to commit.
    type("g");
    EXPECT_EQ(app().committed(), " ");
    EXPECT_EQ(app().committed().find('\0'), std::string::npos);
    // Q is not a dot key: it reaches the engine as itself.
    type("q");
    EXPECT_TRUE(app().isComposing());
}

TEST_P(HostScenario, KeyTakingRules) {
    open();
    // Ctrl with anything but the menu key, and Alt with anything, are refused.
    session.press(VK_CONTROL);
    EXPECT_FALSE(session.press('A').taken);
    session.release('A');
    EXPECT_TRUE(session.press(VK_OEM_3).taken);
    session.release(VK_OEM_3);
    session.release(VK_CONTROL);
    type("<Esc>"); // closes the option menu
    session.press(VK_MENU);
    EXPECT_FALSE(session.press('A').taken);
    session.release('A');
    session.release(VK_MENU);
    EXPECT_EQ(app().document(), "");
    // Idle: Backspace, Enter and the cursor keys belong to the application.
    EXPECT_FALSE(session.press(VK_BACK).taken);
    EXPECT_FALSE(session.press(VK_RETURN).taken);
    EXPECT_FALSE(session.press(VK_LEFT).taken);
    // Composing: they are the module's.
    type("n");
    EXPECT_TRUE(session.press(VK_LEFT).taken);
    EXPECT_TRUE(session.press(VK_BACK).taken);
}

TEST_P(HostScenario, MessagesThatFindNoRoomStillArrive) {
    open();
    session.setMessageRoom(0);
    host::KeyOutcome outcome = session.press('N');
    EXPECT_TRUE(outcome.taken);
    EXPECT_EQ(outcome.returned, 2u);
    EXPECT_EQ(ids(fresh()), (std::vector<UINT>{WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION}));
    LPINPUTCONTEXT context = ImmLockIMC(session.context());
    ASSERT_NE(context, nullptr);
    EXPECT_EQ(context->dwNumMsgBuf, 0u);
    ImmUnlockIMC(session.context());
}

TEST_P(HostScenario, ChangingTheConversionModeEndsTheComposition) {
    open();
    type("n e");
    fresh();
    ASSERT_TRUE(session.setConversion(0));
    std::vector<UINT> received = ids(fresh());
    EXPECT_NE(std::find(received.begin(), received.end(), UINT(WM_IME_ENDCOMPOSITION)),
              received.end());
    EXPECT_FALSE(app().isComposing());
    EXPECT_EQ(app().committed(), "");
    type("x");
    EXPECT_EQ(app().committed(), "x");
}

TEST_P(HostScenario, SettingsDialogOkSavesAndCancelDoesNot) {
    open();
    std::string caption;
    {
        host::DialogDriver driver([&](HWND dialog) {
            caption = host::dialogCaption(dialog);
            EXPECT_TRUE(host::pressDialogButton(dialog, 259)); // verbose composition
            EXPECT_TRUE(host::pressDialogButton(dialog, IDOK));
        });
        EXPECT_TRUE(session.configure());
    }
    EXPECT_NE(caption.find("Lumora 1.3"), std::string::npos) << caption;
    EXPECT_EQ(setting("Verbose Composition"), 1);
    EXPECT_EQ(setting("Dot Keys"), 0);
    EXPECT_EQ(setting("Font Size"), 24);
    // The new setting shows at the next composition.
    type("n");
    EXPECT_EQ(app().composition(), "n");
    type("<Esc>");
    {
        host::DialogDriver driver([](HWND dialog) {
            EXPECT_TRUE(host::pressDialogButton(dialog, 256));
            EXPECT_TRUE(host::pressDialogButton(dialog, IDCANCEL));
        });
        EXPECT_TRUE(session.configure());
    }
    EXPECT_EQ(setting("Dot Keys"), 0);
    EXPECT_FALSE(session.configure(IME_CONFIG_REGISTERWORD));
}

TEST_P(HostScenario, DeselectingEndsTheCompositionAndReselectingStartsAfresh) {
    setSetting("Verbose Composition", kVerboseOn);
    open();
    type("n e");
    fresh();
    EXPECT_TRUE(session.select(false));
    // The window hears its context deactivated and the input method going,
    // then the end of the composition.
    EXPECT_EQ(ids(fresh()),
              (std::vector<UINT>{WM_IME_SETCONTEXT, WM_IME_SELECT, WM_IME_ENDCOMPOSITION}));
    EXPECT_TRUE(session.select(true));
    EXPECT_EQ(ids(fresh()), (std::vector<UINT>{WM_IME_SELECT, WM_IME_SETCONTEXT, WM_IME_NOTIFY}));
    type("m");
    EXPECT_EQ(ids(fresh()), (std::vector<UINT>{WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION}));
    EXPECT_EQ(app().composition(), "m");
}

TEST_P(HostScenario, WithSpeechTheReadingIsSpokenNotShownAndSoundsAreHeard) {
    setSetting("Verbose Composition", kVerboseOn);
    setSetting("Speech", 1);
    setenv("TAVO_SOUND", ("capture:" + (folder / "heard.wav").string()).c_str(), 1);
    setenv("TAVO_SOUND_TIMESCALE", "0.01", 1);
    host::CaptureLog heard;
    ASSERT_TRUE(heard.enabled());
    open();
    type("n e i 5");
    // The change messages leave out the composition text, which goes to the
    // speech library instead.
    std::vector<host::Message> messages = fresh();
    ASSERT_EQ(messages.size(), 5u);
    for (size_t i = 1; i < messages.size(); ++i)
        EXPECT_EQ(messages[i].lParam, LPARAM(GCS_COMPREADSTR | GCS_COMPREADATTR |
                                             GCS_COMPREADCLAUSE | GCS_CURSORPOS | GCS_DELTASTART))
            << i;
    // Switching the native mode off is heard as sound 517.
    // Sounds are logged as they end: the window's opening sound may come
    // first, cut off by this one.
    type("<Ctrl+Shift+`>");
    std::vector<std::string> lines;
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while ((lines.empty() || lines.back().find("resource 517") == std::string::npos) &&
           std::chrono::steady_clock::now() < until)
        for (const std::string &line : heard.waitForLines(1, std::chrono::milliseconds(100)))
            lines.push_back(line);
    unsetenv("TAVO_SOUND_TIMESCALE");
    ASSERT_FALSE(lines.empty());
    EXPECT_NE(lines.back().find("resource 517"), std::string::npos) << lines.back();
    EXPECT_FALSE(app().isComposing());
}

INSTANTIATE_TEST_SUITE_P(Modules, HostScenario, ::testing::Values("vexa", "ruda"),
                         [](const auto &info) { return info.param; });

} // namespace
