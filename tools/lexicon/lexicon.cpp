// Reading the lexicon's TAB-separated files, stopping at a bad line with
// its file and number.
#include "tools/lexicon/lexicon.h"

#include "platform/platform.h"
#include "tools/common/image_text.h"
#include "tools/common/jyutping.h"

#include <fstream>
#include <set>
#include <sstream>

namespace {

struct SourceFile {
    std::string path;
    std::ifstream in;
    long number = 0;
    std::string line;
    std::string error;
    std::set<std::string> seen;

    explicit SourceFile(const std::string &name) : path(name), in(name) {}

    // The next line that is not a comment, split at TABs.
    bool next(std::vector<std::string> &fields) {
        while (std::getline(in, line)) {
            number++;
            if (line.empty() || line[0] == '#')
                continue;
            fields.clear();
            std::stringstream split(line);
            for (std::string field; std::getline(split, field, '\t');)
                fields.push_back(field);
            return true;
        }
        return false;
    }

    bool fail(const std::string &message) {
        error = path + ":" + std::to_string(number) + ": " + message;
        return false;
    }
};

std::vector<std::string> words(const std::string &text) {
    std::vector<std::string> words;
    std::stringstream split(text);
    for (std::string word; split >> word;)
        words.push_back(word);
    return words;
}

std::vector<std::string> big5Characters(const std::string &big5) {
    std::vector<std::string> characters;
    for (size_t i = 0; i < big5.size();) {
        size_t n = IsDBCSLeadByteEx(950, (BYTE)big5[i]) && i + 1 < big5.size() ? 2 : 1;
        characters.push_back(big5.substr(i, n));
        i += n;
    }
    return characters;
}

// How a source file's entries are shaped.
struct EntryShape {
    size_t shortest, longest; // characters
    bool exampleColumn;       // a fourth column says whether it is an example word
};

// The fourth column of words.tsv; false when it is not 0, 1 or 2.
bool readExample(const std::string &field, int &example) {
    if (field != "0" && field != "1" && field != "2")
        return false;
    example = field[0] - '0';
    return true;
}

// One "text reading rank [example]" line added to the entries; lines of one
// text stand together and make one entry.
bool readEntry(SourceFile &file, const std::vector<std::string> &fields,
               std::vector<LexiconEntry> &entries, const EntryShape &shape) {
    size_t columns = shape.exampleColumn ? 4 : 3;
    if (fields.size() != columns)
        return file.fail("expected " + std::to_string(columns) + " TAB-separated fields");
    int example = 1;
    if (shape.exampleColumn && !readExample(fields[3], example))
        return file.fail("the example column is \"" + fields[3] + "\", not 0, 1 or 2");
    LexiconReading reading;
    reading.syllables = words(fields[1]);
    std::string error;
    if (!jyutpingEncode(fields[1], reading.codes, error))
        return file.fail(error);
    try {
        size_t used = 0;
        reading.rank = std::stol(fields[2], &used);
        if (used != fields[2].size() || reading.rank <= 0)
            throw std::invalid_argument(fields[2]);
    } catch (const std::exception &) {
        return file.fail("bad rank \"" + fields[2] + "\"");
    }
    if (entries.empty() || entries.back().text != fields[0]) {
        LexiconEntry entry;
        entry.text = fields[0];
        if (!imageUtf8ToBig5(entry.text, entry.big5, error))
            return file.fail(error);
        entry.characters = big5Characters(entry.big5);
        entry.example = example;
        if (entry.characters.size() < shape.shortest || entry.characters.size() > shape.longest)
            return file.fail("\"" + entry.text + "\" does not have " +
                             std::to_string(shape.shortest) + " to " +
                             std::to_string(shape.longest) + " characters");
        if (!file.seen.insert(entry.big5).second)
            return file.fail("\"" + entry.text + "\" again, apart from its other lines");
        entries.push_back(entry);
    }
    LexiconEntry &entry = entries.back();
    if (reading.syllables.size() != entry.characters.size())
        return file.fail("the reading has " + std::to_string(reading.syllables.size()) +
                         " syllables for " + std::to_string(entry.characters.size()) +
                         " characters");
    entry.readings.push_back(reading);
    return true;
}

// Reads the lines of a source file that are not comments, one by one;
// readLine says false, with the file's error set, on a line it can't use.
template <typename ReadLine>
bool readSource(const std::string &path, std::string &error, ReadLine readLine) {
    SourceFile file(path);
    if (!file.in) {
        error = path + ": cannot open";
        return false;
    }
    std::vector<std::string> fields;
    while (file.next(fields)) {
        if (!readLine(file, fields)) {
            error = file.error;
            return false;
        }
    }
    return true;
}

bool readEntries(const std::string &path, std::vector<LexiconEntry> &entries,
                 const EntryShape &shape, std::string &error) {
    return readSource(path, error, [&](SourceFile &file, const std::vector<std::string> &fields) {
        return readEntry(file, fields, entries, shape);
    });
}

bool readDescriptions(const std::string &path, std::map<std::string, std::string> &descriptions,
                      std::string &error) {
    return readSource(path, error, [&](SourceFile &file, const std::vector<std::string> &fields) {
        std::string character, text, why;
        if (fields.size() != 2)
            return file.fail("expected 2 TAB-separated fields");
        if (!imageUtf8ToBig5(fields[0], character, why) || !imageUtf8ToBig5(fields[1], text, why))
            return file.fail(why);
        if (!descriptions.emplace(character, text).second)
            return file.fail("a second description of " + fields[0]);
        return true;
    });
}

} // namespace

bool lexiconRead(const std::string &folder, Lexicon &lexicon, std::string &error) {
    return readEntries(folder + "/chars.tsv", lexicon.characters, {1, 1, false}, error) &&
           readEntries(folder + "/words.tsv", lexicon.words, {2, 7, true}, error) &&
           readDescriptions(folder + "/descriptions.tsv", lexicon.descriptions, error);
}
