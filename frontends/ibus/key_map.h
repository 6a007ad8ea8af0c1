// IBus key events as the module takes keys on Windows: the virtual key of
// the US layout for the key's place on the keyboard, pressed or released,
// and the modifiers and CapsLock the event's state says are down or on.
#ifndef TAVO_FRONTENDS_IBUS_KEY_MAP_H
#define TAVO_FRONTENDS_IBUS_KEY_MAP_H

#include "host/script.h"

#include <optional>

namespace ibus_front {

// What the event's state mask says of the modifiers.
struct ModifierState {
    bool shift = false;
    bool control = false;
    bool alt = false;
    bool capsLock = false;
    bool super = false; // Super, Hyper or Meta: the desktop's shortcuts
};

struct MappedKey {
    host::KeyEvent event;
    ModifierState modifiers;
};

// The key by its place (keycode: the evdev code IBus passes), else, for a
// client that gives no keycode, by its keysym; nullopt for a key the US
// layout has no virtual key for here.
std::optional<MappedKey> mapKey(unsigned keyval, unsigned keycode, unsigned state);

// Whether the virtual key is one of the modifiers whose own presses and
// releases set their state (Shift, Control, Alt).
bool isModifier(unsigned char virtualKey);

} // namespace ibus_front

#endif
