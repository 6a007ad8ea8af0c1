// Parsing tavodb's command line.
#include "tools/tavodb/options.h"

#include <algorithm>
#include <cstdio>

namespace {

bool takeValue(const std::vector<std::string> &words, size_t &i, std::string &value,
               std::string &error) {
    if (i + 1 >= words.size()) {
        error = words[i] + " needs a value";
        return false;
    }
    value = words[++i];
    return true;
}

bool applyOption(const std::vector<std::string> &words, size_t &i, Options &options,
                 std::string &error) {
    const std::string &name = words[i];
    std::string value;
    if (name == "--full") {
        options.full = true;
        return true;
    }
    if (!takeValue(words, i, value, error))
        return false;
    if (name == "--id") {
        options.id = value;
        return true;
    }
    options.kind = imageKindByName(value);
    if (!options.kind)
        error = "unknown kind \"" + value + "\" (readings, query, text or binary)";
    return options.kind.has_value();
}

} // namespace

bool parseOptions(const std::vector<std::string> &words, const std::vector<std::string> &allowed,
                  Options &options, std::string &error) {
    bool optionsEnded = false;
    for (size_t i = 0; i < words.size(); i++) {
        const std::string &word = words[i];
        if (optionsEnded || word.size() < 2 || word.compare(0, 2, "--") != 0) {
            options.arguments.push_back(word);
        } else if (word == "--") {
            optionsEnded = true;
        } else if (std::find(allowed.begin(), allowed.end(), word) == allowed.end()) {
            error = "unknown option " + word;
            return false;
        } else if (!applyOption(words, i, options, error)) {
            return false;
        }
    }
    return true;
}

int reportError(const std::string &where, const std::string &message) {
    if (where.empty())
        std::fprintf(stderr, "tavodb: %s\n", message.c_str());
    else
        std::fprintf(stderr, "tavodb: %s: %s\n", where.c_str(), message.c_str());
    return 1;
}
