// Reading the modules' resource lists (the subset of the Windows resource
// script that they use), shared by the Linux resource compiler and tests.
#ifndef TAVO_TOOLS_RCFILE_H
#define TAVO_TOOLS_RCFILE_H

#include <map>
#include <string>

// The STRINGTABLE entries of a resource script, texts in UTF-8. False with
// an error naming the file and line when the script can't be read.
bool rc_readStringTable(const std::string &path, std::map<unsigned, std::string> &strings,
                        std::string &error);

#endif
