// Printing what a key did: its messages, the lines the composition window
// shows, the committed text, what was heard and the picture taken.
#ifndef TAVO_HOST_REPORT_H
#define TAVO_HOST_REPORT_H

#include "host/session.h"

#include <cstdio>
#include <string>
#include <vector>

namespace host {

// "WM_IME_COMPOSITION wParam=0x6E lParam=0x1B8".
std::string describe(const Message &message);

// The name of the sound of a capture-log line ("nei5", "resource 514").
std::string soundName(const std::string &logLine);
// What the log lines say was heard, one spoken text on one line: the
// syllables joined by spaces, an event sound as "[514]".
std::string heardText(const std::vector<std::string> &logLines);

struct StepReport {
    size_t firstMessage = 0;      // the step's messages start here
    bool messages = true;         // print them
    std::vector<std::string> log; // capture-log lines of what was heard
    std::string picture;          // where the step's picture went, if anywhere
};

void printStep(std::FILE *out, const Session &session, const StepReport &report,
               const char *newline = "\n");

// The same in a few lines, as a person follows it: the key, the window's
// lines, what was heard, and the text once something is committed.
void printBrief(std::FILE *out, const Session &session, const StepReport &report,
                const std::string &token);

} // namespace host

#endif
