// Typing into the test application as a user does: key presses and
// releases through the system's input queue (SendInput), so that they
// reach the module through the input-method manager exactly as any
// application's keys do.
//
// A script is words separated by spaces: a character types that key
// (with Shift when the US layout needs it); <Space>, <Enter>, <Esc>,
// <Backspace>, <Left>, <Right>, <Up>, <Down>, <PageUp>, <PageDown>,
// <Ctrl+`> name keys; +x presses x and -x releases it; [abc] presses the
// keys of a chord together and releases them in order.
#ifndef TAVO_IMETEST_KEYS_H
#define TAVO_IMETEST_KEYS_H

#include "tests/windows/imetest/app.h"

#include <string>

namespace imetest {

// Types the script into app's window, letting the window handle each key
// before the next. False with error for a word that names no key.
bool typeKeys(App &app, const std::string &script, std::string &error);

} // namespace imetest

#endif
