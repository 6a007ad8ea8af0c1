// Invariants of the databases built from the lexicon, over every entry,
// and the reachability of everyday words through the phrase databases.
#include "dict/lookup.h"
#include "frame/canton.h"
#include "tools/common/image_text.h"
#include "tools/common/image_walk.h"
#include "tools/common/jyutping.h"
#include "tools/lexicon/databases.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <map>
#include <sstream>

namespace {

// A built database, open for matching and walked once.
struct Database {
    std::vector<BYTE> bytes;
    ptree *tree = nullptr;
    ImageWalk walk;

    explicit Database(const char *name) {
        std::ifstream in(std::string(TAVO_DATABASE_DIR) + "/" + name, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        tree = ptree_open(bytes.data(), (DWORD)bytes.size());
        if (tree != nullptr)
            walk = walkImage(tree, false);
    }
    ~Database() { ptree_close(tree); }

    // The data stored under exactly this key, or nothing.
    std::optional<std::string> find(const std::string &key) {
        if (ptree_match(tree, key.c_str(), 0) != (int)key.size())
            return std::nullopt;
        return std::string(ptree_data(tree));
    }
};

bool ValidCode(const std::string &bytes, size_t at) {
    if (at + 1 >= bytes.size())
        return false;
    return imageReadingText(bytes[at], bytes[at + 1]).has_value();
}

std::vector<std::string> Items(const std::string &data) {
    return imageDataParts(data, ImageKind::text);
}

class Databases : public ::testing::Test {
protected:
    static Database *dictionary, *query, *vexa, *ruda;
    static void SetUpTestSuite() {
        dictionary = new Database("dictionary.img");
        query = new Database("query.img");
        vexa = new Database("vexa.idb");
        ruda = new Database("ruda.idb");
    }
    static void TearDownTestSuite() {
        for (Database *database : {dictionary, query, vexa, ruda})
            delete database;
    }
};

Database *Databases::dictionary, *Databases::query, *Databases::vexa, *Databases::ruda;

TEST_F(Databases, AreWholeImagesWithTheirIdentifiers) {
    EXPECT_EQ(ptree_check_id(dictionary->tree, DICTIONARY_ID), 1);
    EXPECT_EQ(ptree_check_id(query->tree, QUERY_ID), 1);
    EXPECT_EQ(ptree_check_id(vexa->tree, PHRASE_ID), 1);
    EXPECT_EQ(ptree_check_id(ruda->tree, PHRASE_ID), 1);
    for (Database *database : {dictionary, query, vexa, ruda}) {
        EXPECT_EQ(database->walk.damaged, 0u);
        EXPECT_GT(database->walk.nodes.size(), 10000u);
    }
}

TEST_F(Databases, DictionaryReadingsAreValidAndAsLongAsTheirWords) {
    for (const ImageNode &node : dictionary->walk.nodes) {
        ASSERT_EQ(FirstReadingLength(node.data.c_str()), node.key.size())
            << imageKeyText(node.key, ImageKind::text);
        for (const std::string &reading : imageDataParts(node.data, ImageKind::readings)) {
            ASSERT_EQ(reading.size(), node.key.size()) << imageKeyText(node.key, ImageKind::text);
            for (size_t at = 0; at < reading.size(); at += 2)
                ASSERT_TRUE(ValidCode(reading, at)) << imageKeyText(node.key, ImageKind::text);
        }
    }
}

TEST_F(Databases, QueryLinesStartWithAValidCode) {
    for (const ImageNode &node : query->walk.nodes) {
        ASSERT_EQ(node.key.size(), 2u);
        for (const std::string &line : imageDataParts(node.data, ImageKind::query))
            ASSERT_TRUE(ValidCode(line, 0)) << imageKeyText(node.key, ImageKind::text);
    }
}

TEST_F(Databases, PhraseKeysAreLowerCaseAndCandidatesNonEmpty) {
    for (Database *database : {vexa, ruda}) {
        for (const ImageNode &node : database->walk.nodes) {
            for (char c : node.key)
                ASSERT_FALSE(c >= 'A' && c <= 'Z') << node.key;
            for (const std::string &item : Items(node.data))
                ASSERT_FALSE(item.empty()) << node.key;
        }
    }
}

// The text of a candidate item: a character may carry its explanation
// after "|".
std::string ItemText(const std::string &item) {
    size_t bar = imageBig5Length(item) > 1 ? item.find('|', 2) : std::string::npos;
    return bar == 2 ? item.substr(0, 2) : item;
}

// A single character offered alone is explained from the query database
// in the reading that the dictionary gives it first; one offered in
// another reading carries its explanation itself.
TEST_F(Databases, EverySingleCharacterCandidateHasAnExplanation) {
    std::set<std::string> checked;
    size_t carried = 0;
    for (Database *database : {vexa, ruda}) {
        for (const ImageNode &node : database->walk.nodes) {
            for (const std::string &item : Items(node.data)) {
                std::string text = ItemText(item);
                if (imageBig5Length(text) != 1)
                    continue;
                if (text != item) {
                    EXPECT_GT(item.size(), 3u) << imageKeyText(item, ImageKind::text);
                    carried++;
                    continue;
                }
                if (!checked.insert(item).second)
                    continue;
                std::optional<std::string> readings = dictionary->find(item);
                std::optional<std::string> lines = query->find(item);
                ASSERT_TRUE(readings && lines) << imageKeyText(item, ImageKind::text);
                std::string first = readings->substr(0, 2);
                bool explained = false;
                for (const std::string &line : imageDataParts(*lines, ImageKind::query))
                    explained |= line.compare(0, 2, first) == 0 && line.size() > 2;
                EXPECT_TRUE(explained) << imageKeyText(item, ImageKind::text);
            }
        }
    }
    EXPECT_GT(checked.size(), 15000u);
    EXPECT_GT(carried, 1000u);
}

// The first explanation of a character's reading is its most common
// example word when it has one, so that a page of characters is heard as
// words; the description follows. Vulgar words never explain.
TEST_F(Databases, QueryLinesStartWithAnExampleWord) {
    auto firstLine = [&](const char *utf8) {
        std::string big5, error;
        EXPECT_TRUE(imageUtf8ToBig5(utf8, big5, error)) << error;
        std::optional<std::string> lines = query->find(big5);
        EXPECT_TRUE(lines) << utf8;
        std::vector<std::string> parsed =
            lines ? imageDataParts(*lines, ImageKind::query) : std::vector<std::string>{""};
        std::string line = parsed.front().substr(2);
        std::vector<std::string> explanations = imageDataParts(line, ImageKind::text);
        std::string text;
        for (const std::string &explanation : explanations)
            text += imageKeyText(explanation, ImageKind::text) + ";";
        return std::pair{explanations, text};
    };
    for (const char *character : {"詩", "師", "你", "食", "飯"}) {
        auto [explanations, text] = firstLine(character);
        ASSERT_GE(explanations.size(), 3u) << text;
        EXPECT_NE(explanations[0].front(), '(') << character << ": " << text;
        EXPECT_EQ(explanations[1].front(), '(') << character << ": " << text;
    }
    auto [explanations, text] = firstLine("你");
    for (const char *vulgar : {"老母", "仆街"})
        EXPECT_EQ(text.find(vulgar), std::string::npos) << text;
}

// Typing a reading the way the module converts it: at each position the
// longest key that begins the rest of the reading, whose candidates are
// offered; in the braille module a segment never ends right before a
// one-dot cell.
struct Typing {
    Database *database;
    bool braille;

