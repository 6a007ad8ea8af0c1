// The US layout through ToAscii and ToUnicode, and the key-state array.
#include "platform/platform.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace {

struct State {
    BYTE keys[256] = {};
    State &down(int key) {
        keys[key] |= 0x80;
        return *this;
    }
    State &toggled(int key) {
        keys[key] |= 0x01;
        return *this;
    }
};

// The character a key gives, or -1 for none; ToAscii and ToUnicode must
// agree.
int character(UINT key, const State &state) {
    WORD ascii = 0;
    int asciiCount = ToAscii(key, 0, state.keys, &ascii, 0);
    WCHAR wide[2] = {};
    int wideCount = ToUnicode(key, 0, state.keys, wide, 2, 0);
    EXPECT_EQ(asciiCount, wideCount) << "key " << key;
    if (asciiCount == 1) {
        EXPECT_EQ(ascii, wide[0]) << "key " << key;
    }
    return asciiCount == 1 ? ascii : -1;
}

// The US keyboard as its keycaps are printed: each row's legends left to
// right, unshifted and shifted. Letter and digit keys are their own
// virtual keys (Windows' rule); the other positions are named below.
struct Row {
    const char *plain, *shifted;
    std::vector<UINT> otherKeys; // the virtual keys of the row's non-alphanumeric caps, in order
};

const Row kRows[] = {
    {"`1234567890-=", "~!@#$%^&*()_+", {VK_OEM_3, VK_OEM_MINUS, VK_OEM_PLUS}},
    {"qwertyuiop[]\\", "QWERTYUIOP{}|", {VK_OEM_4, VK_OEM_6, VK_OEM_5}},
    {"asdfghjkl;'", "ASDFGHJKL:\"", {VK_OEM_1, VK_OEM_7}},
    {"zxcvbnm,./", "ZXCVBNM<>?", {VK_OEM_COMMA, VK_OEM_PERIOD, VK_OEM_2}},
};

// The virtual key of each cap of a row.
std::vector<UINT> KeysOf(const Row &row) {
    std::vector<UINT> keys;
    size_t other = 0;
    for (const char *c = row.plain; *c != 0; ++c)
        keys.push_back(isalnum((unsigned char)*c) ? UINT(toupper(*c)) : row.otherKeys.at(other++));
    return keys;
}

TEST(Keyboard, EveryCapGivesItsLegendsPlainAndShifted) {
    State plain, shift;
    shift.down(VK_SHIFT);
    for (const Row &row : kRows) {
        std::vector<UINT> keys = KeysOf(row);
        ASSERT_EQ(keys.size(), strlen(row.shifted));
        for (size_t i = 0; i < keys.size(); ++i) {
            EXPECT_EQ(character(keys[i], plain), row.plain[i]) << "key " << keys[i];
            EXPECT_EQ(character(keys[i], shift), row.shifted[i]) << "key " << keys[i];
        }
    }
    EXPECT_EQ(character(VK_SPACE, plain), ' ');
    EXPECT_EQ(character(VK_SPACE, shift), ' ');
}

// The main block types each printable character with exactly one key; the
// numeric keypad (0x60 to 0x6F) and the extra key of 102-key keyboards
// repeat some of them.
TEST(Keyboard, EveryPrintableCharacterHasExactlyOneKeyOnTheMainBlock) {
    State plain, shift;
    shift.down(VK_SHIFT);
    std::map<int, int> keysFor;
    for (UINT key = 1; key < 0xFF; ++key) {
        if ((key >= VK_NUMPAD0 && key <= VK_DIVIDE) || key == VK_OEM_102)
            continue;
        for (const State *state : {&plain, &shift}) {
            int c = character(key, *state);
            if (c > ' ' && c < 0x7F)
                keysFor[c]++;
        }
    }
    for (int c = '!'; c < 0x7F; ++c)
        EXPECT_EQ(keysFor[c], 1) << "character " << char(c);
    const char keypad[] = "0123456789*+\0-./";
    for (UINT key = VK_NUMPAD0; key <= VK_DIVIDE; ++key)
        EXPECT_EQ(character(key, plain), keypad[key - VK_NUMPAD0] ? keypad[key - VK_NUMPAD0] : -1)
            << "keypad key " << key;
}

