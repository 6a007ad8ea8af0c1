// The command line of tavodb: a command, its arguments and its options.
#ifndef TAVO_TAVODB_OPTIONS_H
#define TAVO_TAVODB_OPTIONS_H

#include <optional>
#include <string>
#include <vector>

#include "tools/common/image_text.h"

struct Options {
    std::vector<std::string> arguments;
    std::optional<std::string> id; // --id
    std::optional<ImageKind> kind; // --as
    bool full = false;             // --full
};

// Parses the words after the command, accepting only the options named in
// allowed (such as "--id"). On an error returns false with error set.
bool parseOptions(const std::vector<std::string> &words, const std::vector<std::string> &allowed,
                  Options &options, std::string &error);

// Prints "tavodb: where: message" (or without where) and returns the exit
// status of a failed command.
int reportError(const std::string &where, const std::string &message);

#endif
