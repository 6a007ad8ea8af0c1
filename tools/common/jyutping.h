// Toned jyutping to reading codes and back, for the command-line tools.
#ifndef TAVO_TOOLS_JYUTPING_H
#define TAVO_TOOLS_JYUTPING_H

#include <string>

// Parses syllables written together or apart ("nei5hou2", "nei5 hou2")
// into two-byte reading codes appended to codes. On a bad syllable returns
// false with error naming it; codes is then left as it was.
bool jyutpingEncode(const std::string &text, std::string &codes, std::string &error);

// Writes reading codes out as toned jyutping (stop-final tones as 7, 8, 9).
std::string jyutpingDecode(const std::string &codes);

#endif
