// The module's windows as the host finds, pictures and clicks them.
#include "host/screen.h"

#include "platform/posix/screen.h"

#include <algorithm>

namespace host {

HWND topWindowOfClass(HWND anyWindow, const std::string &className) {
    for (HWND window = GetWindow(anyWindow, GW_HWNDFIRST); window != nullptr;
         window = GetWindow(window, GW_HWNDNEXT)) {
        char name[128] = "";
        GetClassNameA(window, name, sizeof name);
        if (className == name)
            return window;
    }
    return nullptr;
}

namespace {

constexpr LONG kPictureMargin = 8;

// A top-level window of the thread whose class is the module's UI class
// name after prefix ("Comp", "Status").
HWND findModuleWindow(HWND anyWindow, const Module &module, const char *prefix) {
    return topWindowOfClass(anyWindow, prefix + module.uiClass());
}

void addWindow(RECT &area, HWND window) {
    RECT rect;
    if (window == nullptr || !IsWindowVisible(window) || !GetWindowRect(window, &rect))
        return;
    if (area.right <= area.left) {
        area = rect;
        return;
    }
    area = {std::min(area.left, rect.left), std::min(area.top, rect.top),
            std::max(area.right, rect.right), std::max(area.bottom, rect.bottom)};
}

} // namespace

HWND compositionWindow(HWND anyWindow, const Module &module) {
    return findModuleWindow(anyWindow, module, "Comp");
}

HWND compositionWindow(const Session &session) {
    return compositionWindow(session.windowHandle(), session.module());
}

HWND statusWindow(const Session &session) {
    return findModuleWindow(session.windowHandle(), session.module(), "Status");
}

std::vector<ShownLine> compositionLinesShown(const Session &session) {
    return readWindow(compositionWindow(session));
}

bool writePicture(const Session &session, const std::string &path) {
    RECT area = {};
    addWindow(area, session.windowHandle());
    addWindow(area, compositionWindow(session));
    addWindow(area, statusWindow(session));
    RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    area = {std::max(area.left - kPictureMargin, screen.left),
            std::max(area.top - kPictureMargin, screen.top),
            std::min(area.right + kPictureMargin, screen.right),
            std::min(area.bottom + kPictureMargin, screen.bottom)};
    if (area.right <= area.left || area.bottom <= area.top)
        return false;
    return posix::writePng(posix::snapshotScreen(area), path);
}

bool clickLine(Session &session, size_t line) {
    HWND window = compositionWindow(session);
    std::vector<ShownLine> lines = readWindow(window);
    RECT rect;
    if (line >= lines.size() || !GetWindowRect(window, &rect))
        return false;
    const RECT &box = lines[line].box;
    session.click({(rect.left + rect.right) / 2, rect.top + (box.top + box.bottom) / 2});
    return true;
}

// The status window's two buttons share its client area, the input mode
// on the left and the shape on the right.
bool clickStatusButton(Session &session, Click::Target button) {
    HWND window = statusWindow(session);
    RECT client;
    if (window == nullptr || !IsWindowVisible(window) || !GetClientRect(window, &client))
        return false;
    POINT point = {button == Click::Shape ? client.right * 3 / 4 : client.right / 4,
                   client.bottom / 2};
    ClientToScreen(window, &point);
    session.click(point);
    return true;
}

bool perform(Session &session, const ScriptStep &step) {
    if (!step.click) {
        session.feed(step.events);
        return true;
    }
    if (step.click->target == Click::Line)
        return clickLine(session, step.click->line);
    return clickStatusButton(session, step.click->target);
}

} // namespace host
