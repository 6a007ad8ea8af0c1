// The commands of tavodb. Each takes the words after its name and returns
// the exit status, having reported any error on stderr.
#ifndef TAVO_TAVODB_COMMANDS_H
#define TAVO_TAVODB_COMMANDS_H

#include <string>
#include <vector>

int runInfo(const std::vector<std::string> &words);
int runLookup(const std::vector<std::string> &words);
int runDump(const std::vector<std::string> &words);
int runBuild(const std::vector<std::string> &words);

#endif
