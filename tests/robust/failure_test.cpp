// Every failure of the platform that a scenario can meet: each scenario
// runs once for every N, with the N-th call of the allocation, block,
// lock and file functions failing, until it runs through without reaching
// N. Whatever failed, nothing may crash, no lock may stay held, no block
// may leak, and the same context must then still type and commit.
#include "fuzz/key_input.h"
#include "host/built_modules.h"
#include "host/dialog.h"
#include "platform/posix/failure_injection.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>

namespace {

struct Readings {
    const char *neihou; // 你好 您好
    const char *mgoi;   // 唔該 alone
    const char *si;     // si1: many single characters
};

const Readings kJyutping = {"n e i 5 h o u 2 ", "m 4 g o i 1 ", "s i 1 "};
const Readings kBraille = {"n h , h v a ", "m ' k < ", "s i "};

class Harness {
public:
    explicit Harness(const std::string &module)
        : machine(module, TAVO_DATABASE_DIR), readings(module == "vexa" ? kJyutping : kBraille) {
        std::string error;
        opened = session.open(host::builtModulePath(module), error);
        EXPECT_TRUE(opened) << error;
    }

    void type(const std::string &script) {
        std::string error;
        for (const host::ScriptStep &step : host::parseScript(script, error))
            session.feed(step.events);
        EXPECT_TRUE(error.empty()) << error;
    }
    BOOL select(bool selected) {
        BOOL result = session.select(selected);
        selectFailed = selectFailed || (selected && !result);
        return result;
    }

    // Back to a selected context with the default settings, every key up.
    void reset() {
        for (int key = 1; key < 256; key++)
            if (session.keyState()[key] & 0x80)
                session.feed(host::KeyEvent{static_cast<unsigned char>(key), true});
        for (int i = 0; i < 7; i++)
            machine.setSetting(robust::kSettingNames[i], i == 6 ? 24 : 0);
        session.setConversion(IME_CMODE_NATIVE);
        session.select(false);
        session.select(true);
        session.application().clearMessages();
        selectFailed = false;
    }

    // No lock of the context or its blocks is held.
    bool locksFree() {
        HIMC imc = session.context();
        if (ImmGetIMCLockCount(imc) != 0)
            return false;
        LPINPUTCONTEXT context = ImmLockIMC(imc);
        if (context == nullptr)
            return false;
        bool free = ImmGetIMCCLockCount(context->hCompStr) == 0 &&
                    ImmGetIMCCLockCount(context->hPrivate) == 0 &&
                    ImmGetIMCCLockCount(context->hMsgBuf) == 0;
        ImmUnlockIMC(imc);
        return free;
    }

    // The context types and commits a reading as if nothing had happened
    // (a context whose selection failed is first selected again, as the
    // manager does at the next focus).
    ::testing::AssertionResult typesAndCommits() {
        for (int i = 0; i < 7; i++)
            machine.setSetting(robust::kSettingNames[i], i == 6 ? 24 : 0);
        session.setConversion(IME_CMODE_NATIVE);
        if (selectFailed) {
            session.select(false);
            session.select(true);
        }
        type("<Esc> <Esc> <Esc>");
        if (session.application().isComposing())
            return ::testing::AssertionFailure()
                   << "still composing after Esc: \"" << session.application().composition()
                   << "\"; the last messages: " << lastMessages();
        std::string before = session.application().committed();
        type("n e i 5 <Enter>");
        std::string after = session.application().committed();
        if (after != before + "nei5" || session.application().isComposing())
            return ::testing::AssertionFailure()
                   << "committed \"" << after.substr(before.size()) << "\" for nei5";
        return ::testing::AssertionSuccess();
    }

    // The last messages the application got, for a failure's report.
    std::string lastMessages() {
        const std::vector<host::Message> &all = session.application().messages();
        std::string text;
        for (size_t i = all.size() > 12 ? all.size() - 12 : 0; i < all.size(); i++)
            text += host::messageName(all[i].message) + "(" + std::to_string(all[i].lParam) + ") ";
        return text;
    }

