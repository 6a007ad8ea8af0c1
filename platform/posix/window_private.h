// What the window files share: the classes and windows of the process,
// kept under one lock that is never held while a window procedure runs.
#ifndef TAVO_POSIX_WINDOW_PRIVATE_H
#define TAVO_POSIX_WINDOW_PRIVATE_H

#include "platform/posix/surface.h"

#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace posix {

struct WindowClass {
    std::u16string name;
    std::string narrowName; // the name in the ANSI code page, for the A calls
    ATOM atom = 0;
    bool unicode = false; // registered through the W call
    UINT style = 0;
    WNDPROC procedure = nullptr;
    int classExtra = 0;
    int windowExtra = 0;
    HINSTANCE instance = nullptr;
    HICON icon = nullptr;
    HICON smallIcon = nullptr;
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
    std::vector<BYTE> extra;
    int windows = 0;     // live windows of the class
    bool system = false; // the manager's class, which no one unregisters
};

struct Window {
    HWND handle = nullptr;
    std::shared_ptr<WindowClass> windowClass;
    WNDPROC procedure = nullptr;
    bool unicode = false;
    DWORD style = 0;
    DWORD exStyle = 0;
    HWND owner = nullptr;
    HINSTANCE instance = nullptr;
    LONG_PTR id = 0;
    LONG_PTR userData = 0;
    std::vector<BYTE> extra;
    RECT rect = {}; // the whole window, screen coordinates
    DWORD thread = 0;
    bool destroying = false;
    // The update area, client coordinates; empty when nothing is invalid.
    RECT update = {};
    bool erase = false;
    Surface surface; // the whole window, frame included
};

using WindowPtr = std::shared_ptr<Window>;

struct WindowTable {
    std::unordered_map<HWND, WindowPtr> windows;
    std::vector<HWND> zOrder; // front first
    std::vector<std::shared_ptr<WindowClass>> classes;
    uintptr_t lastHandle = 0;
    ATOM lastAtom = 0xC000;
};

// The lock and the table it guards.
std::mutex &windowLock();
WindowTable &windowTable();

// The window behind a handle (the lock held), or null with
// ERROR_INVALID_WINDOW_HANDLE.
Window *lockedWindow(HWND handle);
// The same, taking the lock itself; the window stays usable after a
// concurrent DestroyWindow, though no longer in the table.
WindowPtr findWindow(HWND handle);

// Runs use(window) with the lock held on the window behind handle; FALSE
// for a dead handle, or for a null argument (an out-parameter the call
// needs) with ERROR_INVALID_PARAMETER.
template <class Use> BOOL useWindow(HWND handle, const void *argument, Use use) {
    if (!argument) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::lock_guard hold(windowLock());
    Window *window = lockedWindow(handle);
    if (!window)
        return FALSE;
    use(*window);
    return TRUE;
}

// What read(window) gives, with the lock held, for the window behind
// handle; fallback for a dead handle.
template <class T, class Read> T readWindow(HWND handle, T fallback, Read read) {
    std::lock_guard hold(windowLock());
    Window *window = lockedWindow(handle);
    return window ? T(read(*window)) : fallback;
}

// Geometry of a window (the lock held): the frame's widths on each side,
// the client area in screen coordinates, and the client origin in the
// window's surface.
RECT frameInsets(DWORD style, DWORD exStyle);
RECT clientOnScreen(const Window &window);
POINT clientOrigin(const Window &window);
LONG widthOf(const RECT &rect);
LONG heightOf(const RECT &rect);
bool containsPoint(const RECT &rect, POINT point);
RECT intersection(const RECT &a, const RECT &b);
bool isEmpty(const RECT &rect);

// Gives the surface the window's size, keeping what overlaps, and draws
// the frame (the lock held).
void fitSurface(Window &window);
// The hit-test code of a screen point in the window, as DefWindowProc's
// WM_NCHITTEST answers it (the lock held).
LRESULT hitTest(const Window &window, POINT screen);

// Makes the whole client area invalid (the lock held).
void invalidateAll(Window &window, bool erase);

// Z order (the lock held): puts a new window at the front of its group,
// takes a window out, and restores the rules that owned windows stay in
// front of their owners and topmost windows in front of the rest.
void insertInZOrder(WindowTable &table, HWND window);
void removeFromZOrder(WindowTable &table, HWND window);
void keepZOrderRules(WindowTable &table);

// Classes (the lock held): the class a window of instance would be made
// from (local to the instance, else global), null when there is none. A
// name of an integer value is an atom. registerClass takes the class's
// name in both forms; unicode says which call registered it.
std::shared_ptr<WindowClass> lockedFindClass(const std::u16string &name, ATOM atom,
                                             HINSTANCE instance);
ATOM registerClass(const WNDCLASSEXW &description, bool unicode, bool system);

// Brings a window, with its owner and the owner's other owned windows
// unless alone is set, to the front of its group (the lock held).
void raiseInZOrder(WindowTable &table, HWND window, bool alone);
// Moves the windows owned by owner, directly or not, to just in front of
// it, keeping their order (the lock held).
void keepOwnedWithOwner(WindowTable &table, HWND owner);
// Activates a top-level window as a click or ShowWindow does: to the front,
// and the focus on it. Windows that are disabled or never activate are
// left alone.
void activateWindow(HWND window);

// Calls a window's procedure without the lock; 0 for a dead handle.
LRESULT callProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The caret that shows on the screen, if any (the lock held): its window
// and its rectangle in that window's client coordinates.
bool lockedVisibleCaret(HWND &window, RECT &rect);

// The windows of one thread's focus and caret when the window goes.
void forgetFocus(HWND window);
void forgetCaret(HWND window);
// Drops what the queues hold for the window.
void forgetMessages(HWND window);
// Wakes the threads waiting in GetMessage to look for work again (a
// window became invalid).
void wakeQueues();

// The input-method manager's side of the window system (imm_window.cpp):
// the thread's default IME window, made with its first window and gone
// with its last; and whether a window belongs to the manager or to the
// module's UI (CS_IME classes and the windows they own).
void ensureDefaultImeWindow();
HWND defaultImeWindow(DWORD thread);
bool belongsToIme(HWND window);
// The focus leaves a window, or comes to one, on this thread: its input
// context is deactivated or activated (imm_activate.cpp).
void imeFocusLeaving(HWND window);
void imeFocusArriving(HWND window);

// Converts between the ANSI code page and UTF-16.
std::u16string wideFromAnsi(const char *text);
std::string ansiFromWide(const std::u16string &text);

} // namespace posix

#endif
