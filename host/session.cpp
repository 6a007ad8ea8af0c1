// The host's side of the input-method manager: contexts, key events and
// the messages they bring.
#include "host/session.h"

#include "platform/posix/imm_host.h"

#include <cstring>
#include <vector>

namespace host {

namespace {

constexpr BYTE kDown = 0x80;
constexpr UINT kReleased = 0x8000; // bit 15 of the scan code
// The key data of WM_KEYDOWN / WM_KEYUP: repeat count 1; on a release the
// previous-state and transition bits.
constexpr LPARAM kPressData = 1;
constexpr LPARAM kReleaseData = 1 | static_cast<LPARAM>(0xC0000000u);

// The generic modifier and its left-hand key go down and up together, as
// on a real keyboard.
unsigned char leftHand(unsigned char key) {
    switch (key) {
    case VK_SHIFT:
        return VK_LSHIFT;
    case VK_CONTROL:
        return VK_LCONTROL;
    case VK_MENU:
        return VK_LMENU;
    default:
        return 0;
    }
}

// A handle value unique to each session's window; never dereferenced.
HWND makeWindowHandle() {
    static uintptr_t next = 0x10000;
    next += 0x10;
    return reinterpret_cast<HWND>(next);
}

} // namespace

Session::Session() : hwnd(makeWindowHandle()) {}

Session::~Session() {
    close();
}

LRESULT Session::sendToWindow(void *user, HIMC imc, HWND window, UINT message, WPARAM wParam,
                              LPARAM lParam) {
    auto *session = static_cast<Session *>(user);
    if (window == session->hwnd)
        session->window.receive(imc, {message, wParam, lParam});
    return 0;
}

BOOL Session::notifyModule(void *user, HIMC imc, DWORD action, DWORD index, DWORD value) {
    auto *session = static_cast<Session *>(user);
    return session->ime.exports().NotifyIME(imc, action, index, value);
}

bool Session::open(const std::string &modulePath, std::string &error) {
    close();
    if (!ime.load(modulePath, error))
        return false;
    tavo_SetImeInfo(&ime.imeInfo());
    TAVO_IMMHOOKS hooks{notifyModule, sendToWindow, this};
    tavo_SetImmHooks(&hooks);
    imc = tavo_CreateInputContext(hwnd, ime.imeInfo().dwPrivateDataSize);
    if (!imc) {
        error = "cannot create an input context";
        close();
        return false;
    }
    keys.fill(0);
    SetKeyboardState(keys.data());
    if (!select(true)) {
        error = "ImeSelect refused the context";
        close();
        return false;
    }
    activate(true);
    return true;
}

void Session::close() {
    if (imc) {
        activate(false);
        select(false);
        ImmDestroyContext(imc);
        imc = nullptr;
    }
    if (ime.loaded()) {
        tavo_SetImmHooks(nullptr);
        tavo_SetImeInfo(nullptr);
        ime.unload();
    }
}

BOOL Session::select(bool selected) {
    return imc ? ime.exports().ImeSelect(imc, selected) : FALSE;
}

BOOL Session::activate(bool active) {
    return imc ? ime.exports().ImeSetActiveContext(imc, active) : FALSE;
}

BOOL Session::setConversion(DWORD conversion) {
    DWORD current = 0, sentence = 0;
    ImmGetConversionStatus(imc, &current, &sentence);
    return ImmSetConversionStatus(imc, conversion, sentence);
}

DWORD Session::conversion() const {
    DWORD current = 0, sentence = 0;
    ImmGetConversionStatus(imc, &current, &sentence);
    return current;
}

BOOL Session::configure(DWORD mode) {
    return ime.loaded() ? ime.exports().ImeConfigure(nullptr, hwnd, mode, nullptr) : FALSE;
}

void Session::setMessageRoom(UINT messages) {
    room = messages;
}

UINT Session::keyCode(unsigned char virtualKey) const {
    if (ime.unicode()) {
        WCHAR character[2] = {};
        if (ToUnicode(virtualKey, 0, keys.data(), character, 2, 0) != 1)
            character[0] = 0;
        return static_cast<UINT>(character[0]) << 16 | virtualKey;
    }
    WORD character = 0;
    if (ToAscii(virtualKey, 0, keys.data(), &character, 0) != 1)
        character = 0;
    return static_cast<UINT>(character & 0xFF) << 8 | virtualKey;
}

void Session::deliver(const TRANSMSG *messages, UINT count) {
    for (UINT i = 0; i < count; ++i)
        window.receive(imc, {messages[i].message, messages[i].wParam, messages[i].lParam});
}

KeyOutcome Session::feed(const KeyEvent &event) {
    KeyOutcome outcome;
    unsigned char key = event.virtualKey;
    BYTE state = event.release ? 0 : kDown;
    keys[key] = state;
    if (unsigned char left = leftHand(key))
        keys[left] = state;
    SetKeyboardState(keys.data());
    if (!imc)
        return outcome;
    size_t before = window.messages().size();
    const ModuleExports &calls = ime.exports();
    outcome.taken =
        calls.ImeProcessKey(imc, key, event.release ? kReleaseData : kPressData, keys.data());
    if (outcome.taken) {
        // TRANSMSGLIST holds one message itself; the rest follow it.
        size_t bytes = sizeof(TRANSMSGLIST) + sizeof(TRANSMSG) * (room > 0 ? room - 1 : 0);
        std::vector<unsigned char> storage(bytes, 0);
        auto *list = reinterpret_cast<LPTRANSMSGLIST>(storage.data());
        list->uMsgCount = room;
        outcome.returned = calls.ImeToAsciiEx(keyCode(key), event.release ? kReleased : 0,
                                              keys.data(), list, 0, imc);
        if (outcome.returned <= room)
            deliver(list->TransMsg, outcome.returned);
        else
            ImmGenerateMessage(imc); // the messages stayed in the context
    } else if (!event.release && !(keys[VK_MENU] & kDown)) {
        // An untaken key reaches the window as its character; with Alt it
        // is a system key instead, no text.
        WORD character = 0;
        if (ToAscii(key, 0, keys.data(), &character, 0) == 1)
            window.typed(static_cast<char>(character));
    }
    outcome.received = window.messages().size() - before;
    return outcome;
}

KeyOutcome Session::press(unsigned char virtualKey) {
    return feed(KeyEvent{virtualKey, false});
}

KeyOutcome Session::release(unsigned char virtualKey) {
    return feed(KeyEvent{virtualKey, true});
}

void Session::feed(const std::vector<KeyEvent> &events) {
    for (const KeyEvent &event : events)
        feed(event);
}

} // namespace host
