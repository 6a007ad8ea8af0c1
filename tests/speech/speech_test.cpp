// The speech library as the modules use it: loaded, given texts and
// stopped, with what it says captured to a log.
#include "speech/speech.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace {

typedef int(WINAPI *ReadFunction)(const char *);
typedef int(WINAPI *StopFunction)(void);

#define NEI_HOU "\xA7\x41\xA6\x6E"  // 你好
#define M_GOI "\xAD\xF8\xB8\xD3"    // 唔該
#define SIK_FAAN "\xAD\xB9\xB6\xBA" // 食飯

struct LogLine {
    std::string name;
    bool cutOff;
};

// A loaded speech library whose system directory holds a voice of tones
// for the given syllables, and whose sound goes to a capture file.
class Speech {
public:
    explicit Speech(const std::string &syllables, const char *timescale = "1") {
        static int serial = 0;
        dir = std::filesystem::temp_directory_path() /
              ("tavo-speech-" + std::to_string(getpid()) + "-" + std::to_string(serial++));
        std::filesystem::create_directories(dir);
        std::string command = std::string(TAVO_VOICE_TOOL) + " tones --syllables " + syllables +
                              " --out " + (dir / "tavo_spk.vdb").string() + " >/dev/null";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        log = (dir / "capture.wav.log").string();
        setenv("TAVO_SYSTEM_DIR", dir.c_str(), 1);
        setenv("TAVO_SOUND", ("capture:" + (dir / "capture.wav").string()).c_str(), 1);
        setenv("TAVO_SOUND_TIMESCALE", timescale, 1);
        module = LoadLibraryA(TAVO_SPEECH_LIBRARY);
        EXPECT_NE(module, nullptr);
        read = (ReadFunction)(void (*)(void))GetProcAddress(module, "speech_read");
        stop = (StopFunction)(void (*)(void))GetProcAddress(module, "speech_stop");
    }
    ~Speech() {
        FreeLibrary(module);
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }

    std::vector<LogLine> Lines() const {
        std::vector<LogLine> lines;
        std::ifstream in(log);
        for (std::string line; std::getline(in, line);) {
            std::istringstream words(line);
            std::string start, ms, name;
            words >> start >> ms >> name;
            lines.push_back({name, line.find("cut off") != std::string::npos});
        }
        return lines;
    }

