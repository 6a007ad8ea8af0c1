// PlaySound: sounds from memory and resources, synchronous and not, and
// cutting one off.
#include "platform/platform.h"
#include "tests/platform/scratch_folder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using Bytes = std::vector<BYTE>;

void put16(Bytes &out, unsigned value) {
    out.push_back(BYTE(value));
    out.push_back(BYTE(value >> 8));
}

void put32(Bytes &out, DWORD value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

void putChunk(Bytes &out, const char *tag, const Bytes &body) {
    out.insert(out.end(), tag, tag + 4);
    put32(out, DWORD(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    if (body.size() % 2)
        out.push_back(0);
}

struct Format {
    WORD tag = 1;
    WORD channels = 1;
    DWORD rate = 11025;
    WORD bits = 8;
    WORD blockAlign = 1;
    Bytes extra; // cbSize and what follows
};

// A RIFF WAVE image: fmt, data, and a LIST/INFO/INAM chunk when named.
Bytes wave(const Format &f, const Bytes &samples, const std::string &name = "") {
    Bytes fmt;
    put16(fmt, f.tag);
    put16(fmt, f.channels);
    put32(fmt, f.rate);
    put32(fmt, f.rate * f.blockAlign);
    put16(fmt, f.blockAlign);
    put16(fmt, f.bits);
    fmt.insert(fmt.end(), f.extra.begin(), f.extra.end());
    Bytes body = {'W', 'A', 'V', 'E'};
    putChunk(body, "fmt ", fmt);
    putChunk(body, "data", samples);
    if (!name.empty()) {
        Bytes info = {'I', 'N', 'F', 'O'};
        putChunk(info, "INAM", Bytes(name.begin(), name.end() + 1));
        putChunk(body, "LIST", info);
    }
    Bytes image;
    putChunk(image, "RIFF", body);
    return image;
}

// 8-bit mono 8 kHz, every sample at level.
Bytes tone8(unsigned milliseconds, BYTE level = 200, const std::string &name = "") {
    return wave(Format{1, 1, 8000, 8, 1, {}}, Bytes(8 * milliseconds, level), name);
}

BOOL playMemory(const Bytes &image, DWORD flags = SND_SYNC) {
    return PlaySoundA(reinterpret_cast<LPCSTR>(image.data()), nullptr, SND_MEMORY | flags);
}

std::string readFile(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

std::vector<std::string> lines(const std::string &text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        result.push_back(line);
    return result;
}

DWORD dwordAt(const std::string &bytes, size_t offset) {
    DWORD value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | BYTE(bytes[offset + i]);
    return value;
}

int16_t sampleAt(const std::string &wav, size_t index) {
    return int16_t(BYTE(wav[44 + 2 * index]) | BYTE(wav[45 + 2 * index]) << 8);
}

// Every sound goes to a capture file of the test's own; times are scaled
// by 1/100 unless a test needs them real.
class Sounds : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("TAVO_SOUND", ("capture:" + capture()).c_str(), 1);
        setenv("TAVO_SOUND_TIMESCALE", "0.01", 1);
    }
    void TearDown() override {
        PlaySoundA(nullptr, nullptr, 0);
        setenv("TAVO_SOUND", "silent", 1);
        unsetenv("TAVO_SOUND_TIMESCALE");
    }

    std::string capture() const { return folder.file("capture.wav"); }
    std::vector<std::string> log() const { return lines(readFile(capture() + ".log")); }

    // Waits up to five seconds for the log to have count lines.
    std::vector<std::string> logOf(size_t count) const {
        for (int i = 0; i < 5000 && log().size() < count; ++i)
            Sleep(1);
        return log();
    }

    ScratchFolder folder;
};

TEST_F(Sounds, CaptureRecordsSamplesAndLogsEachSound) {
    ASSERT_TRUE(playMemory(tone8(100, 200, "nei5")));
    std::string wav = readFile(capture());
    ASSERT_EQ(wav.size(), 44u + 1600 * 2); // 100 ms at 16 kHz
    EXPECT_EQ(wav.substr(0, 4), "RIFF");
    EXPECT_EQ(dwordAt(wav, 4), wav.size() - 8);
    EXPECT_EQ(dwordAt(wav, 24), 16000u);
    EXPECT_EQ(dwordAt(wav, 40), 3200u);
    EXPECT_EQ(sampleAt(wav, 800), (200 - 128) * 256);

    // 16-bit stereo 22050 Hz, mixed to mono; no name.
    Bytes stereo;
    for (int i = 0; i < 2205; ++i) {
        put16(stereo, 1000);
        put16(stereo, WORD(-3000));
    }
    ASSERT_TRUE(playMemory(wave({1, 2, 22050, 16, 4, {}}, stereo)));
    wav = readFile(capture());
    ASSERT_EQ(wav.size(), 44u + 3200 * 2);
    EXPECT_EQ(dwordAt(wav, 40), 6400u);
    EXPECT_EQ(sampleAt(wav, 2000), -1000);

    auto entries = log();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0], "0 ms  nei5  played 100 ms of 100 ms");
    EXPECT_NE(entries[1].find("  memory  played 100 ms of 100 ms"), std::string::npos);
}

