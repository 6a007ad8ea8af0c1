// The four databases compiled from the lexicon: the dictionary and query
// images that the modules carry, and the phrase databases of the jyutping
// module (vexa.idb) and the braille module (ruda.idb).
#ifndef TAVO_TOOLS_DATABASES_H
#define TAVO_TOOLS_DATABASES_H

#include "tools/common/image_writer.h"
#include "tools/lexicon/lexicon.h"

#define DICTIONARY_ID "TAVO dictionary database"
#define QUERY_ID "TAVO query database"
#define PHRASE_ID "TAVO phrase database"

// At most this many example words explain a character in one reading.
#define QUERY_EXAMPLES 8

enum class PhraseKeys {
    jyutping, // as typed with tone digits ("nei5hou2") and without ("neihou")
    braille,  // the braille cells of the reading codes, as chorded
};

struct PhraseStats {
    size_t keys = 0;
    size_t candidates = 0;
    size_t hiddenByShorter = 0; // words whose key is also that of fewer syllables
};

// Word -> its readings' codes, TAB-separated, most usual first.
std::vector<ImageEntry> lexiconDictionary(const Lexicon &lexicon);
// Character -> per reading a line: its code, its description, example words.
std::vector<ImageEntry> lexiconQuery(const Lexicon &lexicon);
// Reading as typed -> candidates, most common first.
std::vector<ImageEntry> lexiconPhrases(const Lexicon &lexicon, PhraseKeys keys, PhraseStats &stats);

#endif
