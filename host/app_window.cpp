// An application window of the host and its input context: what it asks
// of the input-method manager and how key events reach the module.
#include "host/app_window.h"

#include "platform/posix/imm_host.h"

#include <vector>

namespace host {

namespace {

constexpr UINT kReleased = 0x8000; // bit 15 of the scan code
// The key data of WM_KEYDOWN / WM_KEYUP: repeat count 1; on a release the
// previous-state and transition bits.
constexpr LPARAM kPressData = 1;
constexpr LPARAM kReleaseData = 1 | static_cast<LPARAM>(0xC0000000u);
constexpr BYTE kDown = 0x80;

constexpr WCHAR kWindowClass[] = u"TavoHostApplication";
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

void pumpMessages() {
    MSG message;
    for (int count = 0;
         count < kMostMessagesPerPump && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++count)
        DispatchMessageW(&message);
}

AppWindow::AppWindow(Manager &manager) : manager(manager) {}

AppWindow::~AppWindow() {
    close();
}

LRESULT CALLBACK AppWindow::windowProcedure(HWND hwnd, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto *create = reinterpret_cast<CREATESTRUCTW *>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto *self = reinterpret_cast<AppWindow *>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && (message == WM_SETFOCUS || message == WM_KILLFOCUS))
        self->focusChanged(message == WM_SETFOCUS);
    if (self && isImeMessage(message))
        self->window.receive(ImmGetContext(hwnd), {message, wParam, lParam});
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// The class is registered with the first window; it stays while windows
// of it are left, so only the last window's close unregisters it.
bool AppWindow::makeWindow() {
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
    return hwnd != nullptr;
}

// The thread has one caret: the window with the focus has it, where this
// window last placed it.
void AppWindow::focusChanged(bool gained) {
    if (!gained) {
        DestroyCaret();
        return;
    }
    CreateCaret(hwnd, nullptr, kCaretWidth, kCaretHeight);
    SetCaretPos(caret.x, caret.y);
    ShowCaret(hwnd);
}

bool AppWindow::open(std::string &error) {
    close();
    if (!makeWindow()) {
        error = "cannot make the application window";
        return false;
    }
    imc = tavo_CreateInputContext(hwnd, manager.module().imeInfo().dwPrivateDataSize);
    if (!imc) {
        error = "cannot create an input context";
        close();
        return false;
    }
    return true;
}

void AppWindow::close() {
    if (!hwnd)
        return;
    activate(false);
    if (imc)
        ImmDestroyContext(imc);
    imc = nullptr;
    DestroyWindow(hwnd);
    hwnd = nullptr;
    pumpMessages();
    UnregisterClassW(kWindowClass, hostInstance());
}

void AppWindow::show() {
    if (!hwnd)
        return;
    ShowWindow(hwnd, SW_SHOW);
    pumpMessages();
}

BOOL AppWindow::activate(bool active) {
    if (!hwnd)
        return FALSE;
    if (active)
        SetFocus(hwnd);
    else if (hasFocus())
        SetFocus(nullptr);
    pumpMessages();
    return TRUE;
}

bool AppWindow::hasFocus() const {
    return hwnd && GetFocus() == hwnd;
}

BOOL AppWindow::setConversion(DWORD conversion) {
    DWORD current = 0, sentence = 0;
    ImmGetConversionStatus(imc, &current, &sentence);
    BOOL set = ImmSetConversionStatus(imc, conversion, sentence);
    pumpMessages();
    return set;
}

DWORD AppWindow::conversion() const {
    DWORD current = 0, sentence = 0;
    ImmGetConversionStatus(imc, &current, &sentence);
    return current;
}

BOOL AppWindow::endComposition(DWORD how) {
    BOOL done = ImmNotifyIME(imc, NI_COMPOSITIONSTR, how, 0);
    pumpMessages();
    return done;
}

void AppWindow::setMessageRoom(UINT messages) {
    room = messages;
}

void AppWindow::placeCaret(POINT client) {
    caret = client;
    if (hasFocus())
        SetCaretPos(client.x, client.y);
}

BOOL AppWindow::setCompositionForm(const COMPOSITIONFORM &form) {
    COMPOSITIONFORM copy = form;
    BOOL set = ImmSetCompositionWindow(imc, &copy);
    pumpMessages();
    return set;
}

void AppWindow::deliver(const TRANSMSG *messages, UINT count) {
    for (UINT i = 0; i < count; ++i)
        PostMessageW(hwnd, messages[i].message, messages[i].wParam, messages[i].lParam);
}

KeyOutcome AppWindow::feed(const KeyEvent &event) {
    KeyOutcome outcome;
    unsigned char key = event.virtualKey;
    manager.setKey(key, !event.release);
    if (!imc || !manager.loaded())
        return outcome;
    const std::array<BYTE, 256> &keys = manager.keyState();
    size_t before = window.messages().size();
    const ModuleExports &calls = manager.module().exports();
    outcome.taken =
        calls.ImeProcessKey(imc, key, event.release ? kReleaseData : kPressData, keys.data());
    if (outcome.taken) {
        // TRANSMSGLIST holds one message itself; the rest follow it.
        size_t bytes = sizeof(TRANSMSGLIST) + sizeof(TRANSMSG) * (room > 0 ? room - 1 : 0);
        std::vector<unsigned char> storage(bytes, 0);
        auto *list = reinterpret_cast<LPTRANSMSGLIST>(storage.data());
        list->uMsgCount = room;
        outcome.returned = calls.ImeToAsciiEx(manager.keyCode(key), event.release ? kReleased : 0,
                                              keys.data(), list, 0, imc);
        if (outcome.returned <= room)
            deliver(list->TransMsg, outcome.returned);
        else
            ImmGenerateMessage(imc); // the messages stayed in the context
        pumpMessages();
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

} // namespace host
