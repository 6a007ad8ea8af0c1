// Writing the voice database from recordings.
#include "tools/voice/voice_build.h"

#include <map>

#include "tools/common/image_text.h"
#include "tools/common/image_writer.h"
#include "tools/voice/parallel_jobs.h"
#include "tools/voice/voice_keys.h"

namespace {

bool recordKey(const std::string &key, const VoiceRecorder &record, ImageEntry &entry,
               std::string &error) {
    std::string name = voiceKeyName(key);
    if (name.empty()) {
        error = "the key " + imageHexText(key) + " is not reading codes";
        return false;
    }
    WaveSound sound;
    if (!record(name, sound, error)) {
        error = "recording " + name + ": " + error;
        return false;
    }
    sound.name = name;
    entry = {key, voiceData(sound), 0};
    return true;
}

// The aliases share the recordings of their codes: a typed reading, or a
// candidate's number, reaches the speech library as the bytes typed, which
// pass its dictionary unchanged.
bool addAliases(std::vector<ImageEntry> &entries, const std::vector<VoiceAlias> &aliases,
                std::string &error) {
    std::map<std::string, size_t> recorded;
    for (size_t i = 0; i < entries.size(); i++)
        recorded[entries[i].key] = i;
    for (const VoiceAlias &alias : aliases) {
        auto found = recorded.find(alias.code);
        if (found == recorded.end()) {
            error = "the alias \"" + alias.key + "\" names " + imageHexText(alias.code) +
                    ", which is not recorded";
            return false;
        }
        entries.push_back({alias.key, entries[found->second].data, 0});
    }
    return true;
}

} // namespace

std::string voiceData(const WaveSound &sound) {
    return VOICE_MARKER + waveImage(sound);
}

bool voiceBuild(const std::string &path, const std::vector<std::string> &keys,
                const std::vector<VoiceAlias> &aliases, unsigned jobs, const VoiceRecorder &record,
                std::string &error) {
    std::vector<ImageEntry> entries(keys.size());
    size_t failedKey = 0;
    auto work = [&](size_t i, std::string &message) {
        return recordKey(keys[i], record, entries[i], message);
    };
    if (!parallelRun(keys.size(), jobs, work, &failedKey, error))
        return false;
    if (!addAliases(entries, aliases, error))
        return false;
    imageSortEntries(entries);
    const ImageEntry *failed = nullptr;
    if (!imageWriteFile(path, VOICE_DATABASE_ID, entries, error, &failed)) {
        if (failed != nullptr)
            error = voiceKeyName(failed->key) + ": " + error;
        error = path + ": " + error;
        return false;
    }
    return true;
}
