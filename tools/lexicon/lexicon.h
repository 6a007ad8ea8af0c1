// The source lexicon under data/: characters and words with their toned
// readings and ranks, and the characters' spoken descriptions.
#ifndef TAVO_TOOLS_LEXICON_H
#define TAVO_TOOLS_LEXICON_H

#include <map>
#include <string>
#include <vector>

struct LexiconReading {
    std::vector<std::string> syllables; // toned jyutping, one per character
    std::string codes;                  // the reading codes, two bytes each
    long rank;                          // lower is more common
};

struct LexiconEntry {
    std::string text;                     // UTF-8
    std::string big5;                     // the same in Big5
    std::vector<std::string> characters;  // the Big5 characters, two bytes each
    std::vector<LexiconReading> readings; // most usual first
    int example = 1; // 1: an example word of its characters, 2: one after those, 0: none
};

struct Lexicon {
    std::vector<LexiconEntry> characters;            // one-character entries
    std::vector<LexiconEntry> words;                 // words of 2 to 7 characters
    std::map<std::string, std::string> descriptions; // Big5 character -> Big5 text
};

// Reads chars.tsv, words.tsv and descriptions.tsv from the folder. On a
// line it can't use returns false with error naming file and line.
// words.tsv has a fourth column: 1 for a word that may be an example word
// of its characters, 2 for one that comes only after those (a phrase more
// than a word), 0 for one that may not.
bool lexiconRead(const std::string &folder, Lexicon &lexicon, std::string &error);

#endif
