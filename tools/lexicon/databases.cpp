// Compiling the lexicon into the dictionary, query and phrase databases.
#include "tools/lexicon/databases.h"

#include "frame/canton.h"
#include "platform/platform.h"

#include <algorithm>
#include <map>
#include <set>

namespace {

std::string join(const std::vector<std::string> &parts, char separator) {
    std::string joined;
    for (size_t i = 0; i < parts.size(); i++) {
        if (i > 0)
            joined += separator;
        joined += parts[i];
    }
    return joined;
}

struct Candidate {
    long rank;
    size_t syllables;
    std::string text; // what is offered; a text is offered once
    std::string item; // what is stored: the text, or a character with its explanation
};

// The example words of each (character, syllable), most common first: the
// words whose first reading gives the character, where it first stands in
// the word, that syllable. The query explains a character of an example
// word in the reading that the dictionary gives the word first, so only
// that reading makes a word an example.
typedef std::map<std::pair<std::string, std::string>, std::vector<Candidate>> ExampleIndex;

ExampleIndex indexExamples(const Lexicon &lexicon) {
    // Words of the second class come after every word of the first.
    const long kSecondClass = 1000000000;
    ExampleIndex index;
    for (const LexiconEntry &word : lexicon.words) {
        if (word.example == 0)
            continue;
        const LexiconReading &reading = word.readings.front();
        long order = reading.rank + (word.example == 2 ? kSecondClass : 0);
        std::set<std::string> seen;
        for (size_t i = 0; i < word.characters.size(); i++)
            if (seen.insert(word.characters[i]).second)
                index[{word.characters[i], reading.syllables[i]}].push_back(
                    {order, 1, word.big5, word.big5});
    }
    return index;
}

// Sorts by rank and keeps the first item of each text.
std::vector<std::string> rankedItems(std::vector<Candidate> candidates, size_t most) {
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const Candidate &a, const Candidate &b) { return a.rank < b.rank; });
    std::vector<std::string> items;
    std::set<std::string> seen;
    for (const Candidate &candidate : candidates)
        if (items.size() < most && seen.insert(candidate.text).second)
            items.push_back(candidate.item);
    return items;
}

// The explanations of a character in one reading: its most common example
// word first, as it is heard after the character on a page of candidates
// (short, and telling homophones apart by their use), then the description
// and the other example words.
std::vector<std::string> explanationsOf(const Lexicon &lexicon, const ExampleIndex &examples,
                                      const LexiconEntry &character,
                                      const LexiconReading &reading) {
    std::vector<std::string> explanations;
    auto words = examples.find({character.big5, reading.syllables[0]});
    if (words != examples.end())
        explanations = rankedItems(words->second, QUERY_EXAMPLES);
    auto description = lexicon.descriptions.find(character.big5);
    if (description != lexicon.descriptions.end())
        explanations.insert(explanations.begin() + (explanations.empty() ? 0 : 1),
                            description->second);
    return explanations;
}

std::string queryLine(const Lexicon &lexicon, const ExampleIndex &examples,
                      const LexiconEntry &character, const LexiconReading &reading) {
    return reading.codes + join(explanationsOf(lexicon, examples, character, reading), '\t');
}

// A character offered in a reading other than its first carries the first
// explanation of that reading ("行|銀行"); offered alone it would be
// explained in the reading that the dictionary gives it first.
std::string characterItem(const Lexicon &lexicon, const ExampleIndex &examples,
                          const LexiconEntry &character, const LexiconReading &reading) {
    if (&reading == &character.readings.front())
        return character.big5;
    std::vector<std::string> explanations = explanationsOf(lexicon, examples, character, reading);
    return explanations.empty() ? character.big5 : character.big5 + "|" + explanations.front();
}

std::string withoutTone(const std::string &syllable) {
    std::string letters = syllable;
    letters.erase(std::remove_if(letters.begin(), letters.end(), ::isdigit), letters.end());
    return letters;
}

std::string brailleKey(const std::string &codes) {
    LPTSTR cells = canton_decode(1, codes.c_str());
    std::string key = cells;
    GlobalFree(cells);
    std::transform(key.begin(), key.end(), key.begin(), ::tolower);
    return key;
}

// The keys under which a reading is typed.
std::vector<std::string> keysOf(const LexiconReading &reading, PhraseKeys keys) {
    if (keys == PhraseKeys::braille)
        return {brailleKey(reading.codes)};
    std::string toned, toneless;
    for (const std::string &syllable : reading.syllables) {
        toned += syllable;
        toneless += withoutTone(syllable);
    }
    return {toned, toneless};
}

typedef std::map<std::string, std::vector<Candidate>> CandidatesByKey;

void addCharacters(const Lexicon &lexicon, PhraseKeys keys, CandidatesByKey &byKey) {
    ExampleIndex examples = indexExamples(lexicon);
    for (const LexiconEntry &entry : lexicon.characters)
        for (const LexiconReading &reading : entry.readings) {
            std::string item = characterItem(lexicon, examples, entry, reading);
            for (const std::string &key : keysOf(reading, keys))
                byKey[key].push_back({reading.rank, 1, entry.big5, item});
        }
}

void addWords(const Lexicon &lexicon, PhraseKeys keys, CandidatesByKey &byKey) {
    for (const LexiconEntry &entry : lexicon.words)
        for (const LexiconReading &reading : entry.readings)
            for (const std::string &key : keysOf(reading, keys))
                byKey[key].push_back(
                    {reading.rank, entry.characters.size(), entry.big5, entry.big5});
}

} // namespace

std::vector<ImageEntry> lexiconDictionary(const Lexicon &lexicon) {
    std::vector<ImageEntry> entries;
    for (const auto *list : {&lexicon.characters, &lexicon.words}) {
        for (const LexiconEntry &entry : *list) {
            std::vector<std::string> readings;
            for (const LexiconReading &reading : entry.readings)
                readings.push_back(reading.codes);
            entries.push_back({entry.big5, join(readings, '\t'), 0});
        }
    }
    imageSortEntries(entries);
    return entries;
}

std::vector<ImageEntry> lexiconQuery(const Lexicon &lexicon) {
    ExampleIndex examples = indexExamples(lexicon);
    std::vector<ImageEntry> entries;
    for (const LexiconEntry &character : lexicon.characters) {
        std::vector<std::string> lines;
        for (const LexiconReading &reading : character.readings)
            lines.push_back(queryLine(lexicon, examples, character, reading));
        entries.push_back({character.big5, join(lines, '\n'), 0});
    }
    imageSortEntries(entries);
    return entries;
}

std::vector<ImageEntry> lexiconPhrases(const Lexicon &lexicon, PhraseKeys keys,
                                       PhraseStats &stats) {
    CandidatesByKey byKey;
    addCharacters(lexicon, keys, byKey);
    addWords(lexicon, keys, byKey);
    std::vector<ImageEntry> entries;
    for (auto &[key, candidates] : byKey) {
        // Where syllables run together without tones ("faan" is also
        // "fa"+"an"), the fewest syllables win, so that typing one
        // syllable offers characters first.
        size_t fewest = candidates.front().syllables;
        for (const Candidate &candidate : candidates)
            fewest = std::min(fewest, candidate.syllables);
        size_t before = candidates.size();
        std::erase_if(candidates, [&](const Candidate &c) { return c.syllables != fewest; });
        stats.hiddenByShorter += before - candidates.size();
        std::vector<std::string> items = rankedItems(candidates, SIZE_MAX);
        stats.candidates += items.size();
        entries.push_back({key, join(items, '\t'), 0});
    }
    stats.keys = entries.size();
    imageSortEntries(entries);
    return entries;
}
