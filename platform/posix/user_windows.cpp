// Windows made and destroyed: CreateWindowEx with WM_NCCREATE and
// WM_CREATE, DestroyWindow with its owned windows first, then WM_DESTROY
// and WM_NCDESTROY; the owner and Z-order relations, enabling, and the
// window values and extra bytes of GetWindowLongPtr.
#include "platform/posix/errors.h"
#include "platform/posix/window_private.h"

#include <algorithm>
#include <cstring>

#include <unistd.h>

namespace posix {

namespace {

// Coordinates are 16-bit on the screen, as on Windows.
constexpr LONG kLargestCoordinate = 32767;

LONG clampSize(int size) {
    return std::clamp(LONG(size), LONG(0), kLargestCoordinate);
}

LONG clampPlace(int place) {
    return std::clamp(LONG(place), -kLargestCoordinate - 1, kLargestCoordinate);
}

RECT placeOf(int x, int y, int width, int height) {
    LONG left = clampPlace(x), top = clampPlace(y);
    return {left, top, left + clampSize(width), top + clampSize(height)};
}

// The class named by a CreateWindowEx argument, with its name in both
// forms for CREATESTRUCT.
struct ClassArgument {
    std::u16string wide;
    std::string narrow;
    ATOM atom = 0;
};

ClassArgument classArgument(LPCWSTR name) {
    if (IS_INTRESOURCE(name))
        return {{}, {}, ATOM(reinterpret_cast<ULONG_PTR>(name))};
    return {name, ansiFromWide(name)};
}

ClassArgument classArgument(LPCSTR name) {
    if (IS_INTRESOURCE(name))
        return {{}, {}, ATOM(reinterpret_cast<ULONG_PTR>(name))};
    return {wideFromAnsi(name), name};
}

struct Creation {
    ClassArgument className;
    std::u16string wideTitle;
    std::string narrowTitle;
    DWORD exStyle;
    DWORD style;
    RECT rect;
    HWND owner;
    HMENU menu;
    HINSTANCE instance;
    LPVOID param;
};

// Adds the window to the table; null (with the last error) when its class
// or owner can't be found.
HWND addWindow(Creation &creation) {
    std::lock_guard hold(windowLock());
    WindowTable &table = windowTable();
    auto windowClass =
        lockedFindClass(creation.className.wide, creation.className.atom, creation.instance);
    if (!windowClass)
        return failing<HWND>(nullptr, ERROR_CANNOT_FIND_WND_CLASS);
    if (creation.owner && !lockedWindow(creation.owner))
        return nullptr;
    auto window = std::make_shared<Window>();
    table.lastHandle += 4;
    window->handle = reinterpret_cast<HWND>(0x00010000 + table.lastHandle);
    window->windowClass = windowClass;
    window->procedure = windowClass->procedure;
    window->unicode = windowClass->unicode;
    window->style = creation.style & ~WS_VISIBLE;
    window->exStyle = creation.exStyle;
    window->owner = creation.owner;
    window->instance = creation.instance;
    window->extra.assign(size_t(windowClass->windowExtra), 0);
    window->rect = creation.rect;
    window->thread = GetCurrentThreadId();
    fitSurface(*window);
    ++windowClass->windows;
    table.windows.emplace(window->handle, window);
    insertInZOrder(table, window->handle);
    return window->handle;
}

// Takes a destroyed window out of the table.
void removeWindow(HWND handle) {
    std::lock_guard hold(windowLock());
    WindowTable &table = windowTable();
    auto found = table.windows.find(handle);
    if (found == table.windows.end())
        return;
    --found->second->windowClass->windows;
    table.windows.erase(found);
    removeFromZOrder(table, handle);
}

template <class CreateStruct, class Char>
CreateStruct createStruct(const Creation &creation, const Char *title, const Char *className) {
    CreateStruct create = {};
    create.lpCreateParams = creation.param;
    create.hInstance = creation.instance;
    create.hMenu = creation.menu;
    create.hwndParent = creation.owner;
    create.cy = heightOf(creation.rect);
    create.cx = widthOf(creation.rect);
    create.y = creation.rect.top;
    create.x = creation.rect.left;
    create.style = LONG(creation.style);
    create.lpszName = title;
    create.lpszClass = creation.className.atom
                           ? reinterpret_cast<const Char *>(ULONG_PTR(creation.className.atom))
                           : className;
    create.dwExStyle = creation.exStyle;
    return create;
}

// WM_NCCREATE then WM_CREATE, each with the CREATESTRUCT of the window's
// flavour; false when the window refuses.
bool announceCreation(HWND handle, const Creation &creation) {
    UINT messages[] = {WM_NCCREATE, WM_CREATE};
    for (UINT message : messages) {
        LRESULT answer;
        if (IsWindowUnicode(handle)) {
            CREATESTRUCTW create = createStruct<CREATESTRUCTW>(creation, creation.wideTitle.c_str(),
                                                               creation.className.wide.c_str());
            answer = callProcedure(handle, message, 0, LPARAM(&create));
        } else {
            CREATESTRUCTA create = createStruct<CREATESTRUCTA>(
                creation, creation.narrowTitle.c_str(), creation.className.narrow.c_str());
            answer = callProcedure(handle, message, 0, LPARAM(&create));
        }
        if (message == WM_NCCREATE ? answer == FALSE : answer == -1)
            return false;
    }
    return true;
}

HWND createWindow(Creation &creation) {
    if (creation.style & WS_CHILD)
        return failing<HWND>(nullptr, ERROR_NOT_SUPPORTED);
    if (!(creation.style & WS_POPUP))
        creation.style |= WS_CLIPSIBLINGS | WS_CAPTION; // overlapped: always a caption
    HWND handle = addWindow(creation);
    if (!handle)
        return nullptr;
    if (!belongsToIme(handle))
        ensureDefaultImeWindow();
    if (!announceCreation(handle, creation)) {
        DestroyWindow(handle);
        return failing<HWND>(nullptr, ERROR_INVALID_PARAMETER);
    }
    if (creation.style & WS_VISIBLE)
        ShowWindow(handle, SW_SHOW);
    return IsWindow(handle) ? handle : nullptr;
}

// The windows of the table owned by owner.
std::vector<HWND> ownedBy(HWND owner) {
    std::lock_guard hold(windowLock());
    std::vector<HWND> owned;
    for (HWND handle : windowTable().zOrder)
        if (windowTable().windows.at(handle)->owner == owner)
            owned.push_back(handle);
    return owned;
}

// Whether the thread still has a window of its own (one that doesn't
// belong to the input-method manager or module).
bool threadKeepsWindows(DWORD thread) {
    std::vector<HWND> others;
    {
        std::lock_guard hold(windowLock());
        for (const auto &[handle, window] : windowTable().windows)
            if (window->thread == thread && !window->destroying)
                others.push_back(handle);
    }
    return std::any_of(others.begin(), others.end(),
                       [](HWND handle) { return !belongsToIme(handle); });
}

void setOwner(HWND handle, HWND owner) {
    std::lock_guard hold(windowLock());
    if (Window *window = lockedWindow(handle)) {
        window->owner = owner;
        keepZOrderRules(windowTable());
    }
}

// The window values that GetWindowLongPtr reads at a negative index.
LONG_PTR *windowValue(Window &window, int index) {
    switch (index) {
    case GWLP_HINSTANCE:
        return reinterpret_cast<LONG_PTR *>(&window.instance);
    case GWLP_ID:
        return &window.id;
    case GWLP_USERDATA:
        return &window.userData;
    default:
        return nullptr;
    }
}

// Reads (or, with write, also replaces) a window value of size bytes;
// false for an index the window has nothing at.
bool accessValue(Window &window, int index, size_t size, LONG_PTR &value, bool write) {
    LONG_PTR old;
    if (index >= 0) {
        if (size_t(index) + size > window.extra.size())
            return failWith(ERROR_INVALID_INDEX);
        old = 0;
        std::memcpy(&old, window.extra.data() + index, size);
        if (write)
            std::memcpy(window.extra.data() + index, &value, size);
    } else if (index == GWL_STYLE || index == GWL_EXSTYLE) {
        DWORD &style = index == GWL_STYLE ? window.style : window.exStyle;
        old = LONG_PTR(style);
        if (write)
            style = DWORD(value);
    } else if (index == GWLP_WNDPROC && size == sizeof(LONG_PTR)) {
        old = reinterpret_cast<LONG_PTR>(window.procedure);
        if (write)
            window.procedure = reinterpret_cast<WNDPROC>(value);
    } else if (LONG_PTR *field = windowValue(window, index)) {
        old = *field;
        if (write)
            *field = value;
    } else {
        return failWith(ERROR_INVALID_INDEX);
    }
    value = size == sizeof(LONG) ? LONG_PTR(LONG(old)) : old;
    return true;
}

// Whether making owner the owner of handle would make a ring.
bool ownsRing(HWND handle, HWND owner) {
    for (int depth = 0; owner && depth < 64; ++depth) {
        if (owner == handle)
            return true;
        Window *window = lockedWindow(owner);
        owner = window ? window->owner : nullptr;
    }
    return false;
}

LONG_PTR windowLong(HWND handle, int index, size_t size, LONG_PTR value, bool write) {
    std::lock_guard hold(windowLock());
    Window *window = lockedWindow(handle);
    if (!window)
        return 0;
    if (index == GWLP_HWNDPARENT) {
        HWND old = window->owner;
        HWND owner = reinterpret_cast<HWND>(value);
        if (write) {
            if (owner && (!lockedWindow(owner) || ownsRing(handle, owner)))
                return failing<LONG_PTR>(0, ERROR_INVALID_PARAMETER);
            window->owner = owner;
            keepZOrderRules(windowTable());
        }
        return reinterpret_cast<LONG_PTR>(old);
    }
    if (!accessValue(*window, index, size, value, write))
        return 0;
    return value;
}

} // namespace

} // namespace posix

