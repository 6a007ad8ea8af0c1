// The host proper: one application window around one input-method module.
// It loads the module and tells the platform's input-method manager of it,
// makes the application's window (a real window with a caret, whose
// procedure records the input-method messages and passes them on to
// DefWindowProc, and so to the module's UI window), gives the window an
// input context, has the manager select the module and shows the window,
// which activates the context. Keys go in the way Windows feeds them:
// key-state array, ImeProcessKey, then ImeToAsciiEx with the key code that
// IME_PROP_KBD_CHAR_FIRST promises; the messages it returns are posted to
// the window, and the session then dispatches what is queued and paints.
// The manager knows one module per process, so one session is open at a
// time, on one thread.
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

    // The manager gives the module the thread's contexts, or takes them
    // back (WM_IME_SELECT and ImeSelect); the window gains or loses the
    // focus, which activates or deactivates its context.
    BOOL select(bool selected);
    BOOL activate(bool active);
    // Where the application keeps its caret (client coordinates), and the
    // composition form it asks for (CFS_DEFAULT follows the caret).
    void placeCaret(POINT client);
    BOOL setCompositionForm(const COMPOSITIONFORM &form);
    // A click of the left button at a point of the screen, then what it
    // made happen is dispatched and painted; the window clicked, or null.
    HWND click(POINT screen);
    // Dispatches the queued messages, then paints what is invalid.
    void pump();
    // The application changes the conversion mode through the manager.
    BOOL setConversion(DWORD conversion);
    DWORD conversion() const;
    // The settings dialog, as the application's "configure" command opens it.
    BOOL configure(DWORD mode = IME_CONFIG_GENERAL);

    // The room ImeToAsciiEx is given, in messages (32 by default).
    void setMessageRoom(UINT room);

    Application &application() { return window; }
    const Application &application() const { return window; }
    const Module &module() const { return ime; }
    HIMC context() const { return imc; }
    HWND windowHandle() const { return hwnd; }
    bool unicode() const { return ime.unicode(); }
    const std::array<BYTE, 256> &keyState() const { return keys; }

    // Where the window is on the screen and how big its client area is.
    static constexpr POINT kWindowPlace = {100, 100};
    static constexpr int kClientWidth = 800;
    static constexpr int kClientHeight = 120;

private:
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);

    void tellManager();
    bool makeWindow();
    UINT keyCode(unsigned char virtualKey) const;
    void deliver(const TRANSMSG *messages, UINT count);

    Module ime;
    Application window;
    HWND hwnd = nullptr;
    HIMC imc = nullptr;
    std::array<BYTE, 256> keys{};
    UINT room = 32;
};

} // namespace host

#endif
