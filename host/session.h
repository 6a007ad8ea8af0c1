// The host proper: plays the input-method manager between one module and
// one application window. It loads the module, makes the window's input
// context, selects and activates it, and feeds keys the way Windows does:
// key-state array, ImeProcessKey, then ImeToAsciiEx with the key code that
// IME_PROP_KBD_CHAR_FIRST promises; the messages go to the application in
// order. The platform's input-method hooks are process-wide, so one
// session is open at a time.
#ifndef TAVO_HOST_SESSION_H
#define TAVO_HOST_SESSION_H

#include "host/application.h"
#include "host/module.h"
#include "host/script.h"

#include <array>
#include <string>

namespace host {

// What became of one key event.
struct KeyOutcome {
    bool taken = false;  // ImeProcessKey took it
    UINT returned = 0;   // ImeToAsciiEx's message count
    size_t received = 0; // messages the application got for it
};

class Session {
public:
    Session();
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;
    ~Session();

    // Loads the module and selects and activates a context for the window.
    bool open(const std::string &modulePath, std::string &error);
    // Deactivates, deselects and destroys the context, then unloads.
    void close();

    KeyOutcome press(unsigned char virtualKey);
    KeyOutcome release(unsigned char virtualKey);
    KeyOutcome feed(const KeyEvent &event);
    void feed(const std::vector<KeyEvent> &events);

    // ImeSelect and ImeSetActiveContext on the open context.
    BOOL select(bool selected);
    BOOL activate(bool active);
    // The application changes the conversion mode through the manager.
    BOOL setConversion(DWORD conversion);
    DWORD conversion() const;
    // The settings dialog, as the application's "configure" command opens it.
    BOOL configure(DWORD mode = IME_CONFIG_GENERAL);

    // The room ImeToAsciiEx is given, in messages (32 by default).
    void setMessageRoom(UINT room);

    Application &application() { return window; }
    const Module &module() const { return ime; }
    HIMC context() const { return imc; }
    HWND windowHandle() const { return hwnd; }
    bool unicode() const { return ime.unicode(); }
    const std::array<BYTE, 256> &keyState() const { return keys; }

private:
    static LRESULT sendToWindow(void *user, HIMC imc, HWND window, UINT message, WPARAM wParam,
                                LPARAM lParam);
    static BOOL notifyModule(void *user, HIMC imc, DWORD action, DWORD index, DWORD value);

    UINT keyCode(unsigned char virtualKey) const;
    void deliver(const TRANSMSG *messages, UINT count);

    Module ime;
    Application window;
    HWND hwnd;
    HIMC imc = nullptr;
    std::array<BYTE, 256> keys{};
    UINT room = 32;
};

} // namespace host

#endif
