// The keys of the voice database, and the recording each stands for.
#include "tools/voice/voice_keys.h"

#include <algorithm>
#include <set>

#include "dict/ptree.h"
#include "frame/canton.h"
#include "tools/common/image_text.h"
#include "tools/common/image_walk.h"
#include "tools/common/jyutping.h"
#include "tools/common/tool_files.h"

namespace {

const char kDictionaryId[] = "TAVO dictionary database";
const char kPhraseId[] = "TAVO phrase database";

// The digits as a Cantonese speaker counts them.
const char *const kDigitSyllables[10] = {"ling4", "jat1", "ji6",  "saam1", "sei3",
                                         "ng5",   "luk6", "cat1", "baat3", "gau2"};

// Adds the codes of one reading; false when it holds anything else.
bool addCodes(const std::string &reading, std::set<std::string> &codes) {
    if (reading.empty() || reading.size() % 2 != 0)
        return false;
    std::set<std::string> found;
    for (size_t i = 0; i < reading.size(); i += 2) {
        if (!imageReadingText(reading[i], reading[i + 1]))
            return false;
        found.insert(reading.substr(i, 2));
    }
    codes.insert(found.begin(), found.end());
    return true;
}

void collectCodes(const ImageWalk &walk, VoiceKeys &keys) {
    std::set<std::string> codes;
    for (const ImageNode &node : walk.nodes) {
        for (const std::string &reading : imageDataParts(node.data, ImageKind::readings)) {
            if (addCodes(reading, codes))
                continue;
            if (keys.badReadings++ == 0)
                keys.firstBad = imageKeyText(node.key, ImageKind::readings) + "\t" +
                                imageBytesText(reading, true);
        }
    }
    keys.keys.assign(codes.begin(), codes.end());
}

std::vector<std::string> splitList(const std::string &list) {
    std::vector<std::string> items(1);
    for (char c : list) {
        if (c == ',')
            items.emplace_back();
        else
            items.back() += c;
    }
    return items;
}

// A prefix tree opened from a file and checked for its identifier.
ptree *openTree(const std::string &path, const char *id, std::string &error) {
    HANDLE file = toolOpenForReading(path);
    if (file == INVALID_HANDLE_VALUE) {
        error = path + ": cannot open: " + toolLastError();
        return nullptr;
    }
    ptree *tree = ptree_open_handle(file);
    if (!ptree_check_id(tree, id)) {
        error = path + ": not a \"" + id + "\" image";
        ptree_close(tree);
        return nullptr;
    }
    return tree;
}

std::string toneless(const std::string &jyutping) {
    std::string letters = jyutping;
    letters.erase(std::remove_if(letters.begin(), letters.end(), ::isdigit), letters.end());
    return letters;
}

std::string brailleSpelling(const std::string &code) {
    LPTSTR cells = canton_decode(1, code.c_str());
    std::string spelling = cells;
    GlobalFree(cells);
    std::transform(spelling.begin(), spelling.end(), spelling.begin(), ::tolower);
    return spelling;
}

// The text of a candidate item, without an explanation it carries.
std::string itemText(const std::string &data) {
    std::string item = data.substr(0, data.find('\t'));
    size_t bar = item.find('|', 2);
    return bar == 2 ? item.substr(0, 2) : item;
}

// The reading code of the first candidate for the toneless syllable, from
// the readings the dictionary gives it; empty when there is none.
std::string firstCandidateCode(ptree *phrases, ptree *dictionary, const std::string &letters) {
    if (ptree_match(phrases, letters.c_str(), 0) != (int)letters.size())
        return "";
    std::string character = itemText(ptree_data(phrases));
    if (character.size() != 2 ||
        ptree_match(dictionary, character.c_str(), 0) != (int)character.size())
        return "";
    for (const std::string &reading : imageDataParts(ptree_data(dictionary), ImageKind::readings))
        if (reading.size() == 2 && toneless(voiceKeyName(reading)) == letters)
            return reading;
    return "";
}

// Whether some key of the table begins with key and is longer.
bool beginsALongerKey(const std::map<std::string, std::string> &table, const std::string &key) {
    auto next = table.upper_bound(key);
    return next != table.end() && next->first.compare(0, key.size(), key) == 0;
}

// Adds the braille spelling of code where it does not take a jyutping
// spelling's place (see voiceAliases); true when it was added.
bool addBraille(std::map<std::string, std::string> &table,
                const std::map<std::string, std::string> &jyutping, const std::string &code,
                VoiceAliasStats &stats) {
    std::string key = brailleSpelling(code), name = voiceKeyName(code);
    std::string entry = key + " " + name;
    if (jyutping.count(key)) {
        // "si" is si1 in braille and si in jyutping: the braille tone is exact.
        if (toneless(name) != key) {
            stats.brailleShadowed.push_back(entry);
            return false;
        }
    } else if (beginsALongerKey(jyutping, key)) {
        stats.brailleBeginsJyutping.push_back(entry);
        return false;
    } else if (table.count(key)) {
        stats.brailleShadowed.push_back(entry); // two codes spelt alike: the first keeps it
        return false;
    }
    table[key] = code;
    return true;
}

} // namespace

