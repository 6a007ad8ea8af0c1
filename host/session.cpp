// The host's one application window and its module, opened and closed in
// the order Windows keeps.
#include "host/session.h"

#include "platform/posix/user_host.h"

namespace host {

Session::Session() = default;

Session::~Session() {
    close();
}

bool Session::open(const std::string &modulePath, std::string &error) {
    close();
    if (!manager.load(modulePath, error))
        return false;
    if (!window.open(error)) {
        close();
        return false;
    }
    if (!select(true)) {
        error = "ImeSelect refused the context";
        close();
        return false;
    }
    window.show();
    window.application().clearMessages();
    return true;
}

void Session::close() {
    if (window.isOpen()) {
        window.activate(false);
        select(false);
        window.close();
    }
    manager.unload();
}

BOOL Session::select(bool selected) {
    return window.isOpen() ? manager.select(selected) : FALSE;
}

BOOL Session::activate(bool active) {
    return window.activate(active);
}

BOOL Session::setConversion(DWORD conversion) {
    return window.setConversion(conversion);
}

DWORD Session::conversion() const {
    return window.conversion();
}

BOOL Session::configure(DWORD mode) {
    return manager.configure(window.handle(), mode);
}

void Session::setMessageRoom(UINT messages) {
    window.setMessageRoom(messages);
}

void Session::placeCaret(POINT client) {
    window.placeCaret(client);
}

BOOL Session::setCompositionForm(const COMPOSITIONFORM &form) {
    return window.setCompositionForm(form);
}

HWND Session::click(POINT screen) {
    HWND clicked = tavo_MouseClick(screen);
    pump();
    return clicked;
}

void Session::pump() {
    pumpMessages();
}

KeyOutcome Session::feed(const KeyEvent &event) {
    return window.feed(event);
}

KeyOutcome Session::press(unsigned char virtualKey) {
    return window.feed(KeyEvent{virtualKey, false});
}

KeyOutcome Session::release(unsigned char virtualKey) {
    return window.feed(KeyEvent{virtualKey, true});
}

void Session::feed(const std::vector<KeyEvent> &events) {
    for (const KeyEvent &event : events)
        window.feed(event);
}

} // namespace host
