// The prefix-tree writer and reader together: the exact bytes the writer
// lays down, longest-prefix matching, and images that can't be trusted.
#include "dict/ptree.h"
#include "dict/treefile.h"
#include "tests/core/test_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

namespace {

WORD Word(const std::vector<BYTE> &image, size_t at) {
    return image[at] | (image[at + 1] << 8);
}

DWORD Dword(const std::vector<BYTE> &image, size_t at) {
    return image[at] | (image[at + 1] << 8) | (image[at + 2] << 16) | ((DWORD)image[at + 3] << 24);
}

// An open tree over its own copy of an image, closed at the end.
struct OpenImage {
    std::vector<BYTE> bytes;
    ptree *tree;
    explicit OpenImage(std::vector<BYTE> image)
        : bytes(std::move(image)), tree(ptree_open(bytes.data(), (DWORD)bytes.size())) {}
    ~OpenImage() { ptree_close(tree); }
    int match(const std::string &key, int n = 0) { return ptree_match(tree, key.c_str(), n); }
    std::string data() const { return ptree_data(tree) ? ptree_data(tree) : "(null)"; }
};

// The longest key of the list that is a prefix of the query.
size_t LongestPrefix(const ImageEntries &entries, const std::string &query) {
    size_t best = 0;
    for (const auto &entry : entries) {
        const std::string &key = entry.first;
        if (!key.empty() && key.size() <= query.size() && query.compare(0, key.size(), key) == 0)
            best = std::max(best, key.size());
    }
    return best;
}

TEST(TreeFile, AbcThenAbdLaysDownTheDocumentedBytes) {
    std::vector<BYTE> image = BuildImage("T", {{"abc", "1"}, {"abd", "2"}});
    const size_t first = 10 + 9 + 2;
    ASSERT_EQ(Dword(image, 2), first) << "the header's left link names the root";
    EXPECT_EQ(Word(image, 0), 0xFFFF);
    EXPECT_EQ(Dword(image, 6), 0u);

    const size_t second = first + 10 + 4 + 2;
    EXPECT_EQ(Word(image, first), 1) << "first 1 bit of the letter a";
    EXPECT_EQ(Dword(image, first + 2), 0u) << "left link null";
    EXPECT_EQ(Dword(image, first + 6), second) << "right link now points at the second node";
    EXPECT_EQ(0, memcmp(&image[first + 10],
                        "abc\0"
                        "1",
                        6));

    EXPECT_EQ(Word(image, second), 21) << "c and d differ in the sixth bit of the third byte";
    EXPECT_EQ(Dword(image, second + 2), first) << "left link back to the first node";
    EXPECT_EQ(Dword(image, second + 6), second) << "right link to itself";
    EXPECT_EQ(0, memcmp(&image[second + 10],
                        "abd\0"
                        "2",
                        6));
    EXPECT_EQ(image.size(), second + 16);
}

TEST(TreeFile, DictionaryIdentifierPutsTheFirstNodeAt44) {
    std::vector<BYTE> image = BuildImage("TAVO dictionary database", {{"\x8d\xe0", "\xbd\xb1"}});
    EXPECT_EQ(Dword(image, 2), 44u);
    EXPECT_EQ(Word(image, 44), 0) << "a key starting at 0x80 or above differs from empty at bit 0";
    EXPECT_EQ(Dword(image, 46), 0u);
    EXPECT_EQ(Dword(image, 50), 44u);
}

TEST(TreeFile, DuplicateKeysKeepTheFirstAndLeaveTheFileAlone) {
    ScratchDir dir;
    HANDLE file = CreateScratchFile(dir.path("dup.db"));
    treefile *tf = treefile_create(file, "T");
    EXPECT_EQ(treefile_insert(tf, "key", "first"), 1);
    DWORD size = GetFileSize(file, NULL);
    EXPECT_EQ(treefile_insert(tf, "key", "second"), 0);
    EXPECT_EQ(GetFileSize(file, NULL), size);
    EXPECT_EQ(treefile_insert(tf, NULL, "x"), 0);
    EXPECT_EQ(treefile_insert(NULL, "x", "x"), 0);
    EXPECT_EQ(treefile_insert(tf, std::string(8192, 'k').c_str(), "too long"), 0);
    EXPECT_EQ(GetFileSize(file, NULL), size);
    treefile_close(tf);
    CloseHandle(file);

    OpenImage image(ReadWholeFile(dir.path("dup.db")));
    EXPECT_EQ(image.match("key"), 3);
    EXPECT_EQ(image.data(), "first");
}

TEST(TreeFile, CreateEmptiesAnExistingFile) {
    ScratchDir dir;
    HANDLE file = CreateScratchFile(dir.path("old.db"));
    treefile *tf = treefile_create(file, "first identifier, rather long");
    treefile_insert(tf, "abc", "data");
    treefile_close(tf);
    tf = treefile_create(file, NULL);
    treefile_close(tf);
    EXPECT_EQ(GetFileSize(file, NULL), 10u + 9 + 1);
    CloseHandle(file);
    EXPECT_EQ(treefile_create(NULL, "T"), nullptr);
}

TEST(PrefixTree, LongestStoredPrefixWins) {
    OpenImage image(BuildImage("T", {{"ab", "two"}, {"abcd", "four"}}));
    EXPECT_EQ(image.match("abcx"), 2);
    EXPECT_EQ(image.data(), "two");
    EXPECT_EQ(image.match("abcdz"), 4);
    EXPECT_EQ(image.data(), "four");
    EXPECT_EQ(image.match("a"), 0);
    EXPECT_EQ(image.data(), "(null)") << "a failed match clears the last data";
    EXPECT_EQ(image.match("abcdz", 3), 2) << "only the first n bytes count";
    EXPECT_EQ(image.match("abcdz", -1), 0);
    EXPECT_EQ(ptree_match(image.tree, NULL, 0), 0);
}

TEST(PrefixTree, PrefixInsertedAfterLongerKeyIsItsOwnNode) {
    OpenImage image(BuildImage("T", {{"abc", "long"}, {"ab", "short"}}));
    EXPECT_EQ(image.match("ab"), 2);
    EXPECT_EQ(image.data(), "short");
    EXPECT_EQ(image.match("abcabc"), 3);
    EXPECT_EQ(image.data(), "long");
}

TEST(PrefixTree, TwoByteKeyWithLimitedLength) {
    OpenImage image(BuildImage("T", {{"\xa7\x41", "\x99\x2d"}, {"\xa7\x41\xa6\x6e", "x"}}));
    EXPECT_EQ(image.match("\xa7\x41\xa6\x6e", 2), 2);
    EXPECT_EQ(image.match("\xa7\x41\xa6\x6e"), 4);
    EXPECT_EQ(image.match("A"), 0) << "ASCII finds nothing among Big5 keys";
}

TEST(PrefixTree, EmptyTreeAndNullHandles) {
    OpenImage image(BuildImage("T", {}));
    ASSERT_NE(image.tree, nullptr);
    EXPECT_EQ(image.match("anything"), 0);
    EXPECT_EQ(ptree_match(NULL, "a", 0), 0);
    EXPECT_EQ(ptree_data(NULL), nullptr);
    EXPECT_EQ(ptree_check_id(NULL, NULL), 0);
    ptree_close(NULL);
    ptree_clearInfo(NULL);
}

TEST(PrefixTree, IdentifierCheck) {
    OpenImage image(BuildImage("TAVO phrase database", {{"nei", "\xa7\x41"}}));
    EXPECT_EQ(ptree_check_id(image.tree, NULL), 1);
    EXPECT_EQ(ptree_check_id(image.tree, "TAVO phrase database"), 1);
    EXPECT_EQ(ptree_check_id(image.tree, "TAVO userdict"), 0);
    EXPECT_EQ(ptree_check_id(image.tree, "TAVO phrase"), 0) << "the whole identifier must match";
}

TEST(PrefixTree, RejectsWhatIsNotAnImage) {
    std::vector<BYTE> image = BuildImage("T", {{"a", "b"}});
    EXPECT_EQ(ptree_open(NULL, 100), nullptr);
    EXPECT_EQ(ptree_open(image.data(), 12), nullptr) << "too short to hold the magic";
    image[12] = 'X';
    EXPECT_EQ(ptree_open(image.data(), (DWORD)image.size()), nullptr);
}

TEST(PrefixTree, DataWithZeroBytesIsStoredWhole) {
    std::string wave("\x01RIFF\0\0\0\0WAVE", 13);
    OpenImage image(BuildImage("TAVO voice database", {{"\x84\x69", wave}}));
    ASSERT_EQ(image.match("\x84\x69"), 2);
    EXPECT_EQ(0, memcmp(ptree_data(image.tree), wave.data(), wave.size() + 1));
}

// The length of data with zero bytes is what lies between its start and
// the next node record: for every node, the last one and empty data
// included, and whatever order the keys were inserted in.
TEST(PrefixTree, DataSizeCoversZeroBytesUpToTheNextNode) {
    std::string wave("\x01RIFF\0\0\0\0WAVE", 13);
    ImageEntries entries = {{"b", wave}, {"a", std::string(3, '\0')}, {"c", ""}, {"ab", "x"}};
    OpenImage image(BuildImage("TAVO voice database", entries));
    EXPECT_EQ(ptree_dataSize(image.tree), 0u) << "before any match";
    for (const auto &[key, data] : entries) {
        ASSERT_EQ(image.match(key), (int)key.size());
        EXPECT_EQ(ptree_dataSize(image.tree), data.size()) << key;
    }
    EXPECT_EQ(image.match("z"), 0);
    EXPECT_EQ(ptree_dataSize(image.tree), 0u) << "after a failed match";
    EXPECT_EQ(ptree_dataSize(NULL), 0u);
}

// Random keys over a small alphabet, inserted in random order, checked
// against a plain search for the longest prefix.
TEST(PrefixTree, AgreesWithBruteForceOnRandomKeys) {
    std::mt19937 random(20261208);
    for (int round = 0; round < 20; round++) {
        ImageEntries entries;
        std::uniform_int_distribution<int> length(1, 6), letter(0, 3);
        for (int i = 0; i < 60; i++) {
            std::string key;
            for (int n = length(random); n > 0; n--)
                key += "ab\x81\xa1"[letter(random)];
            if (std::none_of(entries.begin(), entries.end(),
                             [&](const auto &e) { return e.first == key; }))
                entries.push_back({key, "d" + key});
        }
        OpenImage image(BuildImage("T", entries));
        for (int q = 0; q < 300; q++) {
            std::string query;
            for (int n = length(random) + 2; n > 0; n--)
                query += "ab\x81\xa1"[letter(random)];
            size_t expected = LongestPrefix(entries, query);
            ASSERT_EQ(image.match(query), (int)expected) << "round " << round << " query " << query;
            if (expected > 0) {
                EXPECT_EQ(image.data(), "d" + query.substr(0, expected));
            }
        }
    }
}

TEST(PrefixTree, SortedInsertionGivesTheSameTreeAsAnyOrder) {
    ImageEntries entries = {{"b", "1"}, {"ba", "2"}, {"abc", "3"}, {"\xa4\x40", "4"}, {"a", "5"}};
    ImageEntries sorted = entries;
    std::sort(sorted.begin(), sorted.end());
    OpenImage one(BuildImage("T", entries)), other(BuildImage("T", sorted));
    for (const auto &entry : entries) {
        EXPECT_EQ(one.match(entry.first + "zz"), (int)entry.first.size());
        EXPECT_EQ(other.match(entry.first + "zz"), (int)entry.first.size());
        EXPECT_EQ(one.data(), other.data());
    }
}

// Keys that are each a prefix of the next make the deepest possible path.
TEST(PrefixTree, DegenerateChainOfPrefixes) {
    ImageEntries entries;
    for (int n = 1; n <= 2000; n++)
        entries.push_back({std::string(n, 'a'), std::to_string(n)});
    OpenImage image(BuildImage("T", entries));
    EXPECT_EQ(image.match(std::string(1500, 'a') + "b"), 1500);
    EXPECT_EQ(image.data(), "1500");
    EXPECT_EQ(image.match(std::string(3000, 'a')), 2000);
}

TEST(PrefixTree, OpenFromFileOwnsTheHandle) {
    ScratchDir dir;
    std::string path = dir.path("phrase.idb");
    HANDLE file = CreateScratchFile(path);
    treefile *tf = treefile_create(file, "TAVO phrase database");
    treefile_insert(tf, "nei", "\xa7\x41");
    treefile_close(tf);
    CloseHandle(file);

    file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_RANDOM_ACCESS, NULL);
    ptree *tree = ptree_open_handle(file);
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(ptree_match(tree, "neihou", 0), 3);
    EXPECT_STREQ(ptree_data(tree), "\xa7\x41");
    ptree_close(tree);
    EXPECT_FALSE(CloseHandle(file)) << "closing the tree closed the file";

