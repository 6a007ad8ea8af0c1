// Key intake: which keys the module takes, how a key becomes the engine's
// key code, and the dot-key keyboard, on which seven letter keys pressed
// together form a braille cell and six others act as cursor keys.
#include "frame/keys.h"
#include "engine/engine.h"
#include "frame/compstr.h"
#include "frame/exports.h"
#include "frame/globdata.h"

#include <cstring>

// Dots 1 to 7, in this order.
const BYTE dotKeys[7] = {'F', 'D', 'S', 'J', 'K', 'L', 'A'};

// Letter key, cursor key; ended by a 0 key.
const BYTE altDirKeys[13] = {'G',   VK_LEFT, 'H',     VK_RIGHT, 'N',      VK_DOWN, 'M',
                             VK_UP, 'V',     VK_NEXT, 'B',      VK_PRIOR, 0};

// Keys that never reach the engine as themselves while the dot keys are on.
const BYTE dotFilter[15] = {'A', 'S', 'D', 'F', 'G', 'H',      'J',     'K',
                            'L', 'V', 'B', 'N', 'M', VK_OEM_1, VK_OEM_7};

const char cmdKeys[] = "\x08\r\x1b ";
const TCHAR queryKeys[] = TEXT("QWERTYUIOP");
const TCHAR phraseKeys[] = TEXT("!@#$%^&*(");

// The character of each braille cell, indexed by its dots (dot 1 = bit 0).
// Cells 0 to 63 are North American Braille ASCII; with dot 7, letters
// become capitals and @ [ \ ] ^ become ` { | } ~; 0 is no character.
const char brailleCells[128] = {
    0,   'a', '1', 'b', '\'', 'k', '2', 'l', '@', 'c', 'i', 'f', '/', 'm',  's', 'p', '"', 'e', '3',
    'h', '9', 'o', '6', 'r',  '^', 'd', 'j', 'g', '>', 'n', 't', 'q', ',',  '*', '5', '<', '-', 'u',
    '8', 'v', '.', '%', '[',  '$', '+', 'x', '!', '&', ';', ':', '4', '\\', '0', 'z', '7', '(', '_',
    '?', 'w', ']', '#', 'y',  ')', '=', 0,   'A', 0,   'B', 0,   'K', 0,    'L', '`', 'C', 'I', 'F',
    0,   'M', 'S', 'P', 0,    'E', 0,   'H', 0,   'O', 0,   'R', '~', 'D',  'J', 'G', 0,   'N', 'T',
    'Q', 0,   0,   0,   0,    0,   'U', 0,   'V', 0,   0,   '{', 0,   0,    'X', 0,   0,   0,   0,
    0,   '|', 0,   'Z', 0,    0,   0,   0,   'W', '}', 0,   'Y', 0,   0,
};

