// The table of live windows and classes, the Z order of the windows, and
// the small geometry and text helpers the window files share.
#include "platform/posix/errors.h"
#include "platform/posix/window_private.h"

#include <algorithm>
#include <iterator>

namespace posix {

std::mutex &windowLock() {
    static std::mutex *lock = new std::mutex;
    return *lock;
}

// Never destroyed, so that windows destroyed during static destruction
// still find it.
WindowTable &windowTable() {
    static WindowTable *table = new WindowTable;
    return *table;
}

Window *lockedWindow(HWND handle) {
    WindowTable &table = windowTable();
    auto found = table.windows.find(handle);
    if (found == table.windows.end())
        return failing<Window *>(nullptr, ERROR_INVALID_WINDOW_HANDLE);
    return found->second.get();
}

WindowPtr findWindow(HWND handle) {
    std::lock_guard hold(windowLock());
    WindowTable &table = windowTable();
    auto found = table.windows.find(handle);
    if (found == table.windows.end())
        return failing<WindowPtr>(nullptr, ERROR_INVALID_WINDOW_HANDLE);
    return found->second;
}

LRESULT callProcedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC procedure = nullptr;
    {
        std::lock_guard hold(windowLock());
        if (Window *window = lockedWindow(handle))
            procedure = window->procedure;
    }
    return procedure ? procedure(handle, message, wParam, lParam) : 0;
}

LONG widthOf(const RECT &rect) {
    return rect.right - rect.left;
}

LONG heightOf(const RECT &rect) {
    return rect.bottom - rect.top;
}

bool containsPoint(const RECT &rect, POINT point) {
    return point.x >= rect.left && point.x < rect.right && point.y >= rect.top &&
           point.y < rect.bottom;
}

bool isEmpty(const RECT &rect) {
    return rect.right <= rect.left || rect.bottom <= rect.top;
}

RECT intersection(const RECT &a, const RECT &b) {
    RECT both = {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                 std::min(a.bottom, b.bottom)};
    return isEmpty(both) ? RECT{} : both;
}

// ---- Z order ---------------------------------------------------------------

namespace {

bool isTopmost(const WindowTable &table, HWND handle) {
    // An owned window is as topmost as its owner chain makes it.
    for (int depth = 0; handle && depth < 64; ++depth) {
        auto found = table.windows.find(handle);
        if (found == table.windows.end())
            return false;
        if (found->second->exStyle & WS_EX_TOPMOST)
            return true;
        handle = found->second->owner;
    }
    return false;
}

HWND ownerOf(const WindowTable &table, HWND handle) {
    auto found = table.windows.find(handle);
    return found == table.windows.end() ? nullptr : found->second->owner;
}

} // namespace

void removeFromZOrder(WindowTable &table, HWND window) {
    std::erase(table.zOrder, window);
}

void insertInZOrder(WindowTable &table, HWND window) {
    removeFromZOrder(table, window);
    auto front = table.zOrder.begin();
    if (!isTopmost(table, window))
        while (front != table.zOrder.end() && isTopmost(table, *front))
            ++front;
    table.zOrder.insert(front, window);
    keepZOrderRules(table);
}

void keepZOrderRules(WindowTable &table) {
    std::vector<HWND> &order = table.zOrder;
    std::stable_partition(order.begin(), order.end(),
                          [&table](HWND window) { return isTopmost(table, window); });
    // An owned window behind its owner moves to just in front of it. Each
    // move only brings a window forward, so this ends.
    for (bool moved = true; moved;) {
        moved = false;
        for (size_t at = 0; at < order.size() && !moved; ++at) {
            HWND owner = ownerOf(table, order[at]);
            if (!owner)
                continue;
            auto ownerAt = std::find(order.begin(), order.end(), owner);
            if (ownerAt == order.end() || ownerAt - order.begin() > std::ptrdiff_t(at))
                continue;
            HWND owned = order[at];
            order.erase(order.begin() + std::ptrdiff_t(at));
            order.insert(std::find(order.begin(), order.end(), owner), owned);
            moved = true;
        }
    }
}

void keepOwnedWithOwner(WindowTable &table, HWND owner) {
    auto ownedBy = [&table, owner](HWND candidate) {
        for (int depth = 0; candidate && depth < 64; ++depth) {
            candidate = ownerOf(table, candidate);
            if (candidate == owner)
                return true;
        }
        return false;
    };
    std::vector<HWND> owned;
    std::copy_if(table.zOrder.begin(), table.zOrder.end(), std::back_inserter(owned), ownedBy);
    std::erase_if(table.zOrder, ownedBy);
    table.zOrder.insert(std::find(table.zOrder.begin(), table.zOrder.end(), owner), owned.begin(),
                        owned.end());
    keepZOrderRules(table);
}

void raiseInZOrder(WindowTable &table, HWND window, bool alone) {
    // The group: the window's first owner and everything it owns, in the
    // order they are in now, with the window itself first.
    HWND root = window;
    for (int depth = 0; !alone && ownerOf(table, root) && depth < 64; ++depth)
        root = ownerOf(table, root);
    auto inGroup = [&table, root, alone, window](HWND candidate) {
        if (alone)
            return candidate == window;
        for (int depth = 0; candidate && depth < 64; ++depth, candidate = ownerOf(table, candidate))
            if (candidate == root)
                return true;
        return false;
    };
    std::vector<HWND> group = {window};
    std::vector<HWND> rest;
    for (HWND candidate : table.zOrder)
        if (candidate != window)
            (inGroup(candidate) ? group : rest).push_back(candidate);
    group.insert(group.end(), rest.begin(), rest.end());
    table.zOrder = std::move(group);
    keepZOrderRules(table);
}

// ---- Text ------------------------------------------------------------------

std::u16string wideFromAnsi(const char *text) {
    if (!text)
        return {};
    int units = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    std::u16string wide(units > 0 ? size_t(units) : 1, u'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), int(wide.size()));
    wide.resize(wide.size() - 1);
    return wide;
}

std::string ansiFromWide(const std::u16string &text) {
    int bytes = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string narrow(bytes > 0 ? size_t(bytes) : 1, '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, narrow.data(), int(narrow.size()), nullptr,
                        nullptr);
    narrow.resize(narrow.size() - 1);
    return narrow;
}

} // namespace posix
