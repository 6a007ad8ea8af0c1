// One application window of the host with its input context: a real
// window with a caret, whose procedure records the input-method messages
// (host/application.h) and passes them on to DefWindowProc, and so to the
// module's UI window. A process may have any number of them, all using the
// one manager (host/manager.h); the focus, which SetFocus moves, decides
// whose context is active. Keys go in the way Windows feeds them:
// key-state array, ImeProcessKey, then ImeToAsciiEx with the key code
// that IME_PROP_KBD_CHAR_FIRST promises; the messages it returns are
// posted to the window, and then what is queued is dispatched and painted.
#ifndef TAVO_HOST_APP_WINDOW_H
#define TAVO_HOST_APP_WINDOW_H

#include "host/application.h"
#include "host/manager.h"
#include "host/script.h"

#include <string>

namespace host {

// What became of one key event.
struct KeyOutcome {
    bool taken = false;  // ImeProcessKey took it
    UINT returned = 0;   // ImeToAsciiEx's message count
    size_t received = 0; // messages the application got for it
};

// Dispatches the thread's queued messages, then paints what is invalid.
void pumpMessages();

class AppWindow {
public:
    explicit AppWindow(Manager &manager);
    AppWindow(const AppWindow &) = delete;
    AppWindow &operator=(const AppWindow &) = delete;
    ~AppWindow();

    // Makes the window, hidden, with its caret, and gives it an input
    // context, which the module gets at once when the manager has selected
    // it.
    bool open(std::string &error);
    // Destroys the context (the module gives it back first) and the window.
    void close();
    bool isOpen() const { return hwnd != nullptr; }

    // Shows the window, which gives it the focus and so activates its
    // context.
    void show();
    // The window gains or loses the focus, which activates or deactivates
    // its context. Losing it leaves the thread without a focus, unless
    // another window has taken it already.
    BOOL activate(bool active);
    bool hasFocus() const;

    // A key event from the keyboard, through the module to the window; a
    // key the module does not take reaches the window as its character.
    KeyOutcome feed(const KeyEvent &event);

    // Where the application keeps its caret (client coordinates), and the
    // composition form it asks for (CFS_DEFAULT follows the caret).
    void placeCaret(POINT client);
    BOOL setCompositionForm(const COMPOSITIONFORM &form);
    // The application changes the conversion mode through the manager.
    BOOL setConversion(DWORD conversion);
    DWORD conversion() const;
    // The application completes or cancels the composition, as through
    // ImmNotifyIME(NI_COMPOSITIONSTR, CPS_COMPLETE or CPS_CANCEL); the
    // messages it brings are dispatched.
    BOOL endComposition(DWORD how);
    // The room ImeToAsciiEx is given, in messages (32 by default).
    void setMessageRoom(UINT room);

    Application &application() { return window; }
    const Application &application() const { return window; }
    HIMC context() const { return imc; }
    HWND handle() const { return hwnd; }

    // Where the window is on the screen and how big its client area is.
    static constexpr POINT kWindowPlace = {100, 100};
    static constexpr int kClientWidth = 800;
    static constexpr int kClientHeight = 120;

private:
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
    bool makeWindow();
    void focusChanged(bool gained);
    void deliver(const TRANSMSG *messages, UINT count);

    Manager &manager;
    Application window;
    HWND hwnd = nullptr;
    HIMC imc = nullptr;
    POINT caret = {12, 12}; // client coordinates
    UINT room = 32;
};

} // namespace host

#endif
