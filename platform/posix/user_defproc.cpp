// DefWindowProc: Windows' default handling of the messages the system's
// windows receive. The input-method messages of an application's window go
// on to the thread's default IME window, which routes them to the input
// method's UI window; the manager's and the UI's own windows keep theirs.
#include "platform/posix/window_private.h"

namespace {

LRESULT passToIme(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (posix::belongsToIme(window))
        return 0;
    HWND ime = posix::defaultImeWindow(GetWindowThreadProcessId(window, nullptr));
    return ime ? SendMessageW(ime, message, wParam, lParam) : 0;
}

// The character of a WM_IME_CHAR as WM_CHAR messages: one for a UTF-16
// unit, or the lead and trail bytes of a double-byte character one after
// the other.
void postCharacters(HWND window, WPARAM character, LPARAM keyData) {
    if (!IsWindowUnicode(window) && (character & 0xFF00))
        PostMessageA(window, WM_CHAR, (character >> 8) & 0xFF, keyData);
    PostMessageW(window, WM_CHAR, IsWindowUnicode(window) ? character : character & 0xFF, keyData);
}

LRESULT classCursor(HWND window, LPARAM lParam) {
    if (LOWORD(lParam) != HTCLIENT)
        return FALSE;
    auto cursor = reinterpret_cast<HCURSOR>(GetClassLongPtrW(window, GCLP_HCURSOR));
    if (!cursor)
        return FALSE;
    SetCursor(cursor);
    return TRUE;
}

LRESULT hitTestAt(HWND handle, LPARAM lParam) {
    std::lock_guard hold(posix::windowLock());
    posix::Window *window = posix::lockedWindow(handle);
    if (!window)
        return HTNOWHERE;
    return posix::hitTest(*window, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
}

LRESULT defaultProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCREATE:
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        if (BeginPaint(window, &paint))
            EndPaint(window, &paint);
        return 0;
    }
    case WM_SETCURSOR:
        return classCursor(window, lParam);
    case WM_MOUSEACTIVATE:
        return MA_ACTIVATE;
    case WM_NCHITTEST:
        return hitTestAt(window, lParam);
    case WM_IME_STARTCOMPOSITION:
    case WM_IME_ENDCOMPOSITION:
    case WM_IME_COMPOSITION:
    case WM_IME_SETCONTEXT:
    case WM_IME_NOTIFY:
    case WM_IME_CONTROL:
    case WM_IME_COMPOSITIONFULL:
    case WM_IME_SELECT:
        return passToIme(window, message, wParam, lParam);
    case WM_IME_CHAR:
        postCharacters(window, wParam, lParam);
        return 0;
    default:
        return 0;
    }
}

} // namespace

LRESULT WINAPI DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return defaultProcedure(window, message, wParam, lParam);
}

LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return defaultProcedure(window, message, wParam, lParam);
}