    EXPECT_EQ(ptree_open_handle(INVALID_HANDLE_VALUE), nullptr);
    std::string empty = dir.path("empty.idb");
    CloseHandle(CreateScratchFile(empty));
    file = CreateFileA(empty.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, NULL);
    EXPECT_EQ(ptree_open_handle(file), nullptr) << "an empty file can't be mapped";
    EXPECT_FALSE(CloseHandle(file)) << "the failed open released the file";
}

// Every match over a damaged image stays inside it (ASan watches the
// exact-size copies) and only ever reports a real prefix of the query.
class DamagedImage : public ::testing::Test {
protected:
    ImageEntries entries;
    std::vector<BYTE> image;
    void SetUp() override {
        std::mt19937 random(7);
        std::uniform_int_distribution<int> byte(0x81, 0xfe), length(1, 4);
        for (int i = 0; i < 120; i++) {
            std::string key;
            for (int n = length(random); n > 0; n--)
                key += (char)byte(random), key += (char)(0x40 + i % 60);
            entries.push_back({key, std::string(1 + i % 9, (char)(0x80 + i))});
        }
        image = BuildImage("TAVO dictionary database", entries);
    }
    void MatchEverything(const std::vector<BYTE> &damaged) {
        std::vector<BYTE> copy(damaged);
        ptree *tree = ptree_open(copy.data(), (DWORD)copy.size());
        if (tree == NULL)
            return;
        for (const auto &[key, data] : entries) {
            std::string query = key + "\xa4\x40" + key;
            int found = ptree_match(tree, query.c_str(), 0);
            ASSERT_GE(found, 0);
            ASSERT_LE(found, (int)query.size());
            if (found > 0) {
                const char *d = ptree_data(tree);
                ASSERT_GE((const BYTE *)d, copy.data());
                ASSERT_LT((const BYTE *)d, copy.data() + copy.size());
                ASSERT_LE(strlen(d), (size_t)(copy.data() + copy.size() - (const BYTE *)d));
            }
        }
        ptree_close(tree);
    }
};

