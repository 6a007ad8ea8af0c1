// The US layout through ToAscii and ToUnicode, and the key-state array.
#include "platform/platform.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

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

// Every printable key of the US layout, plain and shifted.
struct Printable {
    UINT key;
    char plain, shifted;
};

const Printable kPrintable[] = {
    {'0', '0', ')'},          {'1', '1', '!'},          {'2', '2', '@'},
    {'3', '3', '#'},          {'4', '4', '$'},          {'5', '5', '%'},
    {'6', '6', '^'},          {'7', '7', '&'},          {'8', '8', '*'},
    {'9', '9', '('},          {VK_OEM_1, ';', ':'},     {VK_OEM_PLUS, '=', '+'},
    {VK_OEM_COMMA, ',', '<'}, {VK_OEM_MINUS, '-', '_'}, {VK_OEM_PERIOD, '.', '>'},
    {VK_OEM_2, '/', '?'},     {VK_OEM_3, '`', '~'},     {VK_OEM_4, '[', '{'},
    {VK_OEM_5, '\\', '|'},    {VK_OEM_6, ']', '}'},     {VK_OEM_7, '\'', '"'},
    {VK_SPACE, ' ', ' '},
};

TEST(Keyboard, PrintableKeysPlainAndShifted) {
    State plain, shift;
    shift.down(VK_SHIFT);
    for (const Printable &p : kPrintable) {
        EXPECT_EQ(character(p.key, plain), p.plain) << "key " << p.key;
        EXPECT_EQ(character(p.key, shift), p.shifted) << "key " << p.key;
    }
    for (UINT key = 'A'; key <= 'Z'; ++key) {
        EXPECT_EQ(character(key, plain), int(key - 'A' + 'a'));
        EXPECT_EQ(character(key, shift), int(key));
    }
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
