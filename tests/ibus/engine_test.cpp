// The engines through IBus as an application meets them: an ibus-daemon of
// their own (frontends/ibus/private_ibus.sh) starts the built engine from
// the build folder's component files; the test is the application, with an
// input context whose engine is set, sending key events and watching what
// is committed and shown, and listening to the captured sound.
#include "frontends/ibus/client.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>

namespace {

using ibus_client::keyFor;

constexpr const char *kSpeech = "setting-257";
constexpr const char *kDotKeys = "setting-256";
constexpr const char *kVerbose = "setting-259";

bool contains(const std::vector<std::string> &lines, const std::string &line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// The daemon keeps one engine for every context and moves it to the
// context with the focus; a context of each test would meet the engine of
// the test before it. So the tests of a suite share one context, and each
// starts with nothing committed.
class Engine : public ::testing::Test {
protected:
    static void connect(const std::string &engine) {
        theClient = std::make_unique<ibus_client::Client>();
        std::string error;
        ASSERT_TRUE(theClient->connect(engine, error)) << error;
        ASSERT_TRUE(theClient->waitUntil([] { return theClient->shown().properties.size() == 6; }))
            << "the settings arrive with the focus";
        connected = true;
    }
    static void TearDownTestSuite() {
        theClient.reset();
        connected = false;
    }

    void SetUp() override {
        ASSERT_TRUE(connected) << "no engine";
        shown().committed.clear();
    }

    static inline std::unique_ptr<ibus_client::Client> theClient;
    static inline bool connected = false;
    ibus_client::Client &client = *theClient; // made first thing in connect

    ibus_client::Shown &shown() { return client.shown(); }

    // Sets a switch of the settings menu and waits until the menu shows it.
    void setSwitch(const char *name, bool on) {
        client.activateProperty(name, on);
        ASSERT_TRUE(client.waitUntil([&] { return shown().properties[name].on == on; })) << name;
    }

    // The capture log of the sound the engines played.
    static std::string soundLog() {
        const char *scratch = std::getenv("TAVO_IBUS_SCRATCH");
        std::ifstream log(std::string(scratch ? scratch : ".") + "/sound.wav.log");
        std::stringstream text;
        text << log.rdbuf();
        return text.str();
    }

    static bool waitForSound(const std::string &name) {
        for (int tries = 0; tries < 200; ++tries) {
            if (soundLog().find(name) != std::string::npos)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
        }
        return false;
    }
};

class Vexa : public Engine {
protected:
    static void SetUpTestSuite() { connect("tavo-vexa"); }
};

TEST_F(Vexa, TheSettingsDialogIsThePropertyMenu) {
    EXPECT_EQ(shown().properties[kDotKeys].label, "點字鍵盤");
    EXPECT_EQ(shown().properties[kSpeech].label, "內置發音");
    EXPECT_FALSE(shown().properties[kSpeech].on);
}

TEST_F(Vexa, ACandidateIsChosenFromTheLookupTableAndCommitted) {
    setSwitch(kVerbose, true);
    client.type("nei5hou2");
    EXPECT_EQ(shown().preedit, "nei5hou2") << "the reading, in the application's line";
    EXPECT_TRUE(client.tap(keyFor(' ')));
    EXPECT_TRUE(contains(shown().candidates, "1 你好"));
    EXPECT_TRUE(contains(shown().candidates, "2 您好"));
    EXPECT_EQ(shown().preedit, "");
    EXPECT_EQ(shown().committed, "");
    EXPECT_TRUE(client.tap(keyFor('1')));
    EXPECT_EQ(shown().committed, "你好");
    EXPECT_TRUE(shown().candidates.empty());
    EXPECT_EQ(shown().preedit, "");
    setSwitch(kVerbose, false);
}

TEST_F(Vexa, EscapeLeavesNothingAndIsTheApplicationsWhenIdle) {
    client.type("nei5");
    EXPECT_TRUE(client.tap(ibus_client::kEscape));
    EXPECT_EQ(shown().committed, "");
    EXPECT_EQ(shown().preedit, "");
    EXPECT_TRUE(shown().candidates.empty());
    EXPECT_FALSE(client.tap(ibus_client::kEscape)) << "nothing to escape from";
}

TEST_F(Vexa, KeysTheModuleDoesNotTakeReachTheApplication) {
    EXPECT_FALSE(client.send(ibus_client::kControl));
    EXPECT_FALSE(client.send(keyFor('s'), IBUS_CONTROL_MASK));
    EXPECT_FALSE(client.send(keyFor('s'), IBUS_CONTROL_MASK | IBUS_RELEASE_MASK));
    EXPECT_FALSE(client.send(ibus_client::kControl, IBUS_CONTROL_MASK | IBUS_RELEASE_MASK));
    EXPECT_FALSE(client.tap(ibus_client::kBackSpace)) << "nothing composed";
    EXPECT_FALSE(client.tap(ibus_client::kReturn));
    EXPECT_EQ(shown().committed, "");
    // Printable keys are the module's even when idle: a letter starts a
    // reading.
    EXPECT_TRUE(client.tap(keyFor('m')));
    client.tap(ibus_client::kEscape);
}

TEST_F(Vexa, FocusLeavingInTheMiddleEndsTheCompositionCleanly) {
    client.type("nei5hou2 ");
    ASSERT_FALSE(shown().candidates.empty());
    client.focusOut();
    EXPECT_TRUE(client.waitUntil([this] { return shown().candidates.empty(); }));
    EXPECT_EQ(shown().preedit, "");
    EXPECT_EQ(shown().committed, "") << "nothing committed on the way out";
    client.focusIn();
    client.type("m4goi1 ");
    EXPECT_EQ(shown().committed, "唔該") << "a fresh reading after the focus came back";
}

TEST_F(Vexa, WithSpeechTheCandidatesAreSpokenAndStillShown) {
    setSwitch(kSpeech, true);
    client.type("nei5hou2 ");
    EXPECT_TRUE(contains(shown().candidates, "1 你好")) << "read from the composition window";
    EXPECT_TRUE(waitForSound("nei5hou2")) << soundLog();
    client.tap(keyFor('1'));
    EXPECT_EQ(shown().committed, "你好");
    setSwitch(kSpeech, false);
}

TEST_F(Vexa, TheOptionMenuIsALookupTableUnderItsTitle) {
    EXPECT_TRUE(client.tap(keyFor('`'), IBUS_CONTROL_MASK));
    ASSERT_EQ(shown().candidates.size(), 8u);
    EXPECT_NE(shown().auxiliary.find("1.3"), std::string::npos) << shown().auxiliary;
    EXPECT_EQ(shown().candidates[1], "2 開啟內置發音");
    client.tap(keyFor('2'));
    EXPECT_TRUE(shown().candidates.empty());
    EXPECT_TRUE(client.waitUntil([this] { return shown().properties[kSpeech].on; }))
        << "the menu follows the setting the keys changed";
    client.tap(keyFor('`'), IBUS_CONTROL_MASK);
    client.tap(keyFor('2'));
    EXPECT_TRUE(client.waitUntil([this] { return !shown().properties[kSpeech].on; }));
}

class Ruda : public Engine {
protected:
    static void SetUpTestSuite() { connect("tavo-ruda"); }
};

TEST_F(Ruda, BrailleReadingsConvertToBig5TextCommittedAsUnicode) {
    client.type("nh,hva ");
    EXPECT_TRUE(contains(shown().candidates, "1 你好"));
    client.tap(keyFor('1'));
    EXPECT_EQ(shown().committed, "你好");
}

TEST_F(Ruda, DotKeyChordsTypeTheReadingWhichConvertsAndCommits) {
    setSwitch(kDotKeys, true);
    // n h , h v a: dots 1345, 125, 6, 125, 1236, 1.
    const std::vector<std::vector<int>> reading = {{1, 3, 4, 5}, {1, 2, 5},    {6},
                                                   {1, 2, 5},    {1, 2, 3, 6}, {1}};
    for (const std::vector<int> &cell : reading)
        EXPECT_TRUE(client.chord(cell)) << "dot keys are the module's, released too";
    EXPECT_EQ(shown().committed, "");
    client.tap(keyFor(' '));
    EXPECT_TRUE(contains(shown().candidates, "1 你好"));
    client.tap(keyFor('1'));
    EXPECT_EQ(shown().committed, "你好");
    setSwitch(kDotKeys, false);
}

} // namespace