TEST_F(DamagedImage, EveryTruncation) {
    for (size_t size = 0; size <= image.size(); size++)
        MatchEverything(std::vector<BYTE>(image.begin(), image.begin() + size));
}

TEST_F(DamagedImage, TruncatedImageKeepsTheKeysBeforeTheCut) {
    std::vector<BYTE> half(image.begin(), image.begin() + image.size() / 2);
    OpenImage damaged(half);
    OpenImage whole(image);
    int kept = 0;
    for (const auto &entry : entries)
        kept += damaged.match(entry.first) == (int)entry.first.size();
    EXPECT_GT(kept, 0);
    EXPECT_LT(kept, (int)entries.size());
}

TEST_F(DamagedImage, RandomBytesOverwritten) {
    std::mt19937 random(11);
    std::uniform_int_distribution<size_t> where(0, image.size() - 1);
    std::uniform_int_distribution<int> value(0, 255);
    for (int round = 0; round < 400; round++) {
        std::vector<BYTE> damaged(image);
        for (int n = 1 + round % 8; n > 0; n--)
            damaged[where(random)] = (BYTE)value(random);
        MatchEverything(damaged);
    }
}

TEST_F(DamagedImage, HostileLinksAndBits) {
    std::mt19937 random(13);
    std::uniform_int_distribution<DWORD> link(0, (DWORD)image.size() + 64);
    std::vector<size_t> nodes;
    for (size_t at = Dword(image, 2); nodes.size() < 40 && at + 10 <= image.size();) {
        nodes.push_back(at);
        at += 10;
        while (at < image.size() && image[at] != 0)
            at++;
        at++;
        while (at < image.size() && image[at] != 0)
            at++;
        at++;
    }
    for (int round = 0; round < 400; round++) {
        std::vector<BYTE> damaged(image);
        size_t node = nodes[round % nodes.size()];
        DWORD target = round % 3 == 0 ? (DWORD)node : link(random); // self-loops and stray links
        for (int i = 0; i < 4; i++)
            damaged[node + 2 + 4 * (round & 1) + i] = (BYTE)(target >> (8 * i));
        if (round % 5 == 0)
            damaged[node] = damaged[node + 1] = 0xFF; // a second "header"
        if (round % 7 == 0)
            damaged[node] = 0, damaged[node + 1] = 0; // bit index that never increases
        MatchEverything(damaged);
    }
}

TEST_F(DamagedImage, UnterminatedTailNeverServesData) {
    std::vector<BYTE> damaged(image);
    size_t last = damaged.size() - 1;
    ASSERT_GT(damaged.size(), 100u);
    damaged[last] = 'x'; // the last node's data loses its terminator
    OpenImage open(damaged);
    const auto &lastEntry = entries.back();
    EXPECT_LT(open.match(lastEntry.first), (int)lastEntry.first.size());
}

} // namespace
