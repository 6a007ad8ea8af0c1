// tavodb build: an image from lines of "key<TAB>data" in the text form.
#include <cstdio>

#include "tools/common/image_writer.h"
#include "tools/common/tool_files.h"
#include "tools/tavodb/image_file.h"
#include "tools/tavodb/commands.h"
#include "tools/tavodb/options.h"

namespace {

struct Input {
    std::string path;
    ImageKind kind;
    std::vector<ImageEntry> entries;
    size_t errors = 0;

    void error(long line, const std::string &message) {
        reportError(path + ":" + std::to_string(line), message);
        errors++;
    }
};

// Parses one line that is neither empty nor a comment.
void parseLine(Input &input, const std::string &line, long number) {
    size_t tab = line.find('\t');
    if (tab == std::string::npos)
        return input.error(number, "no TAB between key and data");
    ImageEntry entry = {"", "", number};
    std::string error;
    if (!imageParseText(line.substr(0, tab), entry.key, error))
        return input.error(number, "key: " + error);
    if (entry.key.empty())
        return input.error(number, "empty key");
    if (entry.key.find('\0') != std::string::npos)
        return input.error(number, "key holds a zero byte");
    if (input.kind == ImageKind::binary && isBinarySummary(line.substr(tab + 1)))
        return input.error(number, "data is an abbreviation (\"" + line.substr(tab + 1) +
                                       "\"), not the bytes themselves");
    if (!imageParseText(line.substr(tab + 1), entry.data, error))
        return input.error(number, "data: " + error);
    if (input.kind != ImageKind::binary && entry.data.find('\0') != std::string::npos)
        return input.error(number, "data holds a zero byte, which only binary data may");
    input.entries.push_back(std::move(entry));
}

void parseLines(Input &input, const std::string &text) {
    static const std::string byteOrderMark = "\xEF\xBB\xBF";
    size_t start = text.compare(0, 3, byteOrderMark) == 0 ? 3 : 0;
    for (long number = 1; start < text.size(); number++) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line[0] != '#')
            parseLine(input, line, number);
        start = end + 1;
    }
}

// Sorted entries with equal keys are neighbours, the first line first.
void reportDuplicates(Input &input) {
    for (size_t i = 1; i < input.entries.size(); i++) {
        const ImageEntry &first = input.entries[i - 1];
        const ImageEntry &second = input.entries[i];
        if (first.key == second.key)
            input.error(second.line, "duplicate key \"" + imageKeyText(second.key, input.kind) +
                                         "\" (first on line " + std::to_string(first.line) + ")");
    }
}

} // namespace

int runBuild(const std::vector<std::string> &words) {
    Options options;
    std::string error, text;
    if (!parseOptions(words, {"--id", "--as"}, options, error))
        return reportError("build", error);
    if (options.arguments.size() != 2 || !options.id)
        return reportError("build", "usage: tavodb build --id IDENTIFIER [--as KIND] "
                                    "INPUT.tsv OUTPUT");
    Input input = {options.arguments[0], options.kind.value_or(imageKindForId(*options.id)), {}};
    const std::string &output = options.arguments[1];
    if (!toolReadFile(input.path, text, error))
        return reportError(input.path, error);
    parseLines(input, text);
    imageSortEntries(input.entries);
    reportDuplicates(input);
    if (input.errors > 0)
        return reportError(input.path,
                           std::to_string(input.errors) + " errors; " + output + " not written");
    const ImageEntry *failed = nullptr;
    if (!imageWriteFile(output, *options.id, input.entries, error, &failed))
        return failed ? reportError(input.path + ":" + std::to_string(failed->line), error)
                      : reportError(output, error);
    std::printf("%s: %zu keys\n", output.c_str(), input.entries.size());
    return 0;
}
