// From IBus keycodes and keysyms to the virtual keys of the US layout.
#include "frontends/ibus/key_map.h"

#include "platform/platform.h"

#include <ibus.h>
#include <linux/input-event-codes.h>

namespace ibus_front {

namespace {

struct Place {
    unsigned keycode;
    unsigned char virtualKey;
};

// The keys of a US keyboard by their evdev codes.
constexpr Place kPlaces[] = {
    {KEY_ESC, VK_ESCAPE},
    {KEY_1, '1'},
    {KEY_2, '2'},
    {KEY_3, '3'},
    {KEY_4, '4'},
    {KEY_5, '5'},
    {KEY_6, '6'},
    {KEY_7, '7'},
    {KEY_8, '8'},
    {KEY_9, '9'},
    {KEY_0, '0'},
    {KEY_MINUS, VK_OEM_MINUS},
    {KEY_EQUAL, VK_OEM_PLUS},
    {KEY_BACKSPACE, VK_BACK},
    {KEY_TAB, VK_TAB},
    {KEY_Q, 'Q'},
    {KEY_W, 'W'},
    {KEY_E, 'E'},
    {KEY_R, 'R'},
    {KEY_T, 'T'},
    {KEY_Y, 'Y'},
    {KEY_U, 'U'},
    {KEY_I, 'I'},
    {KEY_O, 'O'},
    {KEY_P, 'P'},
    {KEY_LEFTBRACE, VK_OEM_4},
    {KEY_RIGHTBRACE, VK_OEM_6},
    {KEY_ENTER, VK_RETURN},
    {KEY_LEFTCTRL, VK_CONTROL},
    {KEY_A, 'A'},
    {KEY_S, 'S'},
    {KEY_D, 'D'},
    {KEY_F, 'F'},
    {KEY_G, 'G'},
    {KEY_H, 'H'},
    {KEY_J, 'J'},
    {KEY_K, 'K'},
    {KEY_L, 'L'},
    {KEY_SEMICOLON, VK_OEM_1},
    {KEY_APOSTROPHE, VK_OEM_7},
    {KEY_GRAVE, VK_OEM_3},
    {KEY_LEFTSHIFT, VK_SHIFT},
    {KEY_BACKSLASH, VK_OEM_5},
    {KEY_Z, 'Z'},
    {KEY_X, 'X'},
    {KEY_C, 'C'},
    {KEY_V, 'V'},
    {KEY_B, 'B'},
    {KEY_N, 'N'},
    {KEY_M, 'M'},
    {KEY_COMMA, VK_OEM_COMMA},
    {KEY_DOT, VK_OEM_PERIOD},
    {KEY_SLASH, VK_OEM_2},
    {KEY_RIGHTSHIFT, VK_SHIFT},
    {KEY_LEFTALT, VK_MENU},
    {KEY_SPACE, VK_SPACE},
    {KEY_CAPSLOCK, VK_CAPITAL},
    {KEY_F1, VK_F1},
    {KEY_F2, VK_F1 + 1},
    {KEY_F3, VK_F1 + 2},
    {KEY_F4, VK_F1 + 3},
    {KEY_F5, VK_F1 + 4},
    {KEY_F6, VK_F1 + 5},
    {KEY_F7, VK_F1 + 6},
    {KEY_F8, VK_F1 + 7},
    {KEY_F9, VK_F1 + 8},
    {KEY_F10, VK_F1 + 9},
    {KEY_102ND, VK_OEM_102},
    {KEY_F11, VK_F1 + 10},
    {KEY_F12, VK_F1 + 11},
    {KEY_KPENTER, VK_RETURN},
    {KEY_RIGHTCTRL, VK_CONTROL},
    {KEY_RIGHTALT, VK_MENU},
    {KEY_HOME, VK_HOME},
    {KEY_UP, VK_UP},
    {KEY_PAGEUP, VK_PRIOR},
    {KEY_LEFT, VK_LEFT},
    {KEY_RIGHT, VK_RIGHT},
    {KEY_END, VK_END},
    {KEY_DOWN, VK_DOWN},
    {KEY_PAGEDOWN, VK_NEXT},
    {KEY_INSERT, VK_INSERT},
    {KEY_DELETE, VK_DELETE},
};

struct Named {
    unsigned keyval;
    unsigned char virtualKey;
};

// Keysyms that are no character: the keys themselves, and the keypad's
// (whose digits, with NumLock, are characters below).
constexpr Named kNamed[] = {
    {IBUS_KEY_Escape, VK_ESCAPE},
    {IBUS_KEY_BackSpace, VK_BACK},
    {IBUS_KEY_Tab, VK_TAB},
    {IBUS_KEY_ISO_Left_Tab, VK_TAB},
    {IBUS_KEY_Return, VK_RETURN},
    {IBUS_KEY_KP_Enter, VK_RETURN},
    {IBUS_KEY_Shift_L, VK_SHIFT},
    {IBUS_KEY_Shift_R, VK_SHIFT},
    {IBUS_KEY_Control_L, VK_CONTROL},
    {IBUS_KEY_Control_R, VK_CONTROL},
    {IBUS_KEY_Alt_L, VK_MENU},
    {IBUS_KEY_Alt_R, VK_MENU},
    {IBUS_KEY_Caps_Lock, VK_CAPITAL},
    {IBUS_KEY_Home, VK_HOME},
    {IBUS_KEY_KP_Home, VK_HOME},
    {IBUS_KEY_End, VK_END},
    {IBUS_KEY_KP_End, VK_END},
    {IBUS_KEY_Page_Up, VK_PRIOR},
    {IBUS_KEY_KP_Page_Up, VK_PRIOR},
    {IBUS_KEY_Page_Down, VK_NEXT},
    {IBUS_KEY_KP_Page_Down, VK_NEXT},
    {IBUS_KEY_Left, VK_LEFT},
    {IBUS_KEY_KP_Left, VK_LEFT},
    {IBUS_KEY_Right, VK_RIGHT},
    {IBUS_KEY_KP_Right, VK_RIGHT},
    {IBUS_KEY_Up, VK_UP},
    {IBUS_KEY_KP_Up, VK_UP},
    {IBUS_KEY_Down, VK_DOWN},
    {IBUS_KEY_KP_Down, VK_DOWN},
    {IBUS_KEY_Insert, VK_INSERT},
    {IBUS_KEY_Delete, VK_DELETE},
    {IBUS_KEY_KP_Delete, VK_DELETE},
    {IBUS_KEY_F1, VK_F1},
    {IBUS_KEY_F2, VK_F1 + 1},
    {IBUS_KEY_F3, VK_F1 + 2},
    {IBUS_KEY_F4, VK_F1 + 3},
    {IBUS_KEY_F5, VK_F1 + 4},
    {IBUS_KEY_F6, VK_F1 + 5},
    {IBUS_KEY_F7, VK_F1 + 6},
    {IBUS_KEY_F8, VK_F1 + 7},
    {IBUS_KEY_F9, VK_F1 + 8},
    {IBUS_KEY_F10, VK_F1 + 9},
    {IBUS_KEY_F11, VK_F1 + 10},
    {IBUS_KEY_F12, VK_F1 + 11},
};

unsigned char byPlace(unsigned keycode) {
    for (const Place &place : kPlaces)
        if (place.keycode == keycode)
            return place.virtualKey;
    return 0;
}

unsigned char byKeysym(unsigned keyval) {
    for (const Named &named : kNamed)
        if (named.keyval == keyval)
            return named.virtualKey;
    if (keyval >= IBUS_KEY_KP_0 && keyval <= IBUS_KEY_KP_9)
        keyval = '0' + (keyval - IBUS_KEY_KP_0);
    // Printable ASCII keysyms are their characters; the key that types one
    // on the US layout, with or without Shift.
    if (keyval >= 0x20 && keyval < 0x7F)
        if (auto stroke = host::strokeForCharacter(static_cast<char>(keyval)))
            return stroke->virtualKey;
    return 0;
}

} // namespace

bool isModifier(unsigned char virtualKey) {
    return virtualKey == VK_SHIFT || virtualKey == VK_CONTROL || virtualKey == VK_MENU;
}

std::optional<MappedKey> mapKey(unsigned keyval, unsigned keycode, unsigned state) {
    unsigned char virtualKey = keycode ? byPlace(keycode) : 0;
    if (!virtualKey)
        virtualKey = byKeysym(keyval);
    if (!virtualKey)
        return std::nullopt;
    MappedKey mapped;
    mapped.event = {virtualKey, (state & IBUS_RELEASE_MASK) != 0};
    mapped.modifiers.shift = state & IBUS_SHIFT_MASK;
    mapped.modifiers.control = state & IBUS_CONTROL_MASK;
    mapped.modifiers.alt = state & IBUS_MOD1_MASK;
    mapped.modifiers.capsLock = state & IBUS_LOCK_MASK;
    mapped.modifiers.super =
        state & (IBUS_SUPER_MASK | IBUS_HYPER_MASK | IBUS_META_MASK | IBUS_MOD4_MASK);
    return mapped;
}

} // namespace ibus_front
