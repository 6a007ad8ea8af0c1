// Keys written as text, and the display helpers of the host.
#include "host/script.h"
#include "host/terminal.h"
#include "host/text.h"
#include "platform/platform.h"

#include <gtest/gtest.h>

namespace {

using host::KeyEvent;

std::vector<std::pair<int, bool>> flat(const std::vector<KeyEvent> &events) {
    std::vector<std::pair<int, bool>> result;
    for (const KeyEvent &event : events)
        result.emplace_back(event.virtualKey, event.release);
    return result;
}

std::vector<std::pair<int, bool>> parsed(const std::string &token) {
    auto events = host::parseToken(token);
    EXPECT_TRUE(events.has_value()) << token;
    return events ? flat(*events) : std::vector<std::pair<int, bool>>{};
}

using Events = std::vector<std::pair<int, bool>>;

TEST(HostScript, CharactersTakeTheirKeyAndShift) {
    EXPECT_EQ(parsed("n"), (Events{{'N', false}, {'N', true}}));
    EXPECT_EQ(parsed("N"),
              (Events{{VK_SHIFT, false}, {'N', false}, {'N', true}, {VK_SHIFT, true}}));
    EXPECT_EQ(parsed("!"),
              (Events{{VK_SHIFT, false}, {'1', false}, {'1', true}, {VK_SHIFT, true}}));
    EXPECT_EQ(parsed(";"), (Events{{VK_OEM_1, false}, {VK_OEM_1, true}}));
    // A run of characters is typed one after the other.
    EXPECT_EQ(parsed("e5"), (Events{{'E', false}, {'E', true}, {'5', false}, {'5', true}}));
}

TEST(HostScript, NamedKeysAndModifiers) {
    EXPECT_EQ(parsed("<Space>"), (Events{{VK_SPACE, false}, {VK_SPACE, true}}));
    EXPECT_EQ(parsed("<enter>"), (Events{{VK_RETURN, false}, {VK_RETURN, true}}));
    EXPECT_EQ(parsed("<F12>"), (Events{{VK_F12, false}, {VK_F12, true}}));
    EXPECT_EQ(parsed("<PageDown>"), (Events{{VK_NEXT, false}, {VK_NEXT, true}}));
    EXPECT_EQ(
        parsed("<Ctrl+`>"),
        (Events{{VK_CONTROL, false}, {VK_OEM_3, false}, {VK_OEM_3, true}, {VK_CONTROL, true}}));
    EXPECT_EQ(parsed("<Ctrl+Shift+`>"), (Events{{VK_CONTROL, false},
                                                {VK_SHIFT, false},
                                                {VK_OEM_3, false},
                                                {VK_OEM_3, true},
                                                {VK_SHIFT, true},
                                                {VK_CONTROL, true}}));
    EXPECT_EQ(parsed("<Shift+1>"),
              (Events{{VK_SHIFT, false}, {'1', false}, {'1', true}, {VK_SHIFT, true}}));
    // The plus key itself after a modifier.
    EXPECT_EQ(parsed("<Ctrl++>"), (Events{{VK_CONTROL, false},
                                          {VK_SHIFT, false},
                                          {VK_OEM_PLUS, false},
                                          {VK_OEM_PLUS, true},
                                          {VK_SHIFT, true},
                                          {VK_CONTROL, true}}));
}

TEST(HostScript, ChordsPressesAndReleases) {
    EXPECT_EQ(parsed("[fj]"), (Events{{'F', false}, {'J', false}, {'F', true}, {'J', true}}));
    EXPECT_EQ(parsed("+f"), (Events{{'F', false}}));
    EXPECT_EQ(parsed("-f"), (Events{{'F', true}}));
    EXPECT_EQ(parsed("+<Shift>"), (Events{{VK_SHIFT, false}}));
    // A lone + or - is the character.
    EXPECT_EQ(parsed("-"), (Events{{VK_OEM_MINUS, false}, {VK_OEM_MINUS, true}}));
}

TEST(HostScript, BadTokensAreRefusedByName) {
    EXPECT_FALSE(host::parseToken("<Nothing>"));
    EXPECT_FALSE(host::parseToken("<Foo+a>"));
    EXPECT_FALSE(host::parseToken("<F13>"));
    std::string error;
    EXPECT_TRUE(host::parseScript("n e <Bogus> 5", error).empty());
    EXPECT_NE(error.find("<Bogus>"), std::string::npos);
    error.clear();
    auto steps = host::parseScript("  n e i 5 <Space>  1 <Enter> ", error);
    EXPECT_TRUE(error.empty());
    ASSERT_EQ(steps.size(), 7u);
    EXPECT_EQ(steps[4].token, "<Space>");
}

// The tokens of a script, as its steps read them.
std::vector<std::string> tokens(const std::string &script) {
    std::string error;
    std::vector<std::string> result;
    for (const host::ScriptStep &step : host::parseScript(script, error))
        result.push_back(step.token);
    EXPECT_EQ(error, "") << script;
    return result;
}

using Tokens = std::vector<std::string>;

TEST(HostScript, KeysNeedNoSpacesBetweenThem) {
    EXPECT_EQ(tokens("nei5hou2<Space>1"),
              (Tokens{"n", "e", "i", "5", "h", "o", "u", "2", "<Space>", "1"}));
    EXPECT_EQ(tokens("si1<Space><Down>QQ<Left>7"),
              (Tokens{"s", "i", "1", "<Space>", "<Down>", "Q", "Q", "<Left>", "7"}));
    EXPECT_EQ(tokens("[fj]+a-a<Ctrl+Shift+`>"), (Tokens{"[fj]", "+a", "-a", "<Ctrl+Shift+`>"}));
    EXPECT_EQ(tokens("+<Shift>1-<Shift>"), (Tokens{"+<Shift>", "1", "-<Shift>"}));
    EXPECT_EQ(tokens("<Shift+>>"), (Tokens{"<Shift+>>"})) << "closed by the > that makes a key";
}

TEST(HostScript, TheMarksAloneAreCharacters) {
    EXPECT_EQ(tokens("a < b"), (Tokens{"a", "<", "b"}));
    EXPECT_EQ(tokens("<<> <[> <+> <-> + - ["), (Tokens{"<<>", "<[>", "<+>", "<->", "+", "-", "["}));
    EXPECT_EQ(tokens("[ab"), (Tokens{"[", "a", "b"})) << "no closing ]";
}

TEST(HostScript, ClicksOnLinesAndButtons) {
    std::string error;
    std::vector<host::ScriptStep> steps =
        host::parseScript("si1<Space>{line:3}{mode}{SHAPE}", error);
    ASSERT_EQ(error, "");
    ASSERT_EQ(steps.size(), 7u);
    ASSERT_TRUE(steps[4].click.has_value());
    EXPECT_EQ(steps[4].click->target, host::Click::Line);
    EXPECT_EQ(steps[4].click->line, 2u) << "lines count from 1 in scripts";
    EXPECT_TRUE(steps[4].events.empty());
    EXPECT_EQ(steps[5].click->target, host::Click::Mode);
    EXPECT_EQ(steps[6].click->target, host::Click::Shape);
    EXPECT_FALSE(steps[3].click.has_value());
    EXPECT_EQ(tokens("{ <{> {x"), (Tokens{"{", "<{>", "{", "x"})) << "a { alone is typed";
    for (const char *bad : {"{line:0}", "{line}", "{line:x}", "{button}"}) {
        error.clear();
        EXPECT_TRUE(host::parseScript(bad, error).empty()) << bad;
        EXPECT_NE(error.find(bad), std::string::npos) << error;
    }
}

TEST(HostScript, AnUnknownNameIsAnErrorNotText) {
    std::string error;
    EXPECT_TRUE(host::parseScript("nei5<Spcae>1", error).empty());
    EXPECT_NE(error.find("<Spcae>"), std::string::npos) << error;
    error.clear();
    EXPECT_TRUE(host::parseScript("nei5 <Space 1", error).empty());
    EXPECT_NE(error.find("<Space"), std::string::npos) << error;
    error.clear();
    EXPECT_TRUE(host::parseScript("+<Nothing>", error).empty());
    EXPECT_NE(error.find("<Nothing>"), std::string::npos) << error;
}

TEST(HostText, CompositionBreaksAtRunsOfThreeSpaces) {
    using Lines = std::vector<std::string>;
    EXPECT_EQ(host::compositionLines(""), Lines{});
    EXPECT_EQ(host::compositionLines(" "), Lines{" "});
    EXPECT_EQ(host::compositionLines("nei5"), Lines{"nei5"});
    EXPECT_EQ(host::compositionLines("1 你  2 呢   3 尼"), (Lines{"1 你  2 呢", "3 尼"}));
    EXPECT_EQ(host::compositionLines("title      1 x   2 y"), (Lines{"title", "", "1 x", "2 y"}));
}

TEST(HostText, Utf8AndDroppingCharacters) {
    EXPECT_EQ(host::toUtf8(u"nei\uFF21"), "nei\xEF\xBC\xA1");
    std::string text = "a\xE4\xBD\xA0";
    host::dropLastCharacter(text);
    EXPECT_EQ(text, "a");
    host::dropLastCharacter(text);
    host::dropLastCharacter(text);
    EXPECT_EQ(text, "");
}

TEST(HostTerminal, SequencesBecomeKeys) {
    EXPECT_EQ(flat(*host::eventsForTerminalInput("\x1b[D")),
              (Events{{VK_LEFT, false}, {VK_LEFT, true}}));
    EXPECT_EQ(flat(*host::eventsForTerminalInput("\x1b")),
              (Events{{VK_ESCAPE, false}, {VK_ESCAPE, true}}));
    EXPECT_EQ(flat(*host::eventsForTerminalInput("\x7f")),
              (Events{{VK_BACK, false}, {VK_BACK, true}}));
    EXPECT_EQ(
        flat(*host::eventsForTerminalInput(std::string(1, '\0'))),
        (Events{{VK_CONTROL, false}, {VK_OEM_3, false}, {VK_OEM_3, true}, {VK_CONTROL, true}}));
    EXPECT_FALSE(host::eventsForTerminalInput("\x1b[99~"));
}

} // namespace