HWND WINAPI CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR title, DWORD style, int x,
                            int y, int width, int height, HWND owner, HMENU menu,
                            HINSTANCE instance, LPVOID param) {
    if (!className)
        return posix::failing<HWND>(nullptr, ERROR_INVALID_PARAMETER);
    std::u16string wideTitle = title ? std::u16string(title) : std::u16string();
    posix::Creation creation = {posix::classArgument(className),
                                wideTitle,
                                posix::ansiFromWide(wideTitle),
                                exStyle,
                                style,
                                posix::placeOf(x, y, width, height),
                                owner,
                                menu,
                                instance,
                                param};
    return posix::createWindow(creation);
}

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, int x,
                            int y, int width, int height, HWND owner, HMENU menu,
                            HINSTANCE instance, LPVOID param) {
    if (!className)
        return posix::failing<HWND>(nullptr, ERROR_INVALID_PARAMETER);
    std::string narrowTitle = title ? std::string(title) : std::string();
    posix::Creation creation = {posix::classArgument(className),
                                posix::wideFromAnsi(narrowTitle.c_str()),
                                narrowTitle,
                                exStyle,
                                style,
                                posix::placeOf(x, y, width, height),
                                owner,
                                menu,
                                instance,
                                param};
    return posix::createWindow(creation);
}

