// The user dictionary compiler on arbitrary text; the compiled database
// is then opened and every entry of the text looked up in it: its key must
// be found whole, with the candidates of its first line.
#include "dict/userdict.h"
#include "frame/globdata.h"

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

void setField(TCHAR *field, const std::string &text) {
    size_t i = 0;
    for (; i < text.size() && i + 1 < MAX_PATH; i++)
        field[i] = (TCHAR)text[i];
    field[i] = 0;
}

std::string folder() {
    static std::string path = [] {
        char name[] = "/dev/shm/tavo-userdict-fuzz-XXXXXX";
        if (!mkdtemp(name)) {
            std::perror("mkdtemp");
            std::abort();
        }
        static std::string made = name;
        std::atexit([] { std::filesystem::remove_all(made); });
        return std::string(name);
    }();
    return path;
}

bool isSeparator(char c) {
    return c == ' ' || c == '\t';
}

// The entries that the text holds, as the compiler reads them: the first
// line of each key wins.
std::map<std::string, std::string> entriesOf(const uint8_t *data, size_t size) {
    std::map<std::string, std::string> entries;
    std::string line;
    for (size_t i = 0; i <= size; i++) {
        if (i < size && data[i] != '\n') {
            if (data[i] >= 32 || data[i] == '\t')
                line += (char)data[i];
            continue;
        }
        size_t separator = 0;
        while (separator < line.size() && !isSeparator(line[separator]))
            separator++;
        std::string key = line.substr(0, separator), candidates;
        bool pendingTab = false;
        for (size_t at = separator; at < line.size(); at++) {
            if (isSeparator(line[at])) {
                pendingTab = !candidates.empty();
                continue;
            }
            if (pendingTab)
                candidates += '\t';
            pendingTab = false;
            candidates += line[at];
        }
        for (char &c : key)
            if (c >= 'A' && c <= 'Z')
                c = (char)(c - 'A' + 'a');
        if (separator < line.size() && !candidates.empty() && !key.empty() && key.size() <= 8191)
            entries.emplace(key, candidates);
        line.clear();
    }
    return entries;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    setField(globData.windowsDir, folder());
    setField(globData.systemDir, folder());
    setField(globData.userDictFile, "fuzz.dic");
    setField(globData.userDbFile, "fuzz.udb");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    // The compiler moves the current directory; the fuzzer's own files
    // are named relative to it.
    char *current = getcwd(nullptr, 0);
    std::string text = folder() + "/fuzz.dic", database = folder() + "/fuzz.udb";
    std::remove(database.c_str());
    FILE *out = std::fopen(text.c_str(), "wb");
    if (!out)
        std::abort();
    std::fwrite(data, 1, size, out);
    std::fclose(out);
    UpdateUserDatabase();
    ptree *tree = OpenUserDatabase();
    if (tree == nullptr)
        __builtin_trap(); // a text file always gives a database, empty or not
    for (const auto &[key, candidates] : entriesOf(data, size)) {
        if (ptree_match(tree, key.c_str(), (int)key.size()) != (int)key.size())
            __builtin_trap();
        if (candidates != ptree_data(tree))
            __builtin_trap();
    }
    ptree_close(tree);
    if (current != nullptr && chdir(current) != 0)
        std::abort();
    std::free(current);
    return 0;
}
