// Sorting the composition's lines into preedit, auxiliary text and lookup
// table.
#include "frontends/ibus/display.h"

namespace ibus_front {

namespace {

// "3 text": a digit, a space, then what the digit chooses.
bool isNumbered(const std::string &line) {
    return line.size() > 2 && line[0] >= '1' && line[0] <= '9' && line[1] == ' ';
}

bool isBlank(const std::string &line) {
    return line.find_first_not_of(' ') == std::string::npos;
}

void join(std::string &text, const std::string &line) {
    if (!text.empty())
        text += ' ';
    text += line;
}

} // namespace

Display layoutLines(const std::vector<std::string> &lines) {
    Display display;
    std::string plain;
    for (const std::string &line : lines) {
        if (isNumbered(line))
            display.candidates.push_back({line.substr(0, 1), line.substr(2)});
        else if (!isBlank(line))
            join(plain, line);
    }
    if (display.candidates.empty())
        display.preedit = plain;
    else
        display.auxiliary = plain;
    return display;
}

} // namespace ibus_front