std::vector<std::string> voiceDigitCodes() {
    std::vector<std::string> codes;
    for (const char *syllable : kDigitSyllables) {
        std::string code, error;
        jyutpingEncode(syllable, code, error);
        codes.push_back(code);
    }
    return codes;
}

bool voiceUsualTones(const std::string &phrasesPath, const std::string &dictionaryPath,
                     UsualTones &tones, std::string &error) {
    ptree *phrases = openTree(phrasesPath, kPhraseId, error);
    ptree *dictionary = phrases ? openTree(dictionaryPath, kDictionaryId, error) : nullptr;
    if (dictionary == nullptr) {
        ptree_close(phrases);
        return false;
    }
    ImageWalk walk = walkImage(dictionary, false);
    std::set<std::string> letters;
    for (const ImageNode &node : walk.nodes)
        for (const std::string &reading : imageDataParts(node.data, ImageKind::readings))
            for (size_t i = 0; i + 1 < reading.size(); i += 2)
                letters.insert(toneless(voiceKeyName(reading.substr(i, 2))));
    tones.clear();
    for (const std::string &syllable : letters) {
        std::string code = firstCandidateCode(phrases, dictionary, syllable);
        if (!code.empty())
            tones[syllable] = code;
    }
    ptree_close(dictionary);
    ptree_close(phrases);
    return true;
}

std::vector<VoiceAlias> voiceAliases(const std::vector<std::string> &keys, const UsualTones &tones,
                                     VoiceAliasStats &stats) {
    stats = VoiceAliasStats();
    std::set<std::string> recorded(keys.begin(), keys.end());
    std::map<std::string, std::string> jyutping, lowestTone;
    std::vector<std::string> syllables;
    for (const std::string &code : keys) {
        std::string name = voiceKeyName(code);
        if (code.size() != 2 || name.empty())
            continue;
        syllables.push_back(code);
        jyutping[name] = code;
        stats.toned++;
        lowestTone.emplace(toneless(name), code); // keys come in byte order: lowest tone first
    }
    for (const auto &[letters, lowest] : lowestTone) {
        auto usual = tones.find(letters);
        bool known = usual != tones.end() && recorded.count(usual->second);
        jyutping[letters] = known ? usual->second : lowest;
        stats.toneless++;
    }
    std::map<std::string, std::string> table = jyutping;
    for (const std::string &code : syllables)
        stats.braille += addBraille(table, jyutping, code, stats);
    std::vector<std::string> digits = voiceDigitCodes();
    for (size_t i = 0; i < digits.size(); i++) {
        if (recorded.count(digits[i])) {
            table[std::string(1, char('0' + i)) + " "] = digits[i];
            stats.digits++;
        }
    }
    std::vector<VoiceAlias> aliases;
    for (const auto &[key, code] : table)
        aliases.push_back({key, code});
    return aliases;
}

bool voiceDictionaryKeys(const std::string &path, VoiceKeys &keys, std::string &error) {
    ptree *tree = openTree(path, kDictionaryId, error);
    if (tree == nullptr)
        return false;
    ImageWalk walk = walkImage(tree, false);
    ptree_close(tree);
    if (walk.damaged > 0) {
        error = path + ": the image is damaged";
        return false;
    }
    keys = VoiceKeys();
    collectCodes(walk, keys);
    return true;
}

bool voiceListKeys(const std::string &list, VoiceKeys &keys, std::string &error) {
    std::set<std::string> found;
    for (const std::string &item : splitList(list)) {
        std::string codes;
        if (!jyutpingEncode(item, codes, error)) {
            error = "--syllables: " + error;
            return false;
        }
        found.insert(codes);
    }
    keys = VoiceKeys();
    keys.keys.assign(found.begin(), found.end());
    return true;
}

std::string voiceKeyName(const std::string &key) {
    if (key.empty() || key.size() % 2 != 0)
        return "";
    std::string name;
    for (size_t i = 0; i < key.size(); i += 2) {
        auto syllable = imageReadingText(key[i], key[i + 1]);
        if (!syllable)
            return "";
        name += *syllable;
    }
    return name;
}
