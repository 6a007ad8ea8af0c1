// What the user sees of the module: its composition and status windows on
// the screen, pictures of them, and clicks on them, as a script asks for.
#ifndef TAVO_HOST_SCREEN_H
#define TAVO_HOST_SCREEN_H

#include "host/session.h"
#include "host/window_reader.h"

#include <string>
#include <vector>

namespace host {

// The first top-level window of the thread (any of its windows finds
// them) whose class is className, or null.
HWND topWindowOfClass(HWND anyWindow, const std::string &className);

// The module's pop-up windows, found by their classes; null before the
// module made them. Any window of the thread finds them.
HWND compositionWindow(HWND anyWindow, const Module &module);
HWND compositionWindow(const Session &session);
HWND statusWindow(const Session &session);

// The lines the composition window shows; none while it is hidden.
std::vector<ShownLine> compositionLinesShown(const Session &session);

// Writes a PNG of the screen around the application: its window and the
// module's windows where they are, with a margin. False when it can't.
bool writePicture(const Session &session, const std::string &path);

// Clicks line (from 0) of the composition window, or a button of the
// status window; false when there is no such line or window.
bool clickLine(Session &session, size_t line);
bool clickStatusButton(Session &session, Click::Target button);

// Types the step's keys, or makes its click.
bool perform(Session &session, const ScriptStep &step);

} // namespace host

#endif