TEST_F(Sounds, TimeScaleShortensTheWaitNotTheLoggedTimes) {
    auto start = Clock::now();
    ASSERT_TRUE(playMemory(tone8(2000)));
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(1000));
    EXPECT_EQ(log().at(0), "0 ms  memory  played 2000 ms of 2000 ms");
}

TEST_F(Sounds, StopFromAnotherThreadCutsOffASynchronousPlayAtOnce) {
    setenv("TAVO_SOUND_TIMESCALE", "1", 1);
    Clock::time_point returned;
    BOOL result = FALSE;
    std::atomic<bool> playing{false};
    std::thread player([&] {
        playing = true;
        result = playMemory(tone8(2000));
        returned = Clock::now();
    });
    while (!playing)
        Sleep(1);
    Sleep(100);
    auto stopped = Clock::now();
    EXPECT_TRUE(PlaySoundA(nullptr, nullptr, 0));
    player.join();
    EXPECT_TRUE(result);
    // Well short of the two seconds the sound lasts, with room for a busy
    // machine.
    EXPECT_LT(returned - stopped, std::chrono::milliseconds(250));

    auto entries = log();
    ASSERT_EQ(entries.size(), 1u);
    unsigned played = 0;
    ASSERT_EQ(
        std::sscanf(entries[0].c_str(), "0 ms  memory  cut off after %u ms of 2000 ms", &played), 1)
        << entries[0];
    // Most of the wait: the playing thread may yet start late on a busy
    // machine.
    EXPECT_GE(played, 50u);
    EXPECT_LT(played, 1000u);
    size_t samples = (readFile(capture()).size() - 44) / 2;
    EXPECT_NEAR(double(samples), played * 16.0, 16.0);
}

TEST_F(Sounds, ANewSoundCutsOffTheOnePlaying) {
    setenv("TAVO_SOUND_TIMESCALE", "1", 1);
    ASSERT_TRUE(playMemory(tone8(2000, 200, "long"), SND_ASYNC));
    Sleep(50);
    auto start = Clock::now();
    ASSERT_TRUE(playMemory(tone8(100, 100, "short")));
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(1000));
    auto entries = logOf(2);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_NE(entries[0].find("  long  cut off after "), std::string::npos) << entries[0];
    EXPECT_NE(entries[1].find("  short  played 100 ms of 100 ms"), std::string::npos) << entries[1];
}

TEST_F(Sounds, AsynchronousPlayOwnsItsCopyOfTheImage) {
    Bytes *image = new Bytes(tone8(300, 200, "copied"));
    ASSERT_TRUE(playMemory(*image, SND_ASYNC));
    delete image;
    auto entries = logOf(1);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0], "0 ms  copied  played 300 ms of 300 ms");
}

TEST_F(Sounds, GsmPlaysAsSilenceOfItsDuration) {
    Format gsm{0x31, 1, 8000, 0, 65, {2, 0, 0x40, 0x01}}; // 320 samples per block
    ASSERT_TRUE(playMemory(wave(gsm, Bytes(65 * 25, 0x55))));
    EXPECT_EQ(log().at(0), "0 ms  memory  played 1000 ms of 1000 ms");
    std::string wav = readFile(capture());
    ASSERT_EQ(wav.size(), 44u + 16000 * 2);
    EXPECT_EQ(sampleAt(wav, 8000), 0);
}

