// Text helpers of the host: UTF-16 to UTF-8, and the display of a
// composition string, which the module lays out in fields separated by runs
// of three spaces.
#ifndef TAVO_HOST_TEXT_H
#define TAVO_HOST_TEXT_H

#include <string>
#include <vector>

namespace host {

std::string toUtf8(const std::u16string &text);

// The lines of a composition string, as the composition window shows
// them: every run of three spaces ends a line (six spaces leave an empty
// line between); an empty string gives no lines.
std::vector<std::string> compositionLines(const std::string &utf8);

// Drops the last character (a whole UTF-8 sequence) of text, if any.
void dropLastCharacter(std::string &text);

} // namespace host

#endif