TEST(Keyboard, CapsLockShiftsLettersOnly) {
    State caps, capsShift;
    caps.toggled(VK_CAPITAL);
    capsShift.toggled(VK_CAPITAL).down(VK_SHIFT);
    EXPECT_EQ(character('Q', caps), 'Q');
    EXPECT_EQ(character('Q', capsShift), 'q');
    EXPECT_EQ(character('1', caps), '1');
    EXPECT_EQ(character(VK_OEM_1, caps), ';');
    // Caps Lock held down but not toggled on changes nothing.
    State held;
    held.down(VK_CAPITAL);
    EXPECT_EQ(character('Q', held), 'q');
}

TEST(Keyboard, ControlKeysAndControlCharacters) {
    State plain, control, controlShift, controlAlt;
    control.down(VK_CONTROL);
    controlShift.down(VK_CONTROL).down(VK_SHIFT);
    controlAlt.down(VK_CONTROL).down(VK_MENU);
    EXPECT_EQ(character(VK_RETURN, plain), '\r');
    EXPECT_EQ(character(VK_BACK, plain), '\b');
    EXPECT_EQ(character(VK_TAB, plain), '\t');
    EXPECT_EQ(character(VK_ESCAPE, plain), 0x1B);
    EXPECT_EQ(character('A', control), 0x01);
    EXPECT_EQ(character('Z', controlShift), 0x1A);
    EXPECT_EQ(character(VK_OEM_4, control), 0x1B);
    EXPECT_EQ(character(VK_OEM_5, control), 0x1C);
    EXPECT_EQ(character(VK_OEM_6, control), 0x1D);
    EXPECT_EQ(character('6', controlShift), 0x1E);
    EXPECT_EQ(character(VK_OEM_MINUS, controlShift), 0x1F);
    EXPECT_EQ(character(VK_RETURN, control), '\n');
    EXPECT_EQ(character(VK_BACK, control), 0x7F);
    EXPECT_EQ(character('1', control), -1);
    EXPECT_EQ(character(VK_OEM_COMMA, control), -1);
    EXPECT_EQ(character('A', controlAlt), -1);
}

TEST(Keyboard, KeysWithoutCharacters) {
    State plain;
    for (UINT key : std::initializer_list<UINT>{
             VK_LEFT, VK_UP,      VK_RIGHT,  VK_DOWN,    VK_PRIOR, VK_NEXT,  VK_HOME,
             VK_END,  VK_INSERT,  VK_DELETE, VK_F1,      VK_F12,   VK_SHIFT, VK_CONTROL,
             VK_MENU, VK_CAPITAL, VK_LWIN,   VK_NUMLOCK, 0u,       0xFFu,    0x1234u})
        EXPECT_EQ(character(key, plain), -1) << "key " << key;
    WORD untouched = 0xABCD;
    EXPECT_EQ(ToAscii('A', 0, nullptr, &untouched, 0), 0);
    WCHAR none[1];
    EXPECT_EQ(ToUnicode('A', 0, plain.keys, none, 0, 0), 0);
}

TEST(Keyboard, KeyStateIsPerThread) {
    State state;
    state.down(VK_SHIFT).toggled(VK_CAPITAL);
    ASSERT_TRUE(SetKeyboardState(state.keys));
    EXPECT_LT(GetKeyState(VK_SHIFT), 0);
    EXPECT_EQ(GetKeyState(VK_CAPITAL), 1);
    EXPECT_EQ(GetKeyState(VK_CONTROL), 0);
    BYTE copy[256];
    ASSERT_TRUE(GetKeyboardState(copy));
    EXPECT_EQ(std::string(copy, copy + 256), std::string(state.keys, state.keys + 256));
    SHORT elsewhere = 1;
    std::thread([&] { elsewhere = GetKeyState(VK_SHIFT); }).join();
    EXPECT_EQ(elsewhere, 0);
    State clear;
    SetKeyboardState(clear.keys);
}

} // namespace
