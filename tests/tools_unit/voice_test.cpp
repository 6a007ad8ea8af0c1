// The voice tools: recordings trimmed, resampled and stored as waves.
#include "tools/common/jyutping.h"
#include "tools/voice/parallel_jobs.h"
#include "tools/voice/sound_edit.h"
#include "tools/voice/tone_sound.h"
#include "tools/voice/voice_build.h"
#include "tools/voice/voice_keys.h"
#include "tools/voice/wave_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <map>
#include <string>
#include <vector>

namespace {

const double kPi = std::acos(-1.0);

uint32_t Dword(const std::string &bytes, size_t at) {
    return uint32_t((unsigned char)bytes[at]) | uint32_t((unsigned char)bytes[at + 1]) << 8 |
           uint32_t((unsigned char)bytes[at + 2]) << 16 |
           uint32_t((unsigned char)bytes[at + 3]) << 24;
}

std::vector<int16_t> Sine(double hz, unsigned rate, size_t count, double amplitude = 10000) {
    std::vector<int16_t> samples;
    for (size_t i = 0; i < count; i++)
        samples.push_back(int16_t(std::lround(amplitude * std::sin(2 * kPi * hz * i / rate))));
    return samples;
}

double Rms(const std::vector<int16_t> &samples, size_t from, size_t to) {
    double sum = 0;
    for (size_t i = from; i < to; i++)
        sum += double(samples[i]) * samples[i];
    return std::sqrt(sum / (to - from));
}

WaveSound Parsed(const std::string &image) {
    WaveSound sound;
    std::string error;
    EXPECT_TRUE(waveParse(image, sound, error)) << error;
    return sound;
}

TEST(WaveFile, RoundTripsWithItsNameAndKeepsChunksAligned) {
    for (std::string name : {"nei5", "nei5hou2m", ""}) {
        WaveSound sound{16000, {0, 1, -1, 32767, -32768}, name};
        std::string image = waveImage(sound);
        EXPECT_EQ(image.compare(0, 4, "RIFF"), 0);
        EXPECT_EQ(image.compare(8, 4, "WAVE"), 0);
        EXPECT_EQ(Dword(image, 4), image.size() - 8) << name;
        EXPECT_EQ(image.size() % 2, 0u) << name;
        EXPECT_EQ(image.find("INAM") != std::string::npos, !name.empty());
        // The samples come last, so an odd name padded wrongly would shift them.
        EXPECT_EQ(image.compare(image.size() - 18, 8, std::string("data\x0A\0\0\0", 8)), 0);
        WaveSound back = Parsed(image);
        EXPECT_EQ(back.rate, 16000u);
        EXPECT_EQ(back.samples, sound.samples);
        EXPECT_EQ(back.name, name);
    }
}

TEST(WaveFile, ReadsStreamedImagesWhoseSizesRunPastTheEnd) {
    std::string image = waveImage({22050, {5, 6, 7}, ""});
    image.replace(4, 4, "\x24\xF0\xFF\x7F");                  // RIFF size as espeak-ng writes it
    image.replace(40, 4, std::string("\x00\xF0\xFF\x7F", 4)); // data size likewise
    image += '\x08';                                          // half a sample at the end
    WaveSound sound = Parsed(image);
    EXPECT_EQ(sound.rate, 22050u);
    EXPECT_EQ(sound.samples, (std::vector<int16_t>{5, 6, 7}));
}

TEST(WaveFile, RefusesWhatIsNotSixteenBitMonoPcm) {
    std::string image = waveImage({16000, {1, 2}, "si1"});
    std::string error;
    WaveSound sound;
    EXPECT_FALSE(waveParse(image.substr(0, 11), sound, error));
    std::string stereo = image;
    stereo[22] = 2;
    EXPECT_FALSE(waveParse(stereo, sound, error));
    EXPECT_EQ(error, "not 16-bit mono PCM");
    std::string noData = image.substr(0, image.find("data"));
    EXPECT_FALSE(waveParse(noData, sound, error));
    std::string shortFormat = image.substr(0, 28);
    EXPECT_FALSE(waveParse(shortFormat, sound, error));
    EXPECT_TRUE(sound.samples.empty()) << "a failed parse leaves the sound alone";
}

TEST(SoundEdit, TrimsQuietEndsButKeepsAMargin) {
    std::vector<int16_t> samples(1000, 50); // quiet noise
    samples[300] = 2000;
    samples[599] = -2000;
    soundTrimSilence(samples, 16000); // 5 ms = 80 samples of margin
    ASSERT_EQ(samples.size(), 300u + 2 * 80);
    EXPECT_EQ(samples[80], 2000);
    EXPECT_EQ(samples[379], -2000);

    std::vector<int16_t> nearEdge = {3000, 0, 0, 0, 0, 0};
    soundTrimSilence(nearEdge, 1000); // 5 samples of margin, cut at the end
    EXPECT_EQ(nearEdge.size(), 6u);

    std::vector<int16_t> silent(500, 100);
    soundTrimSilence(silent, 16000);
    EXPECT_TRUE(silent.empty());
}

TEST(SoundEdit, ResamplingKeepsThePassBandAndStopsAliases) {
    const unsigned from = 22050, to = 16000;
    std::vector<int16_t> low = soundResample(Sine(440, from, 22050), from, to);
    ASSERT_EQ(low.size(), 16000u);
    EXPECT_NEAR(Rms(low, 1000, 15000), 10000 / std::sqrt(2.0), 100);
    // The output follows the same sine at the new rate.
    std::vector<int16_t> expected = Sine(440, to, 16000);
    for (size_t i = 1000; i < 15000; i += 997)
        EXPECT_NEAR(low[i], expected[i], 150) << i;
    // 10 kHz is above the new Nyquist frequency: it must not fold back.
    std::vector<int16_t> high = soundResample(Sine(10000, from, 22050), from, to);
    EXPECT_LT(Rms(high, 1000, 15000), 100);
    EXPECT_EQ(soundResample({1, 2, 3}, to, to), (std::vector<int16_t>{1, 2, 3}));
}

TEST(ToneSound, OneShortToneForEachSyllableFadedAtItsEdges) {
    std::vector<int16_t> one = toneSamples("nei5", 16000);
    std::vector<int16_t> two = toneSamples("nei5hou2", 16000);
    EXPECT_EQ(one.size(), 16000u * kToneMs / 1000);
    EXPECT_EQ(two.size(), 2 * one.size());
    EXPECT_EQ(one.front(), 0);
    EXPECT_LT(std::abs(one.back()), 300);
    EXPECT_GT(Rms(one, 0, one.size()), 3000);
    EXPECT_NE(toneSamples("si1", 16000), toneSamples("si6", 16000));
}

TEST(VoiceKeys, ListsTakeKeysOfOneOrMoreSyllables) {
    VoiceKeys keys;
    std::string error;
    ASSERT_TRUE(voiceListKeys("nei5,hou2,nei5hou2,nei5,sik9", keys, error)) << error;
    std::vector<std::string> names;
    for (const std::string &key : keys.keys)
        names.push_back(voiceKeyName(key));
    // Distinct keys, in byte order; stop-final tones as people write them.
    EXPECT_EQ(names, (std::vector<std::string>{"nei5", "nei5hou2", "hou2", "sik6"}));
    EXPECT_FALSE(voiceListKeys("nei5,,hou2", keys, error));
    EXPECT_FALSE(voiceListKeys("nei5,xyz1", keys, error));
    EXPECT_NE(error.find("xyz1"), std::string::npos) << error;
    EXPECT_EQ(voiceKeyName("\x84"), "");
    EXPECT_EQ(voiceKeyName("ab"), "");
}

std::string Code(const std::string &jyutping) {
    std::string code, error;
    EXPECT_TRUE(jyutpingEncode(jyutping, code, error)) << error;
    return code;
}

// A voice's keys and what each plays, named in toned jyutping.
struct AliasedVoice {
    std::map<std::string, std::string> keys;
    VoiceAliasStats stats;