namespace {

constexpr BYTE kDown = 0x80;
constexpr UINT kReleased = 0x8000;
constexpr int kCharShift = 8 * sizeof(TCHAR);
constexpr DWORD kUnitMask = (DWORD(1) << kCharShift) - 1;

// The character that comes with a key: above the key in the low word, as
// a byte module is given it (a Unicode module gets it in the high word).
// Wine's manager gives a byte module its character in the high word too;
// a key whose byte above is empty takes it from there, which changes
// nothing where the byte is given.
TCHAR characterOf(UINT virtualKey) {
    TCHAR character = TCHAR((virtualKey >> kCharShift) & kUnitMask);
    if (character == 0 && kCharShift == 8 && (virtualKey >> 16) < 0x100)
        character = TCHAR(virtualKey >> 16);
    return character;
}

bool isDown(const BYTE *keyState, BYTE key) {
    return keyState[key] & kDown;
}

// The dots of the dot keys that are down now.
BYTE dotsDown(const BYTE *keyState) {
    BYTE dots = 0;
    for (int i = 0; i < 7; ++i)
        if (isDown(keyState, dotKeys[i]))
            dots |= BYTE(1 << i);
    return dots;
}

// The cursor key a letter key stands for on the dot keyboard, or 0.
BYTE cursorKeyOf(UINT key) {
    for (const BYTE *pair = altDirKeys; pair[0]; pair += 2)
        if (pair[0] == key)
            return pair[1];
    return 0;
}

bool isFiltered(UINT key) {
    return key && std::memchr(dotFilter, int(key), sizeof dotFilter) != nullptr;
}

// A release while the dot keys are on: the chord completes when its last
// key goes up.
DWORD releaseDot(PrivateData *data, const BYTE *keyState) {
    if (!data->dotChord || dotsDown(keyState))
        return 0;
    char cell = brailleCells[data->dotChord & 0x7F];
    TCHAR upper = TCHAR(cell >= 'a' && cell <= 'z' ? cell - 'a' + 'A' : cell);
    data->ch = TCHAR(BYTE(cell));
    data->vkey = upper;
    data->dotChord = 0;
    return KeyCode(upper, data->ch);
}

// A press while the dot keys are on: it joins the chord, or is a cursor key.
DWORD pressDot(PrivateData *data, UINT key, const BYTE *keyState) {
    data->dotChord |= dotsDown(keyState);
    BYTE cursor = cursorKeyOf(key);
    if (!cursor)
        return 0;
    data->ch = 0;
    data->vkey = cursor;
    data->dotChord = 0;
    return cursor;
}

struct LockedContext {
    LPINPUTCONTEXT context;
    PrivateData *data;
};

// Locks the context and its engine record; both or neither.
bool lockContext(HIMC hIMC, LockedContext &locked) {
    if (!hIMC || !(locked.context = ImmLockIMC(hIMC)))
        return false;
    locked.data = (PrivateData *)ImmLockIMCC(locked.context->hPrivate);
    if (locked.data)
        return true;
    ImmUnlockIMC(hIMC);
    return false;
}

void unlockContext(HIMC hIMC, const LockedContext &locked) {
    ImmUnlockIMCC(locked.context->hPrivate);
    ImmUnlockIMC(hIMC);
}

// Whether a key with this character goes to the engine.
bool takesCharacter(const PrivateData *data, BYTE character) {
    bool command = character && std::strchr(cmdKeys, character);
    if (command && (data->optionMode || data->mode > MODE_IDLE))
        return true;
    return character >= 0x20 && character < 0x80;
}

bool takesKey(const PrivateData *data, UINT key, LPARAM keyData, const BYTE *keyState) {
    if (isDown(keyState, VK_CONTROL))
        return key == VK_OEM_3;
    if (isDown(keyState, VK_MENU))
        return false;
    if (key >= VK_PRIOR && key <= VK_DOWN && data->mode > MODE_IDLE)
        return true;
    WORD character = 0;
    if (ToAscii(key, UINT(keyData), keyState, &character, 0) <= 0)
        return false;
    return takesCharacter(data, LOBYTE(character));
}

// Moves the context's messages into the caller's list when all fit;
// false when they fit but could not be moved (the buffer would not lock).
bool handOverMessages(LPINPUTCONTEXT context, LPTRANSMSGLIST messages) {
    DWORD count = context->dwNumMsgBuf;
    if (!count || !messages || messages->uMsgCount < count)
        return true;
    const TRANSMSG *buffer = (const TRANSMSG *)ImmLockIMCC(context->hMsgBuf);
    if (!buffer)
        return false;
    std::memcpy(messages->TransMsg, buffer, count * sizeof(TRANSMSG));
    ImmUnlockIMCC(context->hMsgBuf);
    context->dwNumMsgBuf = 0;
    return true;
}

} // namespace

DWORD KeyCode(TCHAR virtualKey, TCHAR character) {
    return (DWORD(virtualKey) & kUnitMask) | (DWORD(character) & kUnitMask) << kCharShift;
}

DWORD NextChar(PrivateData *data, UINT virtualKey, UINT scanCode, const BYTE *keyState) {
    UINT key = virtualKey & kUnitMask;
    TCHAR character = characterOf(virtualKey);
    bool released = scanCode & kReleased;
    DWORD result = 0;
    if (globData.dotKeyboard) {
        result = released ? releaseDot(data, keyState) : pressDot(data, key, keyState);
        if (released || result || isFiltered(key))
            return result;
    }
    if (released)
        return 0;
    data->ch = character;
    data->vkey = TCHAR(key);
    data->dotChord = 0;
    return virtualKey;
}

BOOL WINAPI ImeProcessKey(HIMC hIMC, UINT virtualKey, LPARAM keyData, const BYTE *keyState) {
    LockedContext locked;
    if (!keyState || !lockContext(hIMC, locked))
        return FALSE;
    BOOL taken = takesKey(locked.data, LOBYTE(virtualKey), keyData, keyState);
    unlockContext(hIMC, locked);
    return taken;
}

UINT WINAPI ImeToAsciiEx(UINT virtualKey, UINT scanCode, const BYTE *keyState,
                         LPTRANSMSGLIST messages, UINT, HIMC hIMC) {
    LockedContext locked;
    if (!keyState || !lockContext(hIMC, locked))
        return 0;
    DWORD key = NextChar(locked.data, virtualKey, scanCode, keyState);
    if (!key) {
        unlockContext(hIMC, locked);
        return 0;
    }
    locked.data->msgCount = 0;
    TranslateChar(hIMC, locked.context, key, keyState);
    BuildMessages(hIMC, FALSE);
    UINT count = locked.context->dwNumMsgBuf;
    bool handedOver = handOverMessages(locked.context, messages);
    unlockContext(hIMC, locked);
    if (!handedOver) {
        // The caller's list would be read for messages it does not hold:
        // they go through the context instead, and the list holds none.
        ImmGenerateMessage(hIMC);
        return 0;
    }
    return count;
}
