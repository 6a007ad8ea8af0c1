// The host's application window and what it asks of the input-method
// manager: the module, its context, key events and the messages they bring.
#include "host/session.h"

#include "platform/posix/imm_host.h"
#include "platform/posix/user_host.h"

#include <cstring>
#include <iterator>
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

constexpr WCHAR kWindowClass[] = u"TavoHostApplication";
constexpr POINT kCaretPlace = {12, 12};
constexpr int kCaretWidth = 2;
constexpr int kCaretHeight = 20;
// A bound on one pump, against a window that never validates itself.
constexpr int kMostMessagesPerPump = 1000;

bool isImeMessage(UINT message) {
    return (message >= WM_IME_STARTCOMPOSITION && message <= WM_IME_KEYLAST) ||
           (message >= WM_IME_SETCONTEXT && message <= WM_IME_KEYUP);
}

HINSTANCE hostInstance() {
    return GetModuleHandleW(nullptr);
}

} // namespace

Session::Session() = default;

Session::~Session() {
    close();
}

LRESULT CALLBACK Session::windowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto *create = reinterpret_cast<CREATESTRUCTW *>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto *session = reinterpret_cast<Session *>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (session && isImeMessage(message))
        session->window.receive(ImmGetContext(hwnd), {message, wParam, lParam});
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void Session::tellManager() {
    TAVO_IMEMODULE module = {};
    module.instance = ime.instance();
    module.info = ime.imeInfo();
    ime.uiClassWide().copy(module.uiClass, std::size(module.uiClass) - 1);
    module.ImeSelect = ime.exports().ImeSelect;
    module.ImeSetActiveContext = ime.exports().ImeSetActiveContext;
    module.NotifyIME = ime.exports().NotifyIME;
    tavo_SetImeModule(&module);
}

// The application's window: registered afresh for each session, made
// hidden, with its caret.
bool Session::makeWindow() {
    WNDCLASSEXW description = {};
    description.cbSize = sizeof description;
    description.lpfnWndProc = windowProcedure;
    description.hInstance = hostInstance();
    description.lpszClassName = kWindowClass;
    RegisterClassExW(&description);
    RECT frame = {0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&frame, WS_POPUP | WS_BORDER, FALSE, 0);
    hwnd = CreateWindowExW(0, kWindowClass, u"Tavo host", WS_POPUP | WS_BORDER, kWindowPlace.x,
                           kWindowPlace.y, frame.right - frame.left, frame.bottom - frame.top,
                           nullptr, nullptr, hostInstance(), this);
    if (!hwnd)
        return false;
    CreateCaret(hwnd, nullptr, kCaretWidth, kCaretHeight);
    placeCaret(kCaretPlace);
    ShowCaret(hwnd);
    return true;
}

bool Session::open(const std::string &modulePath, std::string &error) {
    close();
    if (!ime.load(modulePath, error))
        return false;
    tellManager();
    if (!makeWindow()) {
        error = "cannot make the application window";
        close();
        return false;
    }
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
    ShowWindow(hwnd, SW_SHOW);
    pump();
    window.clearMessages();
    return true;
}

void Session::close() {
    if (hwnd) {
        activate(false);
        select(false);
        if (imc)
            ImmDestroyContext(imc);
        imc = nullptr;
        DestroyCaret();
        DestroyWindow(hwnd);
        hwnd = nullptr;
        pump();
        UnregisterClassW(kWindowClass, hostInstance());
    }
    if (ime.loaded()) {
        tavo_SetImeModule(nullptr);
        ime.unload();
    }
}

BOOL Session::select(bool selected) {
    return hwnd ? tavo_SelectIme(selected) : FALSE;
}

BOOL Session::activate(bool active) {
    if (!hwnd)
        return FALSE;
    SetFocus(active ? hwnd : nullptr);
    pump();
    return TRUE;
}

BOOL Session::setConversion(DWORD conversion) {
    DWORD current = 0, sentence = 0;
    ImmGetConversionStatus(imc, &current, &sentence);
    BOOL set = ImmSetConversionStatus(imc, conversion, sentence);
    pump();
    return set;
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

void Session::placeCaret(POINT client) {
    SetCaretPos(client.x, client.y);
}

BOOL Session::setCompositionForm(const COMPOSITIONFORM &form) {
    COMPOSITIONFORM copy = form;
    BOOL set = ImmSetCompositionWindow(imc, &copy);
    pump();
    return set;
}

HWND Session::click(POINT screen) {
    HWND clicked = tavo_MouseClick(screen);
    pump();
    return clicked;
}

void Session::pump() {
    MSG message;
    for (int count = 0;
         count < kMostMessagesPerPump && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++count)
        DispatchMessageW(&message);
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
        PostMessageW(hwnd, messages[i].message, messages[i].wParam, messages[i].lParam);
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
        pump();
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
