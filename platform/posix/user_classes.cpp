// Window classes: registered for a module instance or for the process,
// read back, unregistered once no window of theirs is left, and their
// values and extra bytes read and changed through a window.
#include "platform/posix/errors.h"
#include "platform/posix/window_private.h"

#include <algorithm>
#include <cstring>

namespace posix {

namespace {

// Longest class and window extra areas Windows accepts.
constexpr int kMostExtraBytes = 40000;

char16_t foldAscii(char16_t c) {
    return c >= u'A' && c <= u'Z' ? char16_t(c - u'A' + u'a') : c;
}

bool sameName(const std::u16string &a, const std::u16string &b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](char16_t x, char16_t y) { return foldAscii(x) == foldAscii(y); });
}

bool isGlobal(const WindowClass &windowClass) {
    return (windowClass.style & CS_GLOBALCLASS) != 0;
}

// A class of one name has one atom, also after it is unregistered and
// registered again.
ATOM atomFor(WindowTable &table, const std::u16string &name) {
    static std::vector<std::pair<std::u16string, ATOM>> *atoms =
        new std::vector<std::pair<std::u16string, ATOM>>;
    for (const auto &[known, atom] : *atoms)
        if (sameName(known, name))
            return atom;
    atoms->emplace_back(name, ++table.lastAtom);
    return table.lastAtom;
}

bool matches(const WindowClass &windowClass, const std::u16string &name, ATOM atom) {
    return atom ? windowClass.atom == atom : sameName(windowClass.name, name);
}

HINSTANCE programOr(HINSTANCE instance) {
    return instance ? instance : GetModuleHandleA(nullptr);
}

// The class name argument of the A and W calls: a string or an atom.
struct ClassName {
    std::u16string text;
    ATOM atom = 0;
};

ClassName classNameOf(LPCWSTR name) {
    if (IS_INTRESOURCE(name))
        return {{}, ATOM(reinterpret_cast<ULONG_PTR>(name))};
    return {name};
}

ClassName classNameOf(LPCSTR name) {
    if (IS_INTRESOURCE(name))
        return {{}, ATOM(reinterpret_cast<ULONG_PTR>(name))};
    return {wideFromAnsi(name)};
}

WNDCLASSEXW wideDescription(const WNDCLASSEXA &narrow, const std::u16string &name) {
    WNDCLASSEXW wide = {};
    wide.cbSize = sizeof wide;
    wide.style = narrow.style;
    wide.lpfnWndProc = narrow.lpfnWndProc;
    wide.cbClsExtra = narrow.cbClsExtra;
    wide.cbWndExtra = narrow.cbWndExtra;
    wide.hInstance = narrow.hInstance;
    wide.hIcon = narrow.hIcon;
    wide.hCursor = narrow.hCursor;
    wide.hbrBackground = narrow.hbrBackground;
    wide.lpszClassName = name.c_str();
    wide.hIconSm = narrow.hIconSm;
    return wide;
}

template <class Description, class Char>
void describe(const WindowClass &windowClass, const Char *name, Description &description) {
    description.cbSize = sizeof description;
    description.style = windowClass.style;
    description.lpfnWndProc = windowClass.procedure;
    description.cbClsExtra = windowClass.classExtra;
    description.cbWndExtra = windowClass.windowExtra;
    description.hInstance = windowClass.instance;
    description.hIcon = windowClass.icon;
    description.hCursor = windowClass.cursor;
    description.hbrBackground = windowClass.background;
    description.lpszMenuName = nullptr;
    description.lpszClassName = name;
    description.hIconSm = windowClass.smallIcon;
}

std::shared_ptr<WindowClass> lockedClassOf(HWND handle) {
    Window *window = lockedWindow(handle);
    return window ? window->windowClass : nullptr;
}

// The class value at index; found is false for an index the class has
// no value at.
ULONG_PTR readClassValue(const WindowClass &windowClass, int index, bool &found) {
    found = true;
    switch (index) {
    case GCLP_MENUNAME:
        return 0;
    case GCLP_HBRBACKGROUND:
        return ULONG_PTR(windowClass.background);
    case GCLP_HCURSOR:
        return ULONG_PTR(windowClass.cursor);
    case GCLP_HICON:
        return ULONG_PTR(windowClass.icon);
    case GCLP_HICONSM:
        return ULONG_PTR(windowClass.smallIcon);
    case GCLP_HMODULE:
        return ULONG_PTR(windowClass.instance);
    case GCL_CBWNDEXTRA:
        return ULONG_PTR(windowClass.windowExtra);
    case GCL_CBCLSEXTRA:
        return ULONG_PTR(windowClass.classExtra);
    case GCLP_WNDPROC:
        return ULONG_PTR(windowClass.procedure);
    case GCL_STYLE:
        return windowClass.style;
    case GCW_ATOM:
        return windowClass.atom;
    default:
        break;
    }
    if (index >= 0 && size_t(index) + sizeof(ULONG_PTR) <= windowClass.extra.size()) {
        ULONG_PTR value;
        std::memcpy(&value, windowClass.extra.data() + index, sizeof value);
        return value;
    }
    found = false;
    return 0;
}

