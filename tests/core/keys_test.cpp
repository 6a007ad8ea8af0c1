// Key intake: the dot-key keyboard's chords and cursor keys, which keys
// the module takes, and how the messages of a key reach the caller.
#include "frame/compstr.h"
#include "frame/exports.h"
#include "frame/globdata.h"
#include "frame/keys.h"
#include "platform/posix/imm_host.h"
#include "tests/core/test_image.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <cstring>

namespace {

constexpr UINT kRelease = 0x8000;

// A key code: the virtual key in the lowest text unit, the character above.
DWORD Code(BYTE virtualKey, char character) {
    return virtualKey | DWORD(BYTE(character)) << (8 * sizeof(TCHAR));
}

// The character a US keyboard gives for a key without Shift.
char CharOf(BYTE key) {
    switch (key) {
    case VK_OEM_1:
        return ';';
    case VK_OEM_7:
        return '\'';
    default:
        return key >= 'A' && key <= 'Z' ? char(key - 'A' + 'a') : char(key);
    }
}

class DotKeys : public ::testing::Test {
protected:
    void SetUp() override {
        saved = globData.dotKeyboard;
        globData.dotKeyboard = 1;
    }
    void TearDown() override { globData.dotKeyboard = saved; }

    DWORD Press(BYTE key) {
        state[key] = 0x80;
        return NextChar(&data, Code(key, CharOf(key)), 0x1E, state);
    }
    DWORD Release(BYTE key) {
        state[key] = 0;
        return NextChar(&data, Code(key, CharOf(key)), 0x1E | kRelease, state);
    }

    DWORD saved = 0;
    PrivateData data = {};
    BYTE state[256] = {};
};

TEST_F(DotKeys, AChordCompletesWhenItsLastKeyIsReleased) {
    EXPECT_EQ(Press('F'), 0u);
    EXPECT_EQ(Press('J'), 0u);
    EXPECT_EQ(data.dotChord, 0x09);
    EXPECT_EQ(Release('F'), 0u);
    EXPECT_EQ(Release('J'), Code('C', 'c'));
    EXPECT_EQ(data.ch, TCHAR('c'));
    EXPECT_EQ(data.vkey, TCHAR('C'));
    EXPECT_EQ(data.dotChord, 0);
}

TEST_F(DotKeys, DotSevenMakesCapitalsAndAloneGivesNothing) {
    Press('A');
    Press('F');
    Release('A');
    EXPECT_EQ(Release('F'), Code('A', 'A'));

    EXPECT_EQ(Press('A'), 0u);
    EXPECT_EQ(Release('A'), 0u);
    EXPECT_EQ(data.dotChord, 0);
}

TEST_F(DotKeys, CursorLettersFilteredKeysAndOtherKeys) {
    const struct {
        BYTE key;
        BYTE cursor;
    } cursors[] = {{'G', VK_LEFT}, {'H', VK_RIGHT}, {'N', VK_DOWN},
                   {'M', VK_UP},   {'V', VK_NEXT},  {'B', VK_PRIOR}};
    for (const auto &c : cursors) {
        Press('F'); // a half chord that the cursor key drops
        EXPECT_EQ(Press(c.key), DWORD(c.cursor)) << char(c.key);
        EXPECT_EQ(data.ch, 0);
        EXPECT_EQ(data.vkey, TCHAR(c.cursor));
        EXPECT_EQ(Release(c.key), 0u);
        EXPECT_EQ(Release('F'), 0u);
    }
    EXPECT_EQ(Press(VK_OEM_1), 0u);
    EXPECT_EQ(Release(VK_OEM_1), 0u);
    EXPECT_EQ(Press(VK_OEM_7), 0u);
    EXPECT_EQ(Release(VK_OEM_7), 0u);
    EXPECT_EQ(Press('Q'), Code('Q', 'q'));
    EXPECT_EQ(data.ch, TCHAR('q'));
    EXPECT_EQ(Release('Q'), 0u);
}

TEST_F(DotKeys, AnOrdinaryKeyDropsAHalfChord) {
    Press('F');
    EXPECT_EQ(Press(VK_SPACE), Code(VK_SPACE, ' '));
    EXPECT_EQ(data.dotChord, 0);
    Release(VK_SPACE);
    EXPECT_EQ(Release('F'), 0u);
}

TEST_F(DotKeys, WhenOffEveryPressIsItsKeyAndEveryReleaseNothing) {
    globData.dotKeyboard = 0;
    for (BYTE key : {BYTE('F'), BYTE('A'), BYTE('G'), BYTE('Q'), BYTE(VK_OEM_1), BYTE(VK_SPACE)}) {
        EXPECT_EQ(Press(key), Code(key, CharOf(key))) << int(key);
        EXPECT_EQ(data.ch, TCHAR(CharOf(key)));
        EXPECT_EQ(data.vkey, TCHAR(key));
        EXPECT_EQ(Release(key), 0u) << int(key);
    }
    EXPECT_EQ(data.dotChord, 0);
}

// A manager that puts the character in the high word (Wine's does, for
// either module) is understood; one given above the key wins.
TEST_F(DotKeys, TheCharacterMayComeInTheHighWord) {
    globData.dotKeyboard = 0;
    NextChar(&data, DWORD('N') | DWORD('n') << 16, 0x31, state);
    EXPECT_EQ(data.ch, TCHAR('n'));
    EXPECT_EQ(data.vkey, TCHAR('N'));
    if (sizeof(TCHAR) == 1) {
        NextChar(&data, Code('N', 'n') | DWORD('x') << 16, 0x31, state);
        EXPECT_EQ(data.ch, TCHAR('n'));
    }
    NextChar(&data, DWORD(VK_LEFT), 0x4B, state);
    EXPECT_EQ(data.ch, TCHAR(0));
}

TEST(BrailleCells, BrailleAsciiBelowAndCapitalsOrShiftedSymbolsWithDotSeven) {
    EXPECT_EQ(brailleCells[0], 0);
    EXPECT_EQ(brailleCells[0x01], 'a');
    EXPECT_EQ(brailleCells[0x09], 'c');
    EXPECT_EQ(brailleCells[0x3A], 'w');
    EXPECT_EQ(brailleCells[0x10], '"');
    EXPECT_EQ(brailleCells[0x3F], '=');
    EXPECT_EQ(brailleCells[0x33], '\\');
    const char *shifted = "@`[{\\|]}^~";
    for (int cell = 0; cell < 64; ++cell) {
        char base = brailleCells[cell];
        const char *pair = base ? std::strchr(shifted, base) : nullptr;
        char expected = 0;
        if (std::islower(BYTE(base)))
            expected = char(std::toupper(BYTE(base)));
        else if (pair && (pair - shifted) % 2 == 0)
            expected = pair[1];
        EXPECT_EQ(brailleCells[64 + cell], expected) << cell;
        EXPECT_TRUE(cell == 0 || base) << cell; // only the empty cell lacks a character
    }
}

// The exports on a real input context.
class KeyIntake : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("TAVO_REGISTRY", dir.path("registry").c_str(), 1);
        setenv("TAVO_SOUND", "silent", 1);
        saved = globData;
        globData.dotKeyboard = 0;
        globData.fontSize = 24;
        imc = tavo_CreateInputContext(nullptr, sizeof(PrivateData));
        ic = ImmLockIMC(imc);
        ASSERT_TRUE(InitCompStr(ic));
        ic->fdwConversion = IME_CMODE_ALPHANUMERIC;
        data = (PrivateData *)ImmLockIMCC(ic->hPrivate);
    }
    void TearDown() override {
        ImmUnlockIMCC(ic->hPrivate);
        ImmUnlockIMC(imc);
        ImmDestroyContext(imc);
        globData = saved;
    }
    BOOL Takes(BYTE key) { return ImeProcessKey(imc, key, 0, state); }

    ScratchDir dir;
    GLOBDATA saved;
    HIMC imc = nullptr;
    LPINPUTCONTEXT ic = nullptr;
    PrivateData *data = nullptr;
    BYTE state[256] = {};
};