    robust::ScratchMachine machine;
    host::Session session;
    Readings readings;
    bool opened = false;
    bool selectFailed = false;
};

struct Scenario {
    const char *name;
    std::function<void(Harness &)> run;
};

void settingsDialog(Harness &h, int box, int button) {
    host::DialogDriver driver([&](HWND dialog) {
        host::pressDialogButton(dialog, box);
        host::pressDialogButton(dialog, button);
    });
    h.session.configure();
}

const Scenario kScenarios[] = {
    {"Typing",
     [](Harness &h) {
         h.type(std::string(h.readings.neihou) + "<Backspace> <Backspace> <Enter>");
     }},
    {"ConversionAcrossSegments",
     [](Harness &h) {
         h.type(std::string(h.readings.neihou) + h.readings.mgoi + "<Space> 1 1 <Enter>");
     }},
    {"Paging",
     [](Harness &h) {
         h.type(std::string(h.readings.si) +
                "<Space> <PageDown> <PageDown> <PageUp> <Down> <Up> <Right> 3");
     }},
    {"Query",
     [](Harness &h) {
         h.type(std::string(h.readings.si) + "<Space> <Down> Q Q <Up> <Left> W <Space>");
     }},
    {"OptionMenu",
     [](Harness &h) {
         h.type(std::string(h.readings.neihou) + "<Space> <Ctrl+`> 3 <Ctrl+`> 7 <Ctrl+`> <Esc> 2");
         h.type("<Ctrl+`> 3 <Ctrl+`> 8");
     }},
    {"SettingsDialog",
     [](Harness &h) {
         settingsDialog(h, 258, IDOK);
         settingsDialog(h, 259, IDCANCEL);
         h.type(h.readings.neihou);
         settingsDialog(h, 258, IDOK);
     }},
    {"SelectionAndDeselection",
     [](Harness &h) {
         h.type(h.readings.neihou);
         h.select(false);
         h.select(true);
         h.type(std::string(h.readings.mgoi) + "<Space>");
         h.session.activate(false);
         h.session.activate(true);
         h.type(std::string(h.readings.neihou) + "<Space>");
         h.select(false);
         h.select(true);
     }},
    {"SpeechOn",
     [](Harness &h) {
         h.machine.setSetting("Speech", 1);
         h.machine.setSetting("Verbose Composition", 1);
         h.type(std::string(h.readings.neihou) + "<Space> <Down> Q <Left> 1");
     }},
};

class FailureInjection : public ::testing::TestWithParam<std::tuple<std::string, int>> {};

TEST_P(FailureInjection, EveryFailurePointIsSurvived) {
    const std::string &module = std::get<0>(GetParam());
    const Scenario &scenario = kScenarios[std::get<1>(GetParam())];
    if (host::builtModulePath(module).empty())
        GTEST_SKIP() << "the " << module << " module is not built";
    Harness h(module);
    ASSERT_TRUE(h.opened);
    long points = 0;
    // TAVO_FAILURE_AT=N runs failure N alone, to look at it.
    const char *only = std::getenv("TAVO_FAILURE_AT");
    for (LONG n = only ? std::atol(only) : 1;; n++) {
        h.reset();
        DWORD blocks = tavo_MovableBlockCount();
        tavo_FailNthCall(TAVO_FAIL_ALL, n);
        scenario.run(h);
        bool reached = tavo_FailureHappened();
        tavo_FailNthCall(0, 0);
        ASSERT_TRUE(h.locksFree()) << scenario.name << ": a lock held after failure " << n;
        ASSERT_TRUE(h.typesAndCommits()) << scenario.name << " after failure " << n;
        h.reset();
        ASSERT_EQ(tavo_MovableBlockCount(), blocks)
            << scenario.name << ": blocks leaked after failure " << n;
        if (!reached)
            break;
        points = n;
        if (only)
            break;
    }
    EXPECT_GT(points, 0) << "the scenario met no failure point";
    RecordProperty("failure_points", std::to_string(points));
    std::printf("%s %s: %ld failure points survived\n", module.c_str(), scenario.name, points);
}

INSTANTIATE_TEST_SUITE_P(Scenarios, FailureInjection,
                         ::testing::Combine(::testing::Values("vexa", "ruda"),
                                            ::testing::Range(0, int(std::size(kScenarios)))),
                         [](const auto &info) {
                             return std::get<0>(info.param) + "_" +
                                    kScenarios[std::get<1>(info.param)].name;
                         });

// The switch itself: the N-th call of an armed kind fails once, other
// kinds and other threads are not counted, and a pause hides calls.
TEST(FailureSwitch, FailsTheNthCallOfItsKindsOnce) {
    tavo_FailNthCall(TAVO_FAIL_MEMORY, 2);
    HGLOBAL first = GlobalAlloc(GMEM_FIXED, 8);
    EXPECT_NE(first, nullptr);
    HIMCC block = ImmCreateIMCC(8); // a block: not counted as memory
    EXPECT_NE(block, nullptr);
    tavo_PauseFailures(TRUE);
    HGLOBAL paused = GlobalAlloc(GMEM_FIXED, 8);
    tavo_PauseFailures(FALSE);
    EXPECT_NE(paused, nullptr);
    EXPECT_EQ(GlobalAlloc(GMEM_FIXED, 8), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_ENOUGH_MEMORY));
    EXPECT_TRUE(tavo_FailureHappened());
    HGLOBAL third = GlobalAlloc(GMEM_FIXED, 8);
    EXPECT_NE(third, nullptr);
    EXPECT_EQ(tavo_FailureCalls(), 3);
    tavo_FailNthCall(0, 0);
    GlobalFree(first);
    GlobalFree(paused);
    GlobalFree(third);
    ImmDestroyIMCC(block);

    tavo_FailNthCall(TAVO_FAIL_FILES, 1);
    EXPECT_EQ(CreateFileA("/nonexistent-but-failing-first", GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                          0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_TOO_MANY_OPEN_FILES));
    tavo_FailNthCall(0, 0);
}

} // namespace
