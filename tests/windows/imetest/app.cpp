#include "tests/windows/imetest/app.h"

#include "platform/cp950/convert.h"

namespace imetest {

namespace {

constexpr wchar_t kClassName[] = L"TavoImeTestApp";

bool isImeMessage(UINT message) {
    return (message >= WM_IME_STARTCOMPOSITION && message <= WM_IME_KEYLAST) ||
           (message >= WM_IME_SETCONTEXT && message <= WM_IME_KEYUP) || message == WM_NULL;
}

} // namespace

bool runningUnderWine() {
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

std::wstring fromBig5(const std::string &bytes) {
    if (bytes.empty())
        return L"";
    int needed = cp950_toWide(Cp950Encoding::big5, 0, bytes.data(), (int)bytes.size(), nullptr, 0);
    std::wstring text(needed > 0 ? needed : 0, L'\0');
    if (needed > 0)
        cp950_toWide(Cp950Encoding::big5, 0, bytes.data(), (int)bytes.size(), text.data(), needed);
    return text;
}

bool App::open(std::wstring &error) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClassName;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    RegisterClassW(&windowClass); // a second window finds it registered
    window_ = CreateWindowW(kClassName, L"Tavo test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100,
                            400, 200, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    if (!window_) {
        error = L"CreateWindow failed";
        return false;
    }
    SetForegroundWindow(window_);
    SetFocus(window_);
    context_ = ImmCreateContext();
    if (!context_) {
        error = L"ImmCreateContext failed";
        return false;
    }
    previous_ = ImmAssociateContext(window_, context_);
    SetFocus(window_);
    pump();
    fresh();
    return true;
}

void App::close() {
    if (window_) {
        ImmAssociateContext(window_, previous_);
        DestroyWindow(window_);
        window_ = nullptr;
    }
    if (context_) {
        ImmDestroyContext(context_);
        context_ = nullptr;
    }
    pump(10);
}

void App::pump(DWORD quietMs) {
    DWORD lastActivity = GetTickCount();
    while (GetTickCount() - lastActivity < quietMs) {
        MSG message;
        bool any = false;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            any = true;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (any)
            lastActivity = GetTickCount();
        else
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

std::wstring App::text(DWORD index) const {
    if (unicodeModule) {
        LONG bytes = ImmGetCompositionStringW(context_, index, nullptr, 0);
        if (bytes <= 0)
            return L"";
        std::wstring out(bytes / sizeof(wchar_t), L'\0');
        ImmGetCompositionStringW(context_, index, out.data(), bytes);
        return out;
    }
    LONG bytes = ImmGetCompositionStringA(context_, index, nullptr, 0);
    if (bytes <= 0)
        return L"";
    std::string out(bytes, '\0');
    ImmGetCompositionStringA(context_, index, out.data(), bytes);
    return fromBig5(out);
}

std::wstring App::composition() const {
    return text(GCS_COMPSTR);
}

std::wstring App::reading() const {
    return text(GCS_COMPREADSTR);
}

std::vector<Message> App::fresh() {
    std::vector<Message> out(messages_.begin() + seen_, messages_.end());
    seen_ = messages_.size();
    return out;
}

size_t App::count(UINT message) const {
    size_t n = 0;
    for (const Message &m : messages_)
        n += m.message == message;
    return n;
}

LRESULT CALLBACK App::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE)
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          (LONG_PTR)((CREATESTRUCTW *)lParam)->lpCreateParams);
    App *app = (App *)GetWindowLongPtrW(window, GWLP_USERDATA);
    if (app && isImeMessage(message))
        return app->handle(message, wParam, lParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

void App::takeResult() {
    if (unicodeModule) {
        committed_ += text(GCS_RESULTSTR);
        return;
    }
    LONG bytes = ImmGetCompositionStringA(context_, GCS_RESULTSTR, nullptr, 0);
    std::string out(bytes > 0 ? bytes : 0, '\0');
    if (bytes > 0)
        ImmGetCompositionStringA(context_, GCS_RESULTSTR, out.data(), bytes);
    committedBytes_ += out;
    committed_ += fromBig5(out);
}

// Records the message and the result it carries; the manager's default
// handling (and through it the module's windows) still gets every one.
LRESULT App::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NULL) {
        // A composition message garbled by Wine (see messagesGarbled).
        ULONG64 flags = ULONG64(ULONG_PTR(lParam)) >> 32;
        if ((ULONG64(ULONG_PTR(lParam)) & 0xFFFFFFFF) == 0 && flags != 0) {
            garbled_.push_back(Message{message, wParam, lParam});
            if (flags & GCS_RESULTSTR)
                takeResult();
        }
        return 0;
    }
    messages_.push_back(Message{message, wParam, lParam});
    if (message == WM_IME_STARTCOMPOSITION || message == WM_IME_ENDCOMPOSITION)
        composing_ = message == WM_IME_STARTCOMPOSITION;
    if (message == WM_IME_COMPOSITION && (lParam & GCS_RESULTSTR)) {
        takeResult();
        // The result is the application's now: its own handling ends here,
        // as an editor's does, so that no WM_IME_CHAR repeats it.
        return 0;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

} // namespace imetest