    // The candidates of the segment at the front of reading, and how many
    // reading characters it covers (0: nothing matches).
    size_t segment(const std::string &reading, std::vector<std::string> &items) const {
        int n = ptree_match(database->tree, reading.c_str(), 0);
        while (braille && n > 0 && (size_t)n < reading.size() &&
               std::strchr("a@',1\"", reading[n]) != nullptr)
            n = n > 1 ? ptree_match(database->tree, reading.c_str(), n - 1) : 0;
        if (n <= 0)
            return 0;
        items.clear();
        for (const std::string &item : Items(ptree_data(database->tree)))
            items.push_back(ItemText(item));
        return (size_t)n;
    }
};

// The typed form of each syllable of an everyday word, in one scheme.
struct TypedWord {
    std::string word;                   // Big5
    std::vector<std::string> syllables; // as typed
};

// Converts the syllables segment by segment and says whether the word
// comes out: taking the first candidate of each segment, or (firstOnly
// false) the candidate of the first page that continues the word.
bool Converts(const Typing &typing, const TypedWord &typed, bool firstOnly) {
    std::string reading;
    std::vector<size_t> ends; // reading length after each syllable
    for (const std::string &syllable : typed.syllables)
        ends.push_back((reading += syllable).size());
    size_t at = 0, syllable = 0, character = 0;
    std::string word = typed.word;
    while (at < reading.size()) {
        std::vector<std::string> items;
        size_t covered = typing.segment(reading.substr(at), items);
        if (covered == 0)
            return false;
        at += covered;
        size_t syllables = 0;
        while (syllable < ends.size() && ends[syllable] <= at)
            syllable++, syllables++;
        if (syllable > 0 && ends[syllable - 1] != at)
            return false; // the segment ends inside a syllable
        std::string wanted = word.substr(character, 2 * syllables);
        size_t page = firstOnly ? 1 : std::min<size_t>(items.size(), 9);
        if (std::find(items.begin(), items.begin() + page, wanted) == items.begin() + page)
            return false;
        character += wanted.size();
    }
    return character == word.size();
}

// Everyday words and phrases (tests/data/common_words.tsv), typed with and
// without tones in jyutping and as braille, converted segment by segment:
// nearly all come out choosing from the first page of each segment, and
// most with the first candidate of each.
TEST_F(Databases, EverydayWordsComeFirst) {
    std::ifstream in(std::string(TAVO_SOURCE_DIR) + "/tests/data/common_words.tsv");
    std::string line;
    int words = 0;
    std::map<std::string, int> first;
    std::map<std::string, int> reachable;
    std::map<std::string, std::string> missed, unreachable;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::string word = line.substr(0, line.find('\t')),
                    reading = line.substr(line.find('\t') + 1);
        TypedWord toned, toneless, braille;
        std::string big5, error;
        ASSERT_TRUE(imageUtf8ToBig5(word, big5, error)) << error;
        toned.word = toneless.word = braille.word = big5;
        std::stringstream split(reading);
        for (std::string syllable; split >> syllable;) {
            std::string codes;
            ASSERT_TRUE(jyutpingEncode(syllable, codes, error)) << word << ": " << error;
            LPTSTR cells = canton_decode(1, codes.c_str());
            braille.syllables.push_back(cells);
            GlobalFree(cells);
            toned.syllables.push_back(syllable);
            toneless.syllables.push_back(syllable.substr(0, syllable.size() - 1));
        }
        words++;
        for (auto [name, typing, typed] : {std::tuple{"toned", Typing{vexa, false}, &toned},
                                           std::tuple{"toneless", Typing{vexa, false}, &toneless},
                                           std::tuple{"braille", Typing{ruda, true}, &braille}}) {
            if (Converts(typing, *typed, false))
                reachable[name]++;
            else
                unreachable[name] += word + " ";
            if (Converts(typing, *typed, true))
                first[name]++;
            else
                missed[name] += word + " ";
        }
    }
    EXPECT_GE(words, 300);
    std::printf("%d everyday words; first candidates with tones: %d (%.1f%%), without tones: %d "
                "(%.1f%%), in braille: %d (%.1f%%)\n",
                words, first["toned"], 100.0 * first["toned"] / words, first["toneless"],
                100.0 * first["toneless"] / words, first["braille"],
                100.0 * first["braille"] / words);
    for (const auto &[name, list] : missed)
        std::printf("not first %s: %s\n", name.c_str(), list.c_str());
    for (const auto &[name, list] : unreachable)
        std::printf("not on the first page of a segment %s: %s\n", name.c_str(), list.c_str());
    // Some need a shorter candidate of a segment (Space), or are written
    // otherwise in the sources (睇下 for 睇吓).
    for (const char *name : {"toned", "toneless", "braille"})
        EXPECT_GE(reachable[name] * 100, words * 95) << name << ": the first page of each segment";
    // A hundred of the entries are single characters, of which the most
    // common homophone comes first (送 before 餸 for sung3).
    EXPECT_GE(first["toned"] * 100, words * 90) << "everyday words come first with tones";
    EXPECT_GE(first["braille"] * 100, words * 90) << "and in braille";
    EXPECT_GE(first["toneless"] * 100, words * 75) << "and mostly without";
}

} // namespace
