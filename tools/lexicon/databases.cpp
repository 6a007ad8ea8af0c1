// Compiling the lexicon into the dictionary, query and phrase databases.
#include "tools/lexicon/databases.h"

#include "frame/canton.h"
#include "platform/platform.h"

#include <algorithm>
#include <map>
#include <set>

namespace {

std::string Join(const std::vector<std::string> &parts, char separator) {
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
    std::string text;
};

// The example words of each (character, syllable): the words that have the
// character at a position read with that syllable, most common first.
typedef std::map<std::pair<std::string, std::string>, std::vector<Candidate>> ExampleIndex;

ExampleIndex IndexExamples(const Lexicon &lexicon) {
    ExampleIndex index;
    for (const LexiconEntry &word : lexicon.words)
        for (const LexiconReading &reading : word.readings)
            for (size_t i = 0; i < word.characters.size(); i++)
                index[{word.characters[i], reading.syllables[i]}].push_back(
                    {reading.rank, 1, word.big5});
    return index;
}

// Sorts by rank and keeps the first of each text.
std::vector<std::string> RankedTexts(std::vector<Candidate> candidates, size_t most) {
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const Candidate &a, const Candidate &b) { return a.rank < b.rank; });
    std::vector<std::string> texts;
    std::set<std::string> seen;
    for (const Candidate &candidate : candidates)
        if (texts.size() < most && seen.insert(candidate.text).second)
            texts.push_back(candidate.text);
    return texts;
}

std::string QueryLine(const Lexicon &lexicon, const ExampleIndex &examples,
                      const LexiconEntry &character, const LexiconReading &reading) {
    std::vector<std::string> explanations;
    auto description = lexicon.descriptions.find(character.big5);
    if (description != lexicon.descriptions.end())
        explanations.push_back(description->second);
    auto words = examples.find({character.big5, reading.syllables[0]});
    if (words != examples.end())
        for (const std::string &word : RankedTexts(words->second, QUERY_EXAMPLES))
            explanations.push_back(word);
    return reading.codes + Join(explanations, '\t');
}

std::string Toneless(const std::string &syllable) {
    std::string letters = syllable;
    letters.erase(std::remove_if(letters.begin(), letters.end(), ::isdigit), letters.end());
    return letters;
}

std::string BrailleKey(const std::string &codes) {
    LPTSTR cells = canton_decode(1, codes.c_str());
    std::string key = cells;
    GlobalFree(cells);
    std::transform(key.begin(), key.end(), key.begin(), ::tolower);
    return key;
}

// The keys under which a reading is typed.
std::vector<std::string> KeysOf(const LexiconReading &reading, PhraseKeys keys) {
    if (keys == PhraseKeys::braille)
        return {BrailleKey(reading.codes)};
    std::string toned, toneless;
    for (const std::string &syllable : reading.syllables) {
        toned += syllable;
        toneless += Toneless(syllable);
    }
    return {toned, toneless};
}

void AddCandidates(const std::vector<LexiconEntry> &entries, PhraseKeys keys,
                   std::map<std::string, std::vector<Candidate>> &byKey) {
    for (const LexiconEntry &entry : entries)
        for (const LexiconReading &reading : entry.readings)
            for (const std::string &key : KeysOf(reading, keys))
                byKey[key].push_back({reading.rank, entry.characters.size(), entry.big5});
}

} // namespace

std::vector<ImageEntry> lexicon_dictionary(const Lexicon &lexicon) {
    std::vector<ImageEntry> entries;
    for (const auto *list : {&lexicon.characters, &lexicon.words}) {
        for (const LexiconEntry &entry : *list) {
            std::vector<std::string> readings;
            for (const LexiconReading &reading : entry.readings)
                readings.push_back(reading.codes);
            entries.push_back({entry.big5, Join(readings, '\t'), 0});
        }
    }
    image_sortEntries(entries);
    return entries;
}

std::vector<ImageEntry> lexicon_query(const Lexicon &lexicon) {
    ExampleIndex examples = IndexExamples(lexicon);
    std::vector<ImageEntry> entries;
    for (const LexiconEntry &character : lexicon.characters) {
        std::vector<std::string> lines;
        for (const LexiconReading &reading : character.readings)
            lines.push_back(QueryLine(lexicon, examples, character, reading));
        entries.push_back({character.big5, Join(lines, '\n'), 0});
    }
    image_sortEntries(entries);
    return entries;
}

std::vector<ImageEntry> lexicon_phrases(const Lexicon &lexicon, PhraseKeys keys,
                                        PhraseStats &stats) {
    std::map<std::string, std::vector<Candidate>> byKey;
    AddCandidates(lexicon.characters, keys, byKey);
    AddCandidates(lexicon.words, keys, byKey);
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
        std::vector<std::string> texts = RankedTexts(candidates, SIZE_MAX);
        stats.candidates += texts.size();
        entries.push_back({key, Join(texts, '\t'), 0});
    }
    stats.keys = entries.size();
    image_sortEntries(entries);
    return entries;
}