// Changes the class value at index and returns the old one; false in
// found for an index that can't be set.
ULONG_PTR writeClassValue(WindowClass &windowClass, int index, LONG_PTR value, bool &found) {
    ULONG_PTR old = readClassValue(windowClass, index, found);
    if (!found)
        return 0;
    switch (index) {
    case GCLP_HBRBACKGROUND:
        windowClass.background = reinterpret_cast<HBRUSH>(value);
        break;
    case GCLP_HCURSOR:
        windowClass.cursor = reinterpret_cast<HCURSOR>(value);
        break;
    case GCLP_HICON:
        windowClass.icon = reinterpret_cast<HICON>(value);
        break;
    case GCLP_HICONSM:
        windowClass.smallIcon = reinterpret_cast<HICON>(value);
        break;
    case GCLP_WNDPROC:
        windowClass.procedure = reinterpret_cast<WNDPROC>(value);
        break;
    case GCL_STYLE:
        windowClass.style = UINT(value);
        break;
    default:
        if (index < 0) {
            found = false;
            return 0;
        }
        std::memcpy(windowClass.extra.data() + index, &value, sizeof value);
        break;
    }
    return old;
}

BOOL unregister(const ClassName &name, HINSTANCE instance) {
    std::lock_guard hold(windowLock());
    WindowTable &table = windowTable();
    instance = programOr(instance);
    auto found = std::find_if(table.classes.begin(), table.classes.end(), [&](const auto &c) {
        return matches(*c, name.text, name.atom) && c->instance == instance && !c->system;
    });
    if (found == table.classes.end())
        return failWith(ERROR_CLASS_DOES_NOT_EXIST);
    if ((*found)->windows > 0)
        return failWith(ERROR_CLASS_HAS_WINDOWS);
    table.classes.erase(found);
    return TRUE;
}

} // namespace

std::shared_ptr<WindowClass> lockedFindClass(const std::u16string &name, ATOM atom,
                                             HINSTANCE instance) {
    const auto &classes = windowTable().classes;
    instance = programOr(instance);
    for (const auto &windowClass : classes)
        if (!isGlobal(*windowClass) && windowClass->instance == instance &&
            matches(*windowClass, name, atom))
            return windowClass;
    for (const auto &windowClass : classes)
        if (isGlobal(*windowClass) && matches(*windowClass, name, atom))
            return windowClass;
    return failing<std::shared_ptr<WindowClass>>(nullptr, ERROR_CLASS_DOES_NOT_EXIST);
}

ATOM registerClass(const WNDCLASSEXW &description, bool unicode, bool system) {
    if (!description.lpfnWndProc || !description.lpszClassName ||
        IS_INTRESOURCE(description.lpszClassName) || description.cbClsExtra < 0 ||
        description.cbWndExtra < 0 || description.cbClsExtra > kMostExtraBytes ||
        description.cbWndExtra > kMostExtraBytes)
        return failing<ATOM>(0, ERROR_INVALID_PARAMETER);
    auto windowClass = std::make_shared<WindowClass>();
    windowClass->name = description.lpszClassName;
    windowClass->narrowName = ansiFromWide(windowClass->name);
    windowClass->unicode = unicode;
    windowClass->system = system;
    windowClass->style = description.style | (system ? CS_GLOBALCLASS : 0);
    windowClass->procedure = description.lpfnWndProc;
    windowClass->classExtra = description.cbClsExtra;
    windowClass->windowExtra = description.cbWndExtra;
    windowClass->instance = system ? nullptr : programOr(description.hInstance);
    windowClass->icon = description.hIcon;
    windowClass->smallIcon = description.hIconSm;
    windowClass->cursor = description.hCursor;
    windowClass->background = description.hbrBackground;
    windowClass->extra.assign(size_t(description.cbClsExtra), 0);

    std::lock_guard hold(windowLock());
    WindowTable &table = windowTable();
    for (const auto &other : table.classes)
        if (sameName(other->name, windowClass->name) &&
            ((other->instance == windowClass->instance && !other->system) || isGlobal(*other) ||
             isGlobal(*windowClass)))
            return failing<ATOM>(0, ERROR_CLASS_ALREADY_EXISTS);
    windowClass->atom = atomFor(table, windowClass->name);
    table.classes.push_back(windowClass);
    return windowClass->atom;
}

} // namespace posix

