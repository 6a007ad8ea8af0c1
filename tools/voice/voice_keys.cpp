// The keys of the voice database, and the recording each stands for.
#include "tools/voice/voice_keys.h"

#include <set>

#include "dict/ptree.h"
#include "tools/common/image_text.h"
#include "tools/common/image_walk.h"
#include "tools/common/jyutping.h"
#include "tools/common/tool_files.h"

namespace {

const char kDictionaryId[] = "TAVO dictionary database";

// Adds the codes of one reading; false when it holds anything else.
bool AddCodes(const std::string &reading, std::set<std::string> &codes) {
    if (reading.empty() || reading.size() % 2 != 0)
        return false;
    std::set<std::string> found;
    for (size_t i = 0; i < reading.size(); i += 2) {
        if (!image_readingText(reading[i], reading[i + 1]))
            return false;
        found.insert(reading.substr(i, 2));
    }
    codes.insert(found.begin(), found.end());
    return true;
}

void CollectCodes(const ImageWalk &walk, VoiceKeys &keys) {
    std::set<std::string> codes;
    for (const ImageNode &node : walk.nodes) {
        for (const std::string &reading : image_dataParts(node.data, ImageKind::readings)) {
            if (AddCodes(reading, codes))
                continue;
            if (keys.badReadings++ == 0)
                keys.firstBad = image_keyText(node.key, ImageKind::readings) + "\t" +
                                image_bytesText(reading, true);
        }
    }
    keys.keys.assign(codes.begin(), codes.end());
}

std::vector<std::string> SplitList(const std::string &list) {
    std::vector<std::string> items(1);
    for (char c : list) {
        if (c == ',')
            items.emplace_back();
        else
            items.back() += c;
    }
    return items;
}

} // namespace

bool voice_dictionaryKeys(const std::string &path, VoiceKeys &keys, std::string &error) {
    HANDLE file = tool_openForReading(path);
    if (file == INVALID_HANDLE_VALUE) {
        error = path + ": cannot open: " + tool_lastError();
        return false;
    }
    ptree *tree = ptree_open_handle(file);
    if (!ptree_check_id(tree, kDictionaryId)) {
        error = path + ": not a \"" + kDictionaryId + "\" image";
        ptree_close(tree);
        return false;
    }
    ImageWalk walk = walkImage(tree, false);
    ptree_close(tree);
    if (walk.damaged > 0) {
        error = path + ": the image is damaged";
        return false;
    }
    keys = VoiceKeys();
    CollectCodes(walk, keys);
    return true;
}

bool voice_listKeys(const std::string &list, VoiceKeys &keys, std::string &error) {
    std::set<std::string> found;
    for (const std::string &item : SplitList(list)) {
        std::string codes;
        if (!jyutping_encode(item, codes, error)) {
            error = "--syllables: " + error;
            return false;
        }
        found.insert(codes);
    }
    keys = VoiceKeys();
    keys.keys.assign(found.begin(), found.end());
    return true;
}

std::string voice_keyName(const std::string &key) {
    if (key.empty() || key.size() % 2 != 0)
        return "";
    std::string name;
    for (size_t i = 0; i < key.size(); i += 2) {
        auto syllable = image_readingText(key[i], key[i + 1]);
        if (!syllable)
            return "";
        name += *syllable;
    }
    return name;
}