    // The names said, once at least `count` sounds have ended (or 3 s).
    std::vector<LogLine> WaitForLines(size_t count) const {
        auto until = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        std::vector<LogLine> lines;
        while ((lines = Lines()).size() < count && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return lines;
    }

    // The lines, once the last of them names the syllable and nothing
    // more has come for a while (or 3 s).
    std::vector<LogLine> WaitForLast(const std::string &name) const {
        auto until = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        std::vector<LogLine> lines;
        size_t settled = 0;
        while (std::chrono::steady_clock::now() < until) {
            std::vector<LogLine> now = Lines();
            bool done = !now.empty() && now.back().name == name && !now.back().cutOff;
            settled = done && now.size() == lines.size() ? settled + 1 : 0;
            lines = now;
            if (settled >= 10)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return lines;
    }

    std::filesystem::path dir;
    std::string log;
    HMODULE module = nullptr;
    ReadFunction read = nullptr;
    StopFunction stop = nullptr;
};

std::vector<std::string> Names(const std::vector<LogLine> &lines) {
    std::vector<std::string> names;
    for (const LogLine &line : lines)
        names.push_back(line.name + (line.cutOff ? " (cut)" : ""));
    return names;
}

typedef std::vector<std::string> Strings;

TEST(SpeechLibrary, SaysEachSyllableThroughTheDictionary) {
    Speech speech("nei5,hou2,m4,goi1");
    EXPECT_EQ(speech.read(NEI_HOU), 1);
    EXPECT_EQ(Names(speech.WaitForLines(2)), Strings({"nei5", "hou2"}));
}

TEST(SpeechLibrary, SaysAReadingTypedInJyutping) {
    Speech speech("nei5,hou2");
    speech.read("nei5hou2");
    EXPECT_EQ(Names(speech.WaitForLines(2)), Strings({"nei5", "hou2"}));
}

TEST(SpeechLibrary, PrefersARecordingOfSeveralSyllables) {
    Speech speech("nei5,hou2,nei5hou2");
    speech.read(NEI_HOU "," NEI_HOU);
    std::vector<LogLine> lines = speech.WaitForLines(2);
    EXPECT_EQ(Names(lines), Strings({"nei5hou2", "nei5hou2"}));
}

TEST(SpeechLibrary, ANewTextCutsOffTheOldAtOnce) {
    Speech speech("nei5,hou2,m4,goi1");
    speech.read(NEI_HOU NEI_HOU NEI_HOU NEI_HOU NEI_HOU NEI_HOU NEI_HOU NEI_HOU);
    speech.WaitForLines(1);
    speech.read(M_GOI);
    std::vector<LogLine> lines = speech.WaitForLast("goi1");
    // What follows the new text is the new text, with at most the one
    // syllable that was playing cut off in between.
    std::vector<std::string> after;
    size_t at = 1;
    if (at < lines.size() && lines[at].cutOff)
        at++;
    for (; at < lines.size(); at++)
        after.push_back(lines[at].name);
    EXPECT_EQ(after, Strings({"m4", "goi1"})) << ::testing::PrintToString(Names(lines));
}

TEST(SpeechLibrary, StopSilencesAndForgetsThePendingText) {
    Speech speech("nei5,hou2");
    EXPECT_EQ(speech.stop(), 1) << "a stop with nothing pending";
    speech.read(NEI_HOU NEI_HOU NEI_HOU NEI_HOU);
    speech.WaitForLines(1);
    EXPECT_EQ(speech.stop(), 1);
    usleep(300000);
    EXPECT_LE(speech.Lines().size(), 2u) << ::testing::PrintToString(Names(speech.Lines()));
}

TEST(SpeechLibrary, CharactersMissingFromTheDictionaryAreNotSaid) {
    Speech speech("nei5,hou2");
    speech.read("\xF9\xFE\xF9\xFE"); // box-drawing characters, in no word
    speech.read(nullptr);            // reads as nothing
    speech.read(SIK_FAAN);           // in the dictionary, but not in this voice
    speech.read(NEI_HOU);
    EXPECT_EQ(Names(speech.WaitForLines(2)), Strings({"nei5", "hou2"}));
}

TEST(SpeechLibrary, LongTextsReplaceTheBlockAndShortOnesReuseIt) {
    Speech speech("nei5,hou2", "0.01");
    std::string text;
    for (int i = 0; i < 300; i++)
        text += NEI_HOU;
    speech.read(text.c_str());
    speech.read(NEI_HOU);
    speech.read(text.c_str());
    speech.read(NEI_HOU);
    std::vector<LogLine> lines = speech.WaitForLast("hou2");
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2].name, "nei5");
    EXPECT_LT(lines.size(), 12u) << "the long texts were cut off, not said";
}

// Loading, speaking and unloading over and over must leave nothing of the
// library in use by its worker (the sanitizer builds watch for it).
TEST(SpeechLibrary, LoadSpeakUnloadCycles) {
    std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("tavo-cycles-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    std::string command = std::string(TAVO_VOICE_TOOL) + " tones --syllables nei5,hou2 --out " +
                          (dir / "tavo_spk.vdb").string() + " >/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    setenv("TAVO_SYSTEM_DIR", dir.c_str(), 1);
    setenv("TAVO_SOUND", "silent", 1);
    setenv("TAVO_SOUND_TIMESCALE", "0.05", 1);
    for (int cycle = 0; cycle < 500; cycle++) {
        HMODULE module = LoadLibraryA(TAVO_SPEECH_LIBRARY);
        ASSERT_NE(module, nullptr) << "cycle " << cycle;
        auto read = (ReadFunction)(void (*)(void))GetProcAddress(module, "speech_read");
        read(NEI_HOU NEI_HOU);
        if (cycle % 3 == 0)
            usleep(cycle % 7 * 1000);
        ASSERT_TRUE(FreeLibrary(module));
    }
    std::filesystem::remove_all(dir);
}

} // namespace
