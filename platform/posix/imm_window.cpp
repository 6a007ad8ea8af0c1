// The thread's default IME window (system class "IME"), as Windows keeps
// one: made with the thread's first window, it makes the module's UI window
// (one per thread, owned by it) and routes to it the input-method messages
// that applications pass to DefWindowProc. WM_IME_CONTROL is answered here
// for the status window's opening and closing and the setting of
// positions, and goes to the UI window otherwise.
#include "platform/posix/imm_private.h"
#include "platform/posix/window_private.h"

#include <unordered_map>

namespace {

struct ThreadIme {
    HWND imeWindow = nullptr;
    HWND uiWindow = nullptr;
    bool selected = false;
    bool statusOpen = true; // the status window shows until closed
};

std::mutex threadsLock;
std::unordered_map<DWORD, ThreadIme> &threads() {
    static auto *instance = new std::unordered_map<DWORD, ThreadIme>;
    return *instance;
}

ThreadIme threadIme(DWORD thread) {
    std::lock_guard hold(threadsLock);
    auto found = threads().find(thread);
    return found == threads().end() ? ThreadIme{} : found->second;
}

template <class Change> void changeThreadIme(DWORD thread, Change change) {
    std::lock_guard hold(threadsLock);
    change(threads()[thread]);
}

DWORD thisThread() {
    return GetCurrentThreadId();
}

// The context the UI window works on: its slot, else the focus window's.
HIMC currentContext() {
    HWND ui = posix::uiWindow();
    if (ui)
        return reinterpret_cast<HIMC>(GetWindowLongPtrW(ui, IMMGWL_IMC));
    return ImmGetContext(GetFocus());
}

LRESULT toUi(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND ui = posix::uiWindow();
    return ui ? SendMessageW(ui, message, wParam, lParam) : 0;
}

// WM_IME_CONTROL: 0 for a command done, 1 for one refused, the UI
// window's answer for the rest.
LRESULT control(WPARAM command, LPARAM lParam) {
    switch (command) {
    case IMC_OPENSTATUSWINDOW:
    case IMC_CLOSESTATUSWINDOW: {
        bool open = command == IMC_OPENSTATUSWINDOW;
        changeThreadIme(thisThread(), [open](ThreadIme &ime) { ime.statusOpen = open; });
        toUi(WM_IME_NOTIFY, open ? IMN_OPENSTATUSWINDOW : IMN_CLOSESTATUSWINDOW, 0);
        return 0;
    }
    case IMC_SETCOMPOSITIONWINDOW: {
        auto *form = reinterpret_cast<LPCOMPOSITIONFORM>(lParam);
        return ImmSetCompositionWindow(currentContext(), form) ? 0 : 1;
    }
    case IMC_SETSTATUSWINDOWPOS: {
        POINT place = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        return ImmSetStatusWindowPos(currentContext(), &place) ? 0 : 1;
    }
    default:
        return toUi(WM_IME_CONTROL, command, lParam);
    }
}

LRESULT CALLBACK imeWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_IME_SELECT:
    case WM_IME_SETCONTEXT:
    case WM_IME_NOTIFY:
    case WM_IME_STARTCOMPOSITION:
    case WM_IME_COMPOSITION:
    case WM_IME_ENDCOMPOSITION:
    case WM_IME_COMPOSITIONFULL:
        return toUi(message, wParam, lParam);
    case WM_IME_CONTROL:
        return control(wParam, lParam);
    case WM_NCDESTROY:
        changeThreadIme(thisThread(), [window](ThreadIme &ime) {
            if (ime.imeWindow == window)
                ime.imeWindow = ime.uiWindow = nullptr;
        });
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

void registerImeClass() {
    static std::once_flag registered;
    std::call_once(registered, [] {
        WNDCLASSEXW description = {};
        description.cbSize = sizeof description;
        description.lpfnWndProc = imeWindowProcedure;
        description.lpszClassName = u"IME";
        posix::registerClass(description, true, true);
    });
}

bool isImeClass(const posix::WindowClass &windowClass) {
    return (windowClass.system && windowClass.name == u"IME") || (windowClass.style & CS_IME);
}

} // namespace

namespace posix {

void ensureDefaultImeWindow() {
    if (IsWindow(threadIme(thisThread()).imeWindow))
        return;
    registerImeClass();
    HWND window = CreateWindowExW(0, u"IME", u"Default IME", WS_POPUP | WS_DISABLED, 0, 0, 0, 0,
                                  nullptr, nullptr, nullptr, nullptr);
    changeThreadIme(thisThread(), [window](ThreadIme &ime) { ime.imeWindow = window; });
    // The input method was switched on before the thread had a window.
    if (imeSelected())
        makeUiWindow();
}

HWND defaultImeWindow(DWORD thread) {
    HWND window = threadIme(thread).imeWindow;
    return IsWindow(window) ? window : nullptr;
}

bool belongsToIme(HWND handle) {
    std::lock_guard hold(windowLock());
    for (int depth = 0; handle && depth < 64; ++depth) {
        Window *window = lockedWindow(handle);
        if (!window)
            return false;
        if (isImeClass(*window->windowClass))
            return true;
        handle = window->owner;
    }
    return false;
}

bool imeSelected() {
    return threadIme(thisThread()).selected;
}

void setImeSelected(bool selected) {
    changeThreadIme(thisThread(), [selected](ThreadIme &ime) { ime.selected = selected; });
}

bool statusWindowOpen() {
    return threadIme(thisThread()).statusOpen;
}

HWND uiWindow() {
    HWND window = threadIme(thisThread()).uiWindow;
    return IsWindow(window) ? window : nullptr;
}

void makeUiWindow() {
    ThreadIme ime = threadIme(thisThread());
    TAVO_IMEMODULE module;
    if (IsWindow(ime.uiWindow) || !IsWindow(ime.imeWindow) || !imeModule(module))
        return;
    HWND window = CreateWindowExW(0, module.uiClass, u"", WS_POPUP | WS_DISABLED, 0, 0, 0, 0,
                                  ime.imeWindow, nullptr, module.instance, nullptr);
    if (!window)
        return;
    changeThreadIme(thisThread(), [window](ThreadIme &record) { record.uiWindow = window; });
    SetWindowLongPtrW(window, IMMGWL_IMC, LONG_PTR(ImmGetContext(GetFocus())));
}

void dropUiWindow() {
    HWND window = uiWindow();
    changeThreadIme(thisThread(), [](ThreadIme &ime) { ime.uiWindow = nullptr; });
    if (window)
        DestroyWindow(window);
}

void forgetContextInUi(HIMC imc) {
    std::vector<HWND> windows;
    {
        std::lock_guard hold(threadsLock);
        for (const auto &[thread, ime] : threads())
            if (ime.uiWindow)
                windows.push_back(ime.uiWindow);
    }
    for (HWND window : windows)
        if (GetWindowLongPtrW(window, IMMGWL_IMC) == LONG_PTR(imc))
            SetWindowLongPtrW(window, IMMGWL_IMC, 0);
}

} // namespace posix

HWND WINAPI ImmGetDefaultIMEWnd(HWND window) {
    DWORD thread = window ? GetWindowThreadProcessId(window, nullptr) : GetCurrentThreadId();
    return thread ? posix::defaultImeWindow(thread) : nullptr;
}