BOOL WINAPI DestroyWindow(HWND handle) {
    DWORD thread;
    {
        std::lock_guard hold(posix::windowLock());
        posix::Window *window = posix::lockedWindow(handle);
        if (!window)
            return FALSE;
        if (window->thread != GetCurrentThreadId())
            return posix::failWith(ERROR_ACCESS_DENIED);
        if (window->destroying)
            return FALSE;
        window->destroying = true;
        window->style &= ~WS_VISIBLE;
        thread = window->thread;
    }
    bool ownWindow = !posix::belongsToIme(handle);
    posix::forgetFocus(handle);
    // Owned windows go first; the manager's window of the thread is given
    // up by its owner instead, and goes only with the thread's last window.
    HWND imeWindow = posix::defaultImeWindow(thread);
    for (HWND owned : posix::ownedBy(handle))
        if (owned == imeWindow || !DestroyWindow(owned))
            posix::setOwner(owned, nullptr);
    posix::callProcedure(handle, WM_DESTROY, 0, 0);
    posix::forgetCaret(handle);
    posix::callProcedure(handle, WM_NCDESTROY, 0, 0);
    posix::removeWindow(handle);
    posix::forgetMessages(handle);
    if (ownWindow && imeWindow && !posix::threadKeepsWindows(thread))
        DestroyWindow(imeWindow);
    return TRUE;
}

