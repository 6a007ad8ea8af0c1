// tavodb: looks into "libptree" images and builds them from text.
#include <cstdio>
#include <cstring>

#include "tools/tavodb/commands.h"
#include "tools/tavodb/options.h"

namespace {

const char kHelp[] = R"(Usage: tavodb COMMAND ...

Commands:
  info IMAGE                 what the image holds: identifier, sizes, keys
                             by length, alternatives, bit indices, depth
  lookup IMAGE KEY...        the longest key that starts each KEY, and its data
  dump IMAGE                 every key and its data, whole, in the text form
                             that build reads, in Big5 order of the keys
  build --id IDENTIFIER INPUT.tsv OUTPUT
                             an image from lines of "key<TAB>data"; empty
                             lines and lines starting with '#' are skipped

info, lookup and dump fail (exit status 1) on an image that is damaged.

Options:
  --as KIND    how to read the data, instead of what the identifier says:
               readings  (TAVO dictionary database) readings in TABs
               query     (TAVO query database) lines of a reading and
                         explanations
               text      (phrase databases, user dictionaries and others)
               binary    (TAVO voice database) any bytes
  --full       accepted for older scripts: dump always writes data whole

Text form (UTF-8; stands for Big5 bytes):
  {nei5hou2}   toned jyutping for reading codes
  \n \\ \{ \}  a line feed, a backslash and braces
  \xHH         any byte
  A TAB in the data stays a TAB.

Examples:
  tavodb build --id "TAVO dictionary database" words.tsv dict.img
  tavodb lookup dict.img 你好嗎
  tavodb dump dict.img > words.tsv
)";

struct Command {
    const char *name;
    int (*run)(const std::vector<std::string> &);
};

const Command kCommands[] = {
    {"info", runInfo},
    {"lookup", runLookup},
    {"dump", runDump},
    {"build", runBuild},
};

} // namespace

int main(int argc, char **argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0 ||
        std::strcmp(argv[1], "help") == 0) {
        std::fputs(kHelp, argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    std::vector<std::string> words(argv + 2, argv + argc);
    for (const Command &command : kCommands)
        if (std::strcmp(argv[1], command.name) == 0)
            return command.run(words);
    return reportError("", std::string("unknown command \"") + argv[1] + "\"; see tavodb --help");
}
