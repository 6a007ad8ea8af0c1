// The interactive mode, for a person: the terminal in raw mode, each key
// typed passed through the session, and the screen redrawn in place: the
// text typed so far, the composition window's lines as drawn (braille
// lines as Unicode braille patterns, which a braille display reads), the
// status (Cantonese or alphanumeric, full or half shape) and what was
// heard. Ctrl+D ends it.
#ifndef TAVO_HOST_TERMINAL_H
#define TAVO_HOST_TERMINAL_H

#include "host/capture.h"
#include "host/session.h"

#include <optional>
#include <string>
#include <vector>

namespace host {

// The key events of one keyboard sequence read from a terminal (a
// character, a control character or an escape sequence); nullopt for a
// sequence the host does not know.
std::optional<std::vector<KeyEvent>> eventsForTerminalInput(const std::string &sequence);

// Runs until Ctrl+D or the end of input; returns the exit status. With
// messages, the messages of the last key are shown too.
int runInteractive(Session &session, CaptureLog &capture, bool messages);

} // namespace host

#endif
