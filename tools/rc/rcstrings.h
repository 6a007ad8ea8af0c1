// A string table as Windows stores it: RT_STRING resources numbered
// (id / 16) + 1, each holding the sixteen strings whose ids share id / 16,
// every string a length and that many UTF-16 units, absent ones empty.
#ifndef TAVO_TOOLS_RCSTRINGS_H
#define TAVO_TOOLS_RCSTRINGS_H

#include <map>
#include <string>

// The blocks by their resource numbers. The texts are UTF-8 no longer
// than 65535 units, as rcReadScript gives them.
std::map<unsigned, std::u16string> rcStringBlocks(const std::map<unsigned, std::string> &strings);

#endif
