// A real window for tests that records every message it receives, in
// order, and passes each on to DefWindowProc as an application would.
#ifndef TAVO_TESTS_RECORDING_WINDOW_H
#define TAVO_TESTS_RECORDING_WINDOW_H

#include "platform/platform.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <vector>

namespace tests {

struct Received {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class RecordingWindow {
public:
    explicit RecordingWindow(RECT place = {0, 0, 200, 100}, DWORD style = WS_POPUP,
                             HWND owner = nullptr, DWORD exStyle = 0) {
        registerClass();
        handle = CreateWindowExW(exStyle, kClass, u"", style, place.left, place.top,
                                 place.right - place.left, place.bottom - place.top, owner, nullptr,
                                 nullptr, this);
    }
    RecordingWindow(const RecordingWindow &) = delete;
    RecordingWindow &operator=(const RecordingWindow &) = delete;
    ~RecordingWindow() {
        if (IsWindow(handle))
            DestroyWindow(handle);
    }

    // The messages received of the given kinds (all when none are given).
    std::vector<Received> of(std::vector<UINT> kinds = {}) const {
        std::vector<Received> found;
        for (const Received &one : received)
            if (kinds.empty() || std::find(kinds.begin(), kinds.end(), one.message) != kinds.end())
                found.push_back(one);
        return found;
    }
    std::vector<UINT> kinds(std::vector<UINT> wanted = {}) const {
        std::vector<UINT> found;
        for (const Received &one : of(wanted))
            found.push_back(one.message);
        return found;
    }

    HWND handle = nullptr;
    std::vector<Received> received;
    // Called for each message before it is passed on; a value it returns
    // answers the message instead of DefWindowProc.
    std::function<std::optional<LRESULT>(UINT, WPARAM, LPARAM)> onMessage;

private:
    static constexpr WCHAR kClass[] = u"TavoTestRecorder";

    static void registerClass() {
        WNDCLASSEXW description = {};
        description.cbSize = sizeof description;
        description.lpfnWndProc = procedure;
        description.lpszClassName = kClass;
        RegisterClassExW(&description); // fails harmlessly once registered
    }

    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE)
            SetWindowLongPtrW(window, GWLP_USERDATA,
                              LONG_PTR(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams));
        auto *self = reinterpret_cast<RecordingWindow *>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self) {
            self->received.push_back({window, message, wParam, lParam});
            if (self->onMessage)
                if (std::optional<LRESULT> answer = self->onMessage(message, wParam, lParam))
                    return *answer;
        }
        if (message == WM_NCDESTROY)
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        return DefWindowProcW(window, message, wParam, lParam);
    }
};

} // namespace tests

#endif