TEST_F(KeyIntake, ControlAndAltKeys) {
    state[VK_CONTROL] = 0x80;
    EXPECT_TRUE(Takes(VK_OEM_3));
    EXPECT_FALSE(Takes('A'));
    EXPECT_FALSE(Takes(VK_SPACE));
    state[VK_CONTROL] = 0;
    state[VK_MENU] = 0x80;
    EXPECT_FALSE(Takes('A'));
    EXPECT_FALSE(Takes(VK_OEM_3));
}

TEST_F(KeyIntake, CommandAndCursorKeysOnlyWhileComposingOrInTheMenu) {
    EXPECT_TRUE(Takes('A'));
    EXPECT_TRUE(Takes(VK_SPACE));
    EXPECT_FALSE(Takes(VK_BACK));
    EXPECT_FALSE(Takes(VK_RETURN));
    EXPECT_FALSE(Takes(VK_ESCAPE));
    EXPECT_FALSE(Takes(VK_LEFT));
    EXPECT_FALSE(Takes(VK_F1)); // no character at all
    data->optionMode = 1;
    EXPECT_TRUE(Takes(VK_BACK));
    EXPECT_FALSE(Takes(VK_LEFT));
    data->optionMode = 0;
    data->mode = MODE_READING;
    EXPECT_TRUE(Takes(VK_RETURN));
    EXPECT_TRUE(Takes(VK_ESCAPE));
    EXPECT_TRUE(Takes(VK_PRIOR));
    EXPECT_TRUE(Takes(VK_DOWN));
    EXPECT_FALSE(Takes(VK_TAB));
    EXPECT_FALSE(ImeProcessKey(nullptr, 'A', 0, state));
}

TEST_F(KeyIntake, MessagesGoToTheCallerOnlyWhenAllFit) {
    struct {
        UINT uMsgCount;
        TRANSMSG TransMsg[32];
    } list = {32, {}};
    state[BYTE('Q')] = 0x80;
    UINT count = ImeToAsciiEx(Code('Q', 'q'), 0x10, state, (LPTRANSMSGLIST)&list, 0, imc);
    ASSERT_GT(count, 0u);
    EXPECT_EQ(ic->dwNumMsgBuf, 0u);
    EXPECT_NE(list.TransMsg[0].message, 0u);

    list.uMsgCount = 0;
    UINT kept = ImeToAsciiEx(Code('Q', 'q'), 0x10, state, (LPTRANSMSGLIST)&list, 0, imc);
    EXPECT_EQ(kept, count);
    EXPECT_EQ(ic->dwNumMsgBuf, kept);

    // A release with the dot keys off never reaches the engine.
    ic->dwNumMsgBuf = 0;
    list.uMsgCount = 32;
    state[BYTE('Q')] = 0;
    EXPECT_EQ(ImeToAsciiEx(Code('Q', 'q'), 0x10 | kRelease, state, (LPTRANSMSGLIST)&list, 0, imc),
              0u);
    EXPECT_EQ(ic->dwNumMsgBuf, 0u);
    EXPECT_EQ(ImeToAsciiEx(Code('Q', 'q'), 0x10, state, (LPTRANSMSGLIST)&list, 0, nullptr), 0u);
}

} // namespace
