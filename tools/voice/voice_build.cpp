// Writing the voice database from recordings.
#include "tools/voice/voice_build.h"

#include "tools/common/image_text.h"
#include "tools/common/image_writer.h"
#include "tools/voice/parallel_jobs.h"
#include "tools/voice/voice_keys.h"

namespace {

bool RecordKey(const std::string &key, const VoiceRecorder &record, ImageEntry &entry,
               std::string &error) {
    std::string name = voice_keyName(key);
    if (name.empty()) {
        error = "the key " + image_hexText(key) + " is not reading codes";
        return false;
    }
    WaveSound sound;
    if (!record(name, sound, error)) {
        error = "recording " + name + ": " + error;
        return false;
    }
    sound.name = name;
    entry = {key, voice_data(sound), 0};
    return true;
}

// A reading being typed reaches the speech library as the letters typed
// ("nei5"), which pass its dictionary unchanged: each single syllable is
// therefore stored under its jyutping too, sharing the recording, so that
// a typed reading is heard once its syllables are complete.
void AddTypedKeys(std::vector<ImageEntry> &entries) {
    size_t recorded = entries.size();
    for (size_t i = 0; i < recorded; i++)
        if (entries[i].key.size() == 2)
            entries.push_back({voice_keyName(entries[i].key), entries[i].data, 0});
}

} // namespace

std::string voice_data(const WaveSound &sound) {
    return VOICE_MARKER + wave_image(sound);
}

bool voice_build(const std::string &path, const std::vector<std::string> &keys, unsigned jobs,
                 const VoiceRecorder &record, std::string &error) {
    std::vector<ImageEntry> entries(keys.size());
    size_t failedKey = 0;
    auto work = [&](size_t i, std::string &message) {
        return RecordKey(keys[i], record, entries[i], message);
    };
    if (!parallel_run(keys.size(), jobs, work, &failedKey, error))
        return false;
    AddTypedKeys(entries);
    image_sortEntries(entries);
    const ImageEntry *failed = nullptr;
    if (!image_writeFile(path, VOICE_DATABASE_ID, entries, error, &failed)) {
        if (failed != nullptr)
            error = voice_keyName(failed->key) + ": " + error;
        error = path + ": " + error;
        return false;
    }
    return true;
}