    AliasedVoice(const std::string &syllables, const UsualTones &tones) {
        VoiceKeys recorded;
        std::string error;
        EXPECT_TRUE(voiceListKeys(syllables, recorded, error)) << error;
        for (const std::string &code : voiceDigitCodes()) // as tavovoice records them
            if (std::find(recorded.keys.begin(), recorded.keys.end(), code) == recorded.keys.end())
                recorded.keys.push_back(code);
        std::sort(recorded.keys.begin(), recorded.keys.end());
        for (const std::string &code : recorded.keys)
            keys[code] = voiceKeyName(code);
        for (const VoiceAlias &alias : voiceAliases(recorded.keys, tones, stats))
            keys[alias.key] = voiceKeyName(alias.code);
    }

    std::string plays(const std::string &key) const {
        auto found = keys.find(key);
        return found == keys.end() ? "(no key)" : found->second;
    }

    // What the speech worker says for a text: at each point the longest key
    // that begins the rest, or one byte passed over in silence.
    std::string heard(const std::string &text) const {
        std::string said;
        for (size_t at = 0; at < text.size();) {
            size_t length = text.size() - at;
            while (length > 0 && !keys.count(text.substr(at, length)))
                length--;
            if (length == 0) {
                at++;
                continue;
            }
            said += (said.empty() ? "" : " ") + keys.at(text.substr(at, length));
            at += length;
        }
        return said;
    }
};

const char kSyllables[] = "nei5,si1,si6,sing1,sing6,baa1,aa1,ung1,ung3,ke4,ge1,faa1,jat1";

TEST(VoiceAliases, TypedSpellingsShareTheRecordings) {
    AliasedVoice voice(kSyllables, {{"si", Code("si6")}});
    // Toned jyutping, toneless jyutping (the most frequent tone, or the
    // lowest recorded without one), braille cells.
    EXPECT_EQ(voice.plays("nei5"), "nei5");
    EXPECT_EQ(voice.plays("nei"), "nei5");
    EXPECT_EQ(voice.plays("ung"), "ung1");
    EXPECT_EQ(voice.plays("nh,"), "nei5");
    EXPECT_EQ(voice.plays("s0"), "sing1");
    EXPECT_EQ(voice.plays("s01"), "sing6");
    // The digits as candidate numbers.
    EXPECT_EQ(voice.plays("0 "), "ling4");
    EXPECT_EQ(voice.plays("1 "), "jat1");
    EXPECT_EQ(voice.plays("9 "), "gau2");
    EXPECT_EQ(voice.plays("1"), "(no key)");
    // The longest key wins: a toned key before its toneless prefix.
    EXPECT_EQ(voice.heard("nei5"), "nei5");
    EXPECT_EQ(voice.heard("sing6"), "sing6");
    EXPECT_EQ(voice.heard("sing"), "sing1");
}

TEST(VoiceAliases, JyutpingKeepsTheKeysBrailleSpellsAlike) {
    AliasedVoice voice(kSyllables, {{"si", Code("si6")}});
    // "si1" is si6 in braille; "ke" is ge1 there.
    EXPECT_EQ(voice.plays("si1"), "si1");
    EXPECT_EQ(voice.plays("ke"), "ke4");
    // "si" is the same syllable in both: braille's exact tone 1 serves both.
    EXPECT_EQ(voice.plays("si"), "si1");
    // "b" (aa1 in braille) would be heard in the middle of typing baa1.
    EXPECT_EQ(voice.plays("b"), "(no key)");
    EXPECT_EQ(voice.plays("fb"), "faa1");
    auto has = [](const std::vector<std::string> &list, const std::string &entry) {
        return std::find(list.begin(), list.end(), entry) != list.end();
    };
    EXPECT_TRUE(has(voice.stats.brailleShadowed, "si1 si6"));
    EXPECT_TRUE(has(voice.stats.brailleShadowed, "ke ge1"));
    EXPECT_TRUE(has(voice.stats.brailleBeginsJyutping, "b aa1"));
}

TEST(VoiceAliases, ADigitCellOfABrailleReadingIsNeverHeardAsANumber) {
    AliasedVoice voice(kSyllables, {});
    // Readings complete and cut short: sing6 (s 0 1), ung3 (8 @), and cells
    // that spell no syllable (f 6: f with the final im).
    EXPECT_EQ(voice.heard("s01"), "sing6");
    EXPECT_EQ(voice.heard("s0"), "sing1");
    EXPECT_EQ(voice.heard("s0s01"), "sing1 sing6");
    EXPECT_EQ(voice.heard("8@"), "ung3");
    EXPECT_EQ(voice.heard("8"), "ung1");
    EXPECT_EQ(voice.heard("f6"), "");
    EXPECT_EQ(voice.heard("s01f"), "sing6");
    // On a page each number is followed by its space.
    EXPECT_EQ(voice.heard("1 " + Code("nei5") + "   2 " + Code("si1")), "jat1 nei5 ji6 si1");
}

TEST(VoiceBuild, DataIsTheMarkerThenTheWave) {
    WaveSound sound{16000, {1, 2}, "m4"};
    std::string data = voiceData(sound);
    ASSERT_NE(data[0], '\0');
    EXPECT_EQ(data[0], VOICE_MARKER);
    EXPECT_EQ(data.substr(1), waveImage(sound));
}

TEST(ParallelJobs, RunsEveryItemOnceAndReportsTheFirstFailure) {
    std::vector<std::atomic<int>> runs(200);
    size_t failed = 99;
    std::string error;
    auto count = [&](size_t item, std::string &) { return ++runs[item] > 0; };
    ASSERT_TRUE(parallelRun(runs.size(), 4, count, &failed, error));
    for (auto &item : runs)
        EXPECT_EQ(item, 1);
    EXPECT_EQ(failed, 99u) << "untouched on success";

    auto failSome = [](size_t item, std::string &message) {
        message = "item " + std::to_string(item);
        return item != 7 && item != 3;
    };
    EXPECT_FALSE(parallelRun(10, 1, failSome, &failed, error));
    EXPECT_EQ(failed, 3u);
    EXPECT_EQ(error, "item 3");
    EXPECT_TRUE(parallelRun(0, 3, failSome, &failed, error));
}

} // namespace
