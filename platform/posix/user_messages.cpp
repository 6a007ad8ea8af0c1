// Messages: sent ones call the window procedure at once; posted ones wait
// in the queue of the window's thread. PeekMessage and GetMessage take
// the posted messages first, then WM_QUIT, then a WM_PAINT for a visible
// window of the thread whose update area is not empty, as Windows orders
// them.
#include "platform/posix/errors.h"
#include "platform/posix/window_private.h"

#include <condition_variable>
#include <deque>
#include <unordered_map>

namespace {

struct Queue {
    std::deque<MSG> posted;
    bool quit = false;
    int exitCode = 0;
};

struct Queues {
    std::mutex lock;
    std::condition_variable changed;
    std::unordered_map<DWORD, Queue> byThread;
};

Queues &queues() {
    static Queues *instance = new Queues;
    return *instance;
}

const HWND kThreadMessagesOnly = reinterpret_cast<HWND>(-1);

bool wanted(const MSG &message, HWND window, UINT first, UINT last) {
    if (window == kThreadMessagesOnly ? message.hwnd != nullptr : window && message.hwnd != window)
        return false;
    return (first == 0 && last == 0) || (message.message >= first && message.message <= last);
}

MSG stamped(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG stamp = {window, message, wParam, lParam, GetTickCount(), {}};
    GetCursorPos(&stamp.pt);
    return stamp;
}

// A WM_PAINT for a visible, invalid window of this thread that the filter
// lets through.
bool paintMessage(MSG &message, HWND window, UINT first, UINT last) {
    DWORD thread = GetCurrentThreadId();
    std::lock_guard hold(posix::windowLock());
    for (HWND handle : posix::windowTable().zOrder) {
        const posix::Window &candidate = *posix::windowTable().windows.at(handle);
        MSG paint = {handle, WM_PAINT, 0, 0, GetTickCount(), {}};
        if (candidate.thread == thread && (candidate.style & WS_VISIBLE) &&
            !posix::isEmpty(candidate.update) && wanted(paint, window, first, last)) {
            message = paint;
            return true;
        }
    }
    return false;
}

// The next message for the filter, taken out with remove; false when there
// is none.
bool nextMessage(MSG &message, HWND window, UINT first, UINT last, bool remove) {
    {
        Queues &all = queues();
        std::lock_guard hold(all.lock);
        Queue &queue = all.byThread[GetCurrentThreadId()];
        for (auto at = queue.posted.begin(); at != queue.posted.end(); ++at) {
            if (!wanted(*at, window, first, last))
                continue;
            message = *at;
            if (remove)
                queue.posted.erase(at);
            return true;
        }
        if (queue.quit) {
            message = stamped(nullptr, WM_QUIT, WPARAM(queue.exitCode), 0);
            if (remove)
                queue.quit = false;
            return true;
        }
    }
    return paintMessage(message, window, first, last);
}

bool isFilter(HWND window) {
    return !window || window == kThreadMessagesOnly || IsWindow(window);
}

BOOL post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD thread = window ? GetWindowThreadProcessId(window, nullptr) : GetCurrentThreadId();
    if (!thread)
        return FALSE;
    MSG posted = stamped(window, message, wParam, lParam);
    Queues &all = queues();
    {
        std::lock_guard hold(all.lock);
        all.byThread[thread].posted.push_back(posted);
    }
    all.changed.notify_all();
    return TRUE;
}

BOOL peek(LPMSG message, HWND window, UINT first, UINT last, UINT remove) {
    if (!message || !isFilter(window))
        return posix::failWith(ERROR_INVALID_PARAMETER);
    return nextMessage(*message, window, first, last, (remove & PM_REMOVE) != 0);
}

BOOL get(LPMSG message, HWND window, UINT first, UINT last) {
    if (!message || !isFilter(window)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    while (!nextMessage(*message, window, first, last, true)) {
        Queues &all = queues();
        std::unique_lock hold(all.lock);
        Queue &queue = all.byThread[GetCurrentThreadId()];
        size_t seen = queue.posted.size();
        // Woken by a post or by a window becoming invalid; the timeout
        // covers a wake that came between the look and the wait.
        all.changed.wait_for(hold, std::chrono::milliseconds(50),
                             [&queue, seen] { return queue.posted.size() != seen || queue.quit; });
    }
    return message->message != WM_QUIT;
}

LRESULT send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!IsWindow(window))
        return 0;
    return posix::callProcedure(window, message, wParam, lParam);
}

} // namespace

namespace posix {

void forgetMessages(HWND window) {
    Queues &all = queues();
    std::lock_guard hold(all.lock);
    for (auto &[thread, queue] : all.byThread)
        std::erase_if(queue.posted,
                      [window](const MSG &message) { return message.hwnd == window; });
}

void wakeQueues() {
    queues().changed.notify_all();
}

} // namespace posix

LRESULT WINAPI SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return send(window, message, wParam, lParam);
}

LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return send(window, message, wParam, lParam);
}

BOOL WINAPI PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return post(window, message, wParam, lParam);
}

BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return post(window, message, wParam, lParam);
}

void WINAPI PostQuitMessage(int exitCode) {
    Queues &all = queues();
    {
        std::lock_guard hold(all.lock);
        Queue &queue = all.byThread[GetCurrentThreadId()];
        queue.quit = true;
        queue.exitCode = exitCode;
    }
    all.changed.notify_all();
}

BOOL WINAPI PeekMessageW(LPMSG message, HWND window, UINT first, UINT last, UINT remove) {
    return peek(message, window, first, last, remove);
}

BOOL WINAPI PeekMessageA(LPMSG message, HWND window, UINT first, UINT last, UINT remove) {
    return peek(message, window, first, last, remove);
}

BOOL WINAPI GetMessageW(LPMSG message, HWND window, UINT first, UINT last) {
    return get(message, window, first, last);
}

BOOL WINAPI GetMessageA(LPMSG message, HWND window, UINT first, UINT last) {
    return get(message, window, first, last);
}

LRESULT WINAPI DispatchMessageW(const MSG *message) {
    if (!message || !message->hwnd)
        return 0;
    return send(message->hwnd, message->message, message->wParam, message->lParam);
}

LRESULT WINAPI DispatchMessageA(const MSG *message) {
    return DispatchMessageW(message);
}

LRESULT WINAPI CallWindowProcW(WNDPROC procedure, HWND window, UINT message, WPARAM wParam,
                               LPARAM lParam) {
    return procedure ? procedure(window, message, wParam, lParam) : 0;
}

LRESULT WINAPI CallWindowProcA(WNDPROC procedure, HWND window, UINT message, WPARAM wParam,
                               LPARAM lParam) {
    return CallWindowProcW(procedure, window, message, wParam, lParam);
}
