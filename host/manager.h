// The input-method manager's side of the host, once per process: the module
// loaded and made the platform's input method, the thread's input contexts
// given to it or taken back, and the thread's keyboard state, which every
// window of the thread shares. The platform knows one module per process,
// so one manager is loaded at a time, on one thread; any number of
// application windows (host/app_window.h) may use it.
#ifndef TAVO_HOST_MANAGER_H
#define TAVO_HOST_MANAGER_H

#include "host/module.h"

#include <array>
#include <string>

namespace host {

class Manager {
public:
    Manager() = default;
    Manager(const Manager &) = delete;
    Manager &operator=(const Manager &) = delete;
    ~Manager();

    // Loads the module and tells the platform of it; the thread's contexts
    // are not given to it yet (select).
    bool load(const std::string &modulePath, std::string &error);
    // Takes the contexts back if they were given, then unloads.
    void unload();
    bool loaded() const { return ime.loaded(); }

    // Gives the module the thread's contexts, or takes them back, as the
    // thread's input method is switched on or off (tavo_SelectIme).
    BOOL select(bool selected);
    bool selected() const { return isSelected; }

    // The settings dialog, owned by window, as an application's "configure"
    // command opens it.
    BOOL configure(HWND owner, DWORD mode = IME_CONFIG_GENERAL);

    // A key goes down or up; the generic modifiers take their left-hand
    // keys along, as on a real keyboard.
    void setKey(unsigned char virtualKey, bool down);
    // A toggle key's state (CapsLock), which ToAscii reads.
    void setToggled(unsigned char virtualKey, bool on);
    // Every key up and every toggle off.
    void clearKeys();
    const std::array<BYTE, 256> &keyState() const { return keys; }
    // The virtual-key argument of ImeToAsciiEx for a key in the present
    // state: the key's character above it, as IME_PROP_KBD_CHAR_FIRST
    // promises, in the module's text flavour.
    UINT keyCode(unsigned char virtualKey) const;

    const Module &module() const { return ime; }
    bool unicode() const { return ime.unicode(); }

private:
    void tellPlatform();

    Module ime;
    bool isSelected = false;
    std::array<BYTE, 256> keys{};
};

} // namespace host

#endif
