// Printing what a key did: its messages, the composition string broken
// into lines, the committed text and the sounds heard.
#ifndef TAVO_HOST_REPORT_H
#define TAVO_HOST_REPORT_H

#include "host/application.h"

#include <cstdio>
#include <string>
#include <vector>

namespace host {

// "WM_IME_COMPOSITION wParam=0x6E lParam=0x1B8".
std::string describe(const Message &message);

// The composition string, one line each, indented; "(none)" when nothing
// is composed.
void printComposition(std::FILE *out, const Application &application, const char *newline);

// The messages received since index first, then the composition, the
// committed text (and the document, once keys reached it as typed) and
// the sounds.
void printStep(std::FILE *out, const Application &application, size_t first,
               const std::vector<std::string> &sounds, const char *newline = "\n");

} // namespace host

#endif
