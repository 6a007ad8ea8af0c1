// The interactive mode: the terminal in raw mode, each key typed passed
// through the session, and after each key the composition and the
// committed text. Ctrl+D ends it.
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

// Runs until Ctrl+D or the end of input; returns the exit status.
int runInteractive(Session &session, CaptureLog &capture);

} // namespace host

#endif
