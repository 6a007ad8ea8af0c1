// How a composition is shown through IBus. The module shows one text at a
// time, in lines (the composition window breaks it at runs of three
// spaces): a reading or an explanation on its own, or a list whose lines
// begin with the digit that chooses them (a page of candidates, the option
// menu), perhaps under a heading. A list becomes the lookup table, labelled
// with its digits, and its heading the auxiliary text; a text alone is the
// preedit, in the application's line.
#ifndef TAVO_FRONTENDS_IBUS_DISPLAY_H
#define TAVO_FRONTENDS_IBUS_DISPLAY_H

#include <string>
#include <vector>

namespace ibus_front {

struct Candidate {
    std::string label; // the digit that chooses it
    std::string text;

    bool operator==(const Candidate &) const = default;
};

struct Display {
    std::string preedit;
    std::string auxiliary;
    std::vector<Candidate> candidates;

    bool operator==(const Display &) const = default;
};

// The display of the lines shown; blank lines and lines of spaces only
// show nothing.
Display layoutLines(const std::vector<std::string> &lines);

} // namespace ibus_front

#endif
