// The keyboard focus, one window per thread. The window losing it has its
// input context deactivated and then hears WM_KILLFOCUS; the window gaining
// it has its context activated and then hears WM_SETFOCUS.
#include "platform/posix/errors.h"
#include "platform/posix/window_private.h"

#include <unordered_map>

namespace {

std::mutex focusLock;
std::unordered_map<DWORD, HWND> &focusByThread() {
    static auto *focus = new std::unordered_map<DWORD, HWND>;
    return *focus;
}

HWND focusOf(DWORD thread) {
    std::lock_guard hold(focusLock);
    auto found = focusByThread().find(thread);
    return found == focusByThread().end() ? nullptr : found->second;
}

void setFocusOf(DWORD thread, HWND window) {
    std::lock_guard hold(focusLock);
    focusByThread()[thread] = window;
}

} // namespace

namespace posix {

void forgetFocus(HWND window) {
    DWORD thread = GetWindowThreadProcessId(window, nullptr);
    if (thread && focusOf(thread) == window) {
        if (thread == GetCurrentThreadId())
            SetFocus(nullptr);
        else
            setFocusOf(thread, nullptr);
    }
}

} // namespace posix

HWND WINAPI SetFocus(HWND window) {
    DWORD thread = GetCurrentThreadId();
    if (window) {
        DWORD owner = GetWindowThreadProcessId(window, nullptr);
        if (!owner)
            return nullptr;
        if (owner != thread)
            return posix::failing<HWND>(nullptr, ERROR_ACCESS_DENIED);
    }
    HWND old = focusOf(thread);
    if (old == window)
        return old;
    if (old && IsWindow(old)) {
        posix::imeFocusLeaving(old);
        posix::callProcedure(old, WM_KILLFOCUS, WPARAM(window), 0);
    }
    setFocusOf(thread, window);
    if (window) {
        posix::imeFocusArriving(window);
        posix::callProcedure(window, WM_SETFOCUS, WPARAM(old), 0);
    }
    return old;
}

HWND WINAPI GetFocus(void) {
    HWND focus = focusOf(GetCurrentThreadId());
    return IsWindow(focus) ? focus : nullptr;
}