BOOL WINAPI IsWindow(HWND handle) {
    std::lock_guard hold(posix::windowLock());
    return posix::lockedWindow(handle) != nullptr;
}

BOOL WINAPI IsWindowUnicode(HWND handle) {
    return posix::readWindow(handle, FALSE,
                             [](const posix::Window &window) { return window.unicode; });
}

HWND WINAPI GetWindow(HWND handle, UINT relation) {
    std::lock_guard hold(posix::windowLock());
    posix::Window *window = posix::lockedWindow(handle);
    if (!window)
        return nullptr;
    const std::vector<HWND> &order = posix::windowTable().zOrder;
    auto at = std::find(order.begin(), order.end(), handle);
    switch (relation) {
    case GW_OWNER:
        return window->owner;
    case GW_HWNDFIRST:
        return order.front();
    case GW_HWNDLAST:
        return order.back();
    case GW_HWNDNEXT:
        return at + 1 < order.end() ? *(at + 1) : nullptr;
    case GW_HWNDPREV:
        return at > order.begin() ? *(at - 1) : nullptr;
    default:
        return posix::failing<HWND>(nullptr, ERROR_INVALID_PARAMETER);
    }
}

BOOL WINAPI EnableWindow(HWND handle, BOOL enable) {
    bool wasDisabled;
    {
        std::lock_guard hold(posix::windowLock());
        posix::Window *window = posix::lockedWindow(handle);
        if (!window)
            return FALSE;
        wasDisabled = (window->style & WS_DISABLED) != 0;
        if (wasDisabled == !enable)
            return wasDisabled;
        window->style ^= WS_DISABLED;
    }
    if (!enable)
        posix::forgetFocus(handle);
    posix::callProcedure(handle, WM_ENABLE, enable ? TRUE : FALSE, 0);
    return wasDisabled;
}

BOOL WINAPI IsWindowEnabled(HWND handle) {
    return posix::readWindow(
        handle, FALSE, [](const posix::Window &window) { return !(window.style & WS_DISABLED); });
}

DWORD WINAPI GetWindowThreadProcessId(HWND handle, LPDWORD process) {
    DWORD thread = posix::readWindow(handle, DWORD(0),
                                     [](const posix::Window &window) { return window.thread; });
    if (thread && process)
        *process = DWORD(getpid());
    return thread;
}

LONG WINAPI GetWindowLongW(HWND window, int index) {
    return LONG(posix::windowLong(window, index, sizeof(LONG), 0, false));
}

LONG WINAPI GetWindowLongA(HWND window, int index) {
    return GetWindowLongW(window, index);
}

LONG WINAPI SetWindowLongW(HWND window, int index, LONG value) {
    return LONG(posix::windowLong(window, index, sizeof(LONG), value, true));
}

LONG WINAPI SetWindowLongA(HWND window, int index, LONG value) {
    return SetWindowLongW(window, index, value);
}

LONG_PTR WINAPI GetWindowLongPtrW(HWND window, int index) {
    return posix::windowLong(window, index, sizeof(LONG_PTR), 0, false);
}

LONG_PTR WINAPI GetWindowLongPtrA(HWND window, int index) {
    return GetWindowLongPtrW(window, index);
}

LONG_PTR WINAPI SetWindowLongPtrW(HWND window, int index, LONG_PTR value) {
    return posix::windowLong(window, index, sizeof(LONG_PTR), value, true);
}

LONG_PTR WINAPI SetWindowLongPtrA(HWND window, int index, LONG_PTR value) {
    return SetWindowLongPtrW(window, index, value);
}
