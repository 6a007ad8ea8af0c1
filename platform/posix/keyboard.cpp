// The US keyboard layout, and each thread's key-state array.
//
// A key gives its character from the plain or shifted column; Caps Lock
// (the toggle bit of VK_CAPITAL) swaps the columns for letters only.
// Control gives the control characters Windows' US layout gives and
// nothing for other keys; Control with Alt gives nothing (the US layout
// has no AltGr characters); Alt alone leaves the character as it is.
#include "platform/platform.h"

#include <cstring>

namespace {

constexpr BYTE kDown = 0x80;
constexpr BYTE kToggled = 0x01;

thread_local BYTE keyStates[256];

struct KeyCharacters {
    BYTE key;
    char plain;
    char shifted;
};

constexpr KeyCharacters kPunctuation[] = {
    {'0', '0', ')'},          {'1', '1', '!'},          {'2', '2', '@'},
    {'3', '3', '#'},          {'4', '4', '$'},          {'5', '5', '%'},
    {'6', '6', '^'},          {'7', '7', '&'},          {'8', '8', '*'},
    {'9', '9', '('},          {VK_OEM_1, ';', ':'},     {VK_OEM_PLUS, '=', '+'},
    {VK_OEM_COMMA, ',', '<'}, {VK_OEM_MINUS, '-', '_'}, {VK_OEM_PERIOD, '.', '>'},
    {VK_OEM_2, '/', '?'},     {VK_OEM_3, '`', '~'},     {VK_OEM_4, '[', '{'},
    {VK_OEM_5, '\\', '|'},    {VK_OEM_6, ']', '}'},     {VK_OEM_7, '\'', '"'},
    {VK_OEM_102, '\\', '|'},  {VK_SPACE, ' ', ' '},     {VK_BACK, '\b', '\b'},
    {VK_TAB, '\t', '\t'},     {VK_RETURN, '\r', '\r'},  {VK_ESCAPE, 0x1B, 0x1B},
    {VK_MULTIPLY, '*', '*'},  {VK_ADD, '+', '+'},       {VK_SUBTRACT, '-', '-'},
    {VK_DECIMAL, '.', '.'},   {VK_DIVIDE, '/', '/'},
};

// Control with these keys (shifted or not, as given) gives a character.
struct ControlCharacter {
    BYTE key;
    bool shifted;
    char character;
};

constexpr ControlCharacter kControl[] = {
    {VK_OEM_4, false, 0x1B},  {VK_OEM_5, false, 0x1C},    {VK_OEM_6, false, 0x1D},
    {'6', true, 0x1E},        {VK_OEM_MINUS, true, 0x1F}, {VK_OEM_102, false, 0x1C},
    {VK_SPACE, false, ' '},   {VK_RETURN, false, '\n'},   {VK_BACK, false, 0x7F},
    {VK_ESCAPE, false, 0x1B},
};

bool isDown(const BYTE *state, int key) {
    return state[key] & kDown;
}

// The character of a key under Control, or 0.
char controlCharacter(UINT key, bool shift) {
    if (key >= 'A' && key <= 'Z')
        return static_cast<char>(key - 'A' + 1);
    for (const ControlCharacter &entry : kControl)
        if (entry.key == key && entry.shifted == shift)
            return entry.character;
    return 0;
}

// The character of a key without Control, or 0.
char plainCharacter(UINT key, bool shift, bool capsLock) {
    if (key >= 'A' && key <= 'Z')
        return static_cast<char>(shift != capsLock ? key : key - 'A' + 'a');
    if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9)
        return static_cast<char>(key - VK_NUMPAD0 + '0');
    for (const KeyCharacters &entry : kPunctuation)
        if (entry.key == key)
            return shift ? entry.shifted : entry.plain;
    return 0;
}

// The character a key gives in a key state, or 0 for none.
char translate(UINT key, const BYTE *state) {
    if (!state || key > 0xFF)
        return 0;
    bool shift = isDown(state, VK_SHIFT);
    bool control = isDown(state, VK_CONTROL);
    if (control && isDown(state, VK_MENU))
        return 0;
    if (control)
        return controlCharacter(key, shift);
    return plainCharacter(key, shift, state[VK_CAPITAL] & kToggled);
}

} // namespace

int WINAPI ToAscii(UINT virtualKey, UINT, const BYTE *keyState, LPWORD character, UINT) {
    char c = translate(virtualKey, keyState);
    if (c == 0 || !character)
        return 0;
    *character = static_cast<BYTE>(c);
    return 1;
}

int WINAPI ToUnicode(UINT virtualKey, UINT, const BYTE *keyState, LPWSTR buffer, int size, UINT) {
    char c = translate(virtualKey, keyState);
    if (c == 0 || !buffer || size < 1)
        return 0;
    buffer[0] = static_cast<WCHAR>(static_cast<BYTE>(c));
    if (size > 1)
        buffer[1] = 0;
    return 1;
}

SHORT WINAPI GetKeyState(int virtualKey) {
    if (virtualKey < 0 || virtualKey > 0xFF)
        return 0;
    BYTE state = keyStates[virtualKey];
    return static_cast<SHORT>(((state & kDown) ? 0xFF80 : 0) | (state & kToggled));
}

BOOL WINAPI GetKeyboardState(PBYTE keyState) {
    if (!keyState) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::memcpy(keyState, keyStates, sizeof keyStates);
    return TRUE;
}

BOOL WINAPI SetKeyboardState(LPBYTE keyState) {
    if (!keyState) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::memcpy(keyStates, keyState, sizeof keyStates);
    return TRUE;
}
