// The caret: one per thread, owned by a window of that thread, placed in
// its client coordinates, hidden when made and shown once ShowCaret has
// matched every HideCaret. It goes with its window.
#include "platform/posix/errors.h"
#include "platform/posix/window_private.h"

namespace {

struct Caret {
    HWND window = nullptr;
    POINT position = {};
    SIZE_T width = 0;
    SIZE_T height = 0;
    int hidden = 1; // HideCaret calls not yet matched by ShowCaret
};

// Kept under the window lock, so that pictures of the screen see a whole
// caret.
std::unordered_map<DWORD, Caret> &carets() {
    static auto *instance = new std::unordered_map<DWORD, Caret>;
    return *instance;
}

Caret *threadCaret() {
    auto found = carets().find(GetCurrentThreadId());
    return found == carets().end() ? nullptr : &found->second;
}

// The thread's caret when window is null or owns it.
Caret *caretOf(HWND window) {
    Caret *caret = threadCaret();
    if (!caret)
        return nullptr;
    return !window || caret->window == window ? caret : nullptr;
}

} // namespace

namespace posix {

bool lockedVisibleCaret(HWND &window, RECT &rect) {
    for (const auto &[thread, caret] : carets())
        if (caret.hidden == 0) {
            window = caret.window;
            rect = {caret.position.x, caret.position.y, caret.position.x + LONG(caret.width),
                    caret.position.y + LONG(caret.height)};
            return true;
        }
    return false;
}

void forgetCaret(HWND window) {
    std::lock_guard hold(windowLock());
    std::erase_if(carets(), [window](const auto &entry) { return entry.second.window == window; });
}

} // namespace posix

BOOL WINAPI CreateCaret(HWND window, HBITMAP, int width, int height) {
    std::lock_guard hold(posix::windowLock());
    posix::Window *owner = posix::lockedWindow(window);
    if (!owner)
        return FALSE;
    if (owner->thread != GetCurrentThreadId())
        return posix::failWith(ERROR_ACCESS_DENIED);
    Caret caret;
    caret.window = window;
    caret.width = SIZE_T(width > 0 ? width : GetSystemMetrics(SM_CXBORDER));
    caret.height = SIZE_T(height > 0 ? height : GetSystemMetrics(SM_CYBORDER));
    carets()[GetCurrentThreadId()] = caret;
    return TRUE;
}

BOOL WINAPI DestroyCaret(void) {
    std::lock_guard hold(posix::windowLock());
    return carets().erase(GetCurrentThreadId()) ? TRUE : posix::failWith(ERROR_ACCESS_DENIED);
}

BOOL WINAPI SetCaretPos(int x, int y) {
    std::lock_guard hold(posix::windowLock());
    Caret *caret = threadCaret();
    if (!caret)
        return posix::failWith(ERROR_ACCESS_DENIED);
    caret->position = {x, y};
    return TRUE;
}

BOOL WINAPI GetCaretPos(LPPOINT point) {
    if (!point)
        return posix::failWith(ERROR_INVALID_PARAMETER);
    std::lock_guard hold(posix::windowLock());
    Caret *caret = threadCaret();
    *point = caret ? caret->position : POINT{0, 0};
    return TRUE;
}

BOOL WINAPI ShowCaret(HWND window) {
    std::lock_guard hold(posix::windowLock());
    Caret *caret = caretOf(window);
    if (!caret)
        return posix::failWith(ERROR_ACCESS_DENIED);
    if (caret->hidden > 0)
        --caret->hidden;
    return TRUE;
}

BOOL WINAPI HideCaret(HWND window) {
    std::lock_guard hold(posix::windowLock());
    Caret *caret = caretOf(window);
    if (!caret)
        return posix::failWith(ERROR_ACCESS_DENIED);
    ++caret->hidden;
    return TRUE;
}
