// Invariants of the databases built from the lexicon, over every entry,
// and the reachability of everyday words through the phrase databases.
#include "dict/lookup.h"
#include "frame/canton.h"
#include "tools/common/image_text.h"
#include "tools/common/image_walk.h"
#include "tools/common/jyutping.h"
#include "tools/lexicon/databases.h"

#include <gtest/gtest.h>

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
    return image_readingText(bytes[at], bytes[at + 1]).has_value();
}

std::vector<std::string> Items(const std::string &data) {
    return image_dataParts(data, ImageKind::text);
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
            << image_keyText(node.key, ImageKind::text);
        for (const std::string &reading : image_dataParts(node.data, ImageKind::readings)) {
            ASSERT_EQ(reading.size(), node.key.size()) << image_keyText(node.key, ImageKind::text);
            for (size_t at = 0; at < reading.size(); at += 2)
                ASSERT_TRUE(ValidCode(reading, at)) << image_keyText(node.key, ImageKind::text);
        }
    }
}

TEST_F(Databases, QueryLinesStartWithAValidCode) {
    for (const ImageNode &node : query->walk.nodes) {
        ASSERT_EQ(node.key.size(), 2u);
        for (const std::string &line : image_dataParts(node.data, ImageKind::query))
            ASSERT_TRUE(ValidCode(line, 0)) << image_keyText(node.key, ImageKind::text);
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

// A single character offered alone is explained from the query database
// in the reading that the dictionary gives it first.
TEST_F(Databases, EverySingleCharacterCandidateHasAnExplanation) {
    std::set<std::string> checked;
    for (Database *database : {vexa, ruda}) {
        for (const ImageNode &node : database->walk.nodes) {
            for (const std::string &item : Items(node.data)) {
                if (image_big5Length(item) != 1 || !checked.insert(item).second)
                    continue;
                std::optional<std::string> readings = dictionary->find(item);
                std::optional<std::string> lines = query->find(item);
                ASSERT_TRUE(readings && lines) << image_keyText(item, ImageKind::text);
                std::string first = readings->substr(0, 2);
                bool explained = false;
                for (const std::string &line : image_dataParts(*lines, ImageKind::query))
                    explained |= line.compare(0, 2, first) == 0 && line.size() > 2;
                EXPECT_TRUE(explained) << image_keyText(item, ImageKind::text);
            }
        }
    }
    EXPECT_GT(checked.size(), 15000u);
}

// Everyday words, typed with and without tones in jyutping and as braille:
// each must be offered, and most must come first.
TEST_F(Databases, EverydayWordsAreReachable) {
    std::ifstream in(std::string(TAVO_SOURCE_DIR) + "/tests/data/common_words.tsv");
    std::string line;
    int words = 0;
    std::map<std::string, int> first;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::string word = line.substr(0, line.find('\t')),
                    reading = line.substr(line.find('\t') + 1);
        std::string big5, codes, error;
        ASSERT_TRUE(image_utf8ToBig5(word, big5, error)) << error;
        ASSERT_TRUE(jyutping_encode(reading, codes, error)) << error;
        std::string toned, toneless;
        for (char c : reading) {
            if (c != ' ')
                toned += c;
            if (c != ' ' && !isdigit((unsigned char)c))
                toneless += c;
        }
        LPTSTR cells = canton_decode(1, codes.c_str());
        std::string braille = cells;
        GlobalFree(cells);
        words++;
        for (auto [name, database, key] :
             {std::tuple{"toned", vexa, toned}, std::tuple{"toneless", vexa, toneless},
              std::tuple{"braille", ruda, braille}}) {
            std::optional<std::string> data = database->find(key);
            ASSERT_TRUE(data) << word << ": no " << name << " key " << key;
            std::vector<std::string> items = Items(*data);
            auto at = std::find(items.begin(), items.end(), big5);
            ASSERT_NE(at, items.end()) << word << " is not offered for " << key;
            EXPECT_LT(at - items.begin(), 9) << word << " is not on the first page for " << key;
            first[name] += at == items.begin();
        }
    }
    EXPECT_GE(words, 50);
    std::printf("%d everyday words; first for the toned key: %d, toneless: %d, braille: %d\n",
                words, first["toned"], first["toneless"], first["braille"]);
    EXPECT_GE(first["toned"] * 10, words * 8) << "most everyday words come first";
}

} // namespace
