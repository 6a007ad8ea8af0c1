// The host proper: one application window around one input-method module.
// It loads the module and tells the platform's input-method manager of it
// (host/manager.h), makes the application's window and gives it an input
// context (host/app_window.h), has the manager select the module and
// shows the window, which activates the context. The manager knows one
// module per process, so one session is open at a time, on one thread.
#ifndef TAVO_HOST_SESSION_H
#define TAVO_HOST_SESSION_H

#include "host/app_window.h"
#include "host/manager.h"
#include "host/script.h"

#include <array>
#include <string>

namespace host {

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

    Application &application() { return window.application(); }
    const Application &application() const { return window.application(); }
    const Module &module() const { return manager.module(); }
    HIMC context() const { return window.context(); }
    HWND windowHandle() const { return window.handle(); }
    bool unicode() const { return manager.unicode(); }
    const std::array<BYTE, 256> &keyState() const { return manager.keyState(); }

    // Where the window is on the screen and how big its client area is.
    static constexpr POINT kWindowPlace = AppWindow::kWindowPlace;
    static constexpr int kClientWidth = AppWindow::kClientWidth;
    static constexpr int kClientHeight = AppWindow::kClientHeight;

private:
    Manager manager;
    AppWindow window{manager};
};

} // namespace host

#endif