TEST_F(Sounds, WaveResourcesOfAModulePlay) {
    HMODULE module = LoadLibraryA(TAVO_TEST_MODULE_DIR "/tavo_testmod_base.so");
    ASSERT_NE(module, nullptr);
    EXPECT_TRUE(PlaySoundA("SAMPLE", module, SND_RESOURCE));
    EXPECT_TRUE(PlaySoundW(u"sample", module, SND_RESOURCE | SND_ASYNC));
    auto entries = logOf(2);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0], "0 ms  SAMPLE  played 2 ms of 2 ms");
    EXPECT_NE(entries[1].find("  sample  played 2 ms of 2 ms"), std::string::npos);
    EXPECT_EQ(readFile(capture()).size(), 44u + 2 * 32 * 2); // 16 samples at 8 kHz, twice
    FreeLibrary(module);
}

TEST_F(Sounds, MissingSoundsPlayTheDefaultUnlessTold) {
    EXPECT_FALSE(PlaySoundA(MAKEINTRESOURCEA(999), nullptr, SND_RESOURCE | SND_NODEFAULT));
    EXPECT_FALSE(PlaySoundW(u"NoSuchAlias", nullptr, SND_NODEFAULT));
    EXPECT_TRUE(log().empty());
    EXPECT_FALSE(PlaySoundA(MAKEINTRESOURCEA(999), nullptr, SND_RESOURCE));
    ASSERT_EQ(log().size(), 1u);
    EXPECT_NE(log()[0].find("  default  played "), std::string::npos);
}

TEST_F(Sounds, DamagedImagesFailWithoutHarm) {
    setenv("TAVO_SOUND", "silent", 1);
    setenv("TAVO_SOUND_TIMESCALE", "0.0001", 1);
    const Bytes whole = wave({1, 2, 11025, 16, 4, {}}, Bytes(400, 7), "name");
    const size_t endOfData = 12 + 24 + 8 + 400;
    // Cut short, with the RIFF size telling the truth about the rest, in a
    // buffer of exactly that size.
    for (size_t size = 8; size < whole.size(); ++size) {
        Bytes cut(whole.begin(), whole.begin() + size);
        cut[4] = BYTE(size - 8);
        cut[5] = BYTE((size - 8) >> 8);
        cut[6] = cut[7] = 0;
        BOOL played = playMemory(cut, SND_NODEFAULT);
        if (size < endOfData) {
            EXPECT_FALSE(played) << size;
        }
    }
    // Any byte after the RIFF size changed, one at a time.
    for (size_t at = 8; at < whole.size(); ++at)
        for (BYTE value : {0x00, 0x01, 0x7F, 0x80, 0xFF}) {
            Bytes damaged = whole;
            damaged[at] = value;
            playMemory(damaged, SND_NODEFAULT);
        }
    EXPECT_FALSE(playMemory(wave({1, 1, 11025, 24, 3, {}}, Bytes(30))));   // 24-bit
    EXPECT_FALSE(playMemory(wave({2, 1, 11025, 4, 256, {}}, Bytes(512)))); // ADPCM
    EXPECT_FALSE(playMemory(wave({1, 1, 0, 8, 1, {}}, Bytes(30))));        // no rate
    const char notWave[] = "RIFF\4\0\0\0AVI ";
    EXPECT_FALSE(PlaySoundA(notWave, nullptr, SND_MEMORY));
}

TEST(SilentSound, LastsAsLongAsTheSound) {
    setenv("TAVO_SOUND", "silent", 1);
    unsetenv("TAVO_SOUND_TIMESCALE");
    auto start = Clock::now();
    ASSERT_TRUE(playMemory(tone8(120)));
    auto elapsed = Clock::now() - start;
    EXPECT_GE(elapsed, std::chrono::milliseconds(119));
    EXPECT_LT(elapsed, std::chrono::milliseconds(1000));
}

} // namespace