ATOM WINAPI RegisterClassExW(const WNDCLASSEXW *description) {
    if (!description || description->cbSize != sizeof *description)
        return posix::failing<ATOM>(0, ERROR_INVALID_PARAMETER);
    return posix::registerClass(*description, true, false);
}

ATOM WINAPI RegisterClassExA(const WNDCLASSEXA *description) {
    if (!description || description->cbSize != sizeof *description || !description->lpszClassName ||
        IS_INTRESOURCE(description->lpszClassName))
        return posix::failing<ATOM>(0, ERROR_INVALID_PARAMETER);
    std::u16string name = posix::wideFromAnsi(description->lpszClassName);
    return posix::registerClass(posix::wideDescription(*description, name), false, false);
}

BOOL WINAPI GetClassInfoExW(HINSTANCE instance, LPCWSTR name, LPWNDCLASSEXW description) {
    if (!name || !description)
        return posix::failWith(ERROR_INVALID_PARAMETER);
    posix::ClassName wanted = posix::classNameOf(name);
    std::lock_guard hold(posix::windowLock());
    auto found = posix::lockedFindClass(wanted.text, wanted.atom, instance);
    if (!found)
        return FALSE;
    posix::describe(*found, found->name.c_str(), *description);
    return found->atom;
}

BOOL WINAPI GetClassInfoExA(HINSTANCE instance, LPCSTR name, LPWNDCLASSEXA description) {
    if (!name || !description)
        return posix::failWith(ERROR_INVALID_PARAMETER);
    posix::ClassName wanted = posix::classNameOf(name);
    std::lock_guard hold(posix::windowLock());
    auto found = posix::lockedFindClass(wanted.text, wanted.atom, instance);
    if (!found)
        return FALSE;
    posix::describe(*found, found->narrowName.c_str(), *description);
    return found->atom;
}

BOOL WINAPI UnregisterClassW(LPCWSTR name, HINSTANCE instance) {
    if (!name)
        return posix::failWith(ERROR_INVALID_PARAMETER);
    return posix::unregister(posix::classNameOf(name), instance);
}

BOOL WINAPI UnregisterClassA(LPCSTR name, HINSTANCE instance) {
    if (!name)
        return posix::failWith(ERROR_INVALID_PARAMETER);
    return posix::unregister(posix::classNameOf(name), instance);
}

ULONG_PTR WINAPI GetClassLongPtrW(HWND window, int index) {
    std::lock_guard hold(posix::windowLock());
    auto windowClass = posix::lockedClassOf(window);
    if (!windowClass)
        return 0;
    bool found = false;
    ULONG_PTR value = posix::readClassValue(*windowClass, index, found);
    return found ? value : posix::failing<ULONG_PTR>(0, ERROR_INVALID_INDEX);
}

ULONG_PTR WINAPI GetClassLongPtrA(HWND window, int index) {
    return GetClassLongPtrW(window, index);
}

ULONG_PTR WINAPI SetClassLongPtrW(HWND window, int index, LONG_PTR value) {
    std::lock_guard hold(posix::windowLock());
    auto windowClass = posix::lockedClassOf(window);
    if (!windowClass)
        return 0;
    bool found = false;
    ULONG_PTR old = posix::writeClassValue(*windowClass, index, value, found);
    return found ? old : posix::failing<ULONG_PTR>(0, ERROR_INVALID_INDEX);
}

ULONG_PTR WINAPI SetClassLongPtrA(HWND window, int index, LONG_PTR value) {
    return SetClassLongPtrW(window, index, value);
}

int WINAPI GetClassNameW(HWND window, LPWSTR name, int size) {
    std::lock_guard hold(posix::windowLock());
    auto windowClass = posix::lockedClassOf(window);
    if (!windowClass || !name || size <= 0)
        return 0;
    size_t count = std::min(windowClass->name.size(), size_t(size - 1));
    windowClass->name.copy(name, count);
    name[count] = 0;
    return int(count);
}

int WINAPI GetClassNameA(HWND window, LPSTR name, int size) {
    std::lock_guard hold(posix::windowLock());
    auto windowClass = posix::lockedClassOf(window);
    if (!windowClass || !name || size <= 0)
        return 0;
    size_t count = std::min(windowClass->narrowName.size(), size_t(size - 1));
    windowClass->narrowName.copy(name, count);
    name[count] = 0;
    return int(count);
}
