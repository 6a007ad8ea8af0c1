// The speech library as the modules use it: loaded, given texts and
// stopped, with what it says captured to a log.
#include "speech/speech.h"
#include "dict/treefile.h"

#include <gtest/gtest.h>

#include <atomic>
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

// Keys of a voice database and their data, in the order of insertion.
typedef std::vector<std::pair<std::string, std::string>> VoiceEntries;

// A loaded speech library whose system directory holds a voice of tones
// for the given syllables (or the given entries), and whose sound goes to
// a capture file.
class Speech {
public:
    explicit Speech(const std::string &syllables, const char *timescale = "1") {
        MakeFolder();
        std::string command = std::string(TAVO_VOICE_TOOL) + " tones --syllables " + syllables +
                              " --out " + (dir / "tavo_spk.vdb").string() + " >/dev/null";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        Load(timescale);
    }
    explicit Speech(const VoiceEntries &voice) {
        MakeFolder();
        std::string path = (dir / "tavo_spk.vdb").string();
        HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, NULL,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
        treefile *tf = treefile_create(file, "TAVO voice database");
        for (const auto &[key, data] : voice)
            treefile_insertData(tf, key.c_str(), data.data(), (DWORD)data.size());
        treefile_close(tf);
        CloseHandle(file);
        Load("1");
    }
    void MakeFolder() {
        static int serial = 0;
        dir = std::filesystem::temp_directory_path() /
              ("tavo-speech-" + std::to_string(getpid()) + "-" + std::to_string(serial++));
        std::filesystem::create_directories(dir);
    }
    void Load(const char *timescale) {
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

void PutDword(std::string &bytes, uint32_t value) {
    for (int i = 0; i < 4; i++)
        bytes += char(value >> (8 * i));
}

// A voice key's data: the skipped byte, then a WAVE image of 16-bit mono
// silence whose RIFF and data sizes say what the arguments say, then
// padding.
std::string Recording(size_t samples, uint32_t claimedData, size_t padding = 0) {
    std::string bytes = "W";
    bytes += "RIFF";
    PutDword(bytes, 36 + claimedData);
    bytes += "WAVEfmt ";
    PutDword(bytes, 16);
    bytes += std::string("\x01\x00\x01\x00", 4); // PCM, one channel
    PutDword(bytes, 16000);
    PutDword(bytes, 32000);
    bytes += std::string("\x02\x00\x10\x00", 4); // 2-byte frames of 16 bits
    bytes += "data";
    PutDword(bytes, claimedData);
    return bytes + std::string(samples * 2 + padding, '\0');
}

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

// At the end of a process the worker is gone before the library is told
// (its entry point then gets a non-null reserved argument): the library
// must not wait for it, or every application would hang on exit.
TEST(SpeechLibrary, AProcessEndingDoesNotWaitForTheWorker) {
    Speech speech("nei5,hou2");
    using Entry = BOOL(WINAPI *)(HINSTANCE, DWORD, LPVOID);
    auto entry = (Entry)(void (*)(void))GetProcAddress(speech.module, "DllEntryPoint");
    ASSERT_NE(entry, nullptr);
    speech.read(NEI_HOU NEI_HOU NEI_HOU NEI_HOU);
    speech.WaitForLines(1);
    auto start = std::chrono::steady_clock::now();
    int ending = 1;
    entry((HINSTANCE)speech.module, DLL_PROCESS_DETACH, &ending);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1))
        << "waited for a worker that has ended with the process";
    // Nothing was freed under the worker: the library still speaks.
    speech.read(NEI_HOU);
    EXPECT_FALSE(speech.WaitForLast("hou2").empty());
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

// A recording whose header claims 16 MB would be read far past its key's
// data and past the end of the mapped file: it is damage and not said,
// and what follows it still is.
TEST(SpeechLibrary, ARecordingLongerThanItsDataIsNotPlayed) {
    Speech speech(VoiceEntries{{"nei5", Recording(100, 16u << 20)}, {"hou2", Recording(100, 200)}});
    speech.read("nei5hou2nei5");
    EXPECT_EQ(Names(speech.WaitForLines(1)), Strings({"memory"}));
    usleep(100000);
    EXPECT_EQ(speech.Lines().size(), 1u);
}

// An empty recording as the last node of the file has nothing after its
// terminator: not even the header of a wave may be read there. The file is
// made to end at a page boundary, so that such a read would fault.
TEST(SpeechLibrary, AnEmptyRecordingAtTheEndOfTheFileIsNotPlayed) {
    const size_t header = 10 + 9 + sizeof("TAVO voice database");
    const size_t nodes = 2 * (10 + sizeof("nei5")) + 1; // keys, and the empty data's terminator
    const size_t page = 4096;
    std::string healthy = Recording(100, 200);
    healthy += std::string(page - (header + nodes + healthy.size() + 1) % page, '\0');
    Speech speech(VoiceEntries{{"hou2", healthy}, {"nei5", ""}});
    ASSERT_EQ(std::filesystem::file_size(speech.dir / "tavo_spk.vdb") % page, 0u);
    speech.read("nei5hou2nei5");
    EXPECT_EQ(Names(speech.WaitForLines(1)), Strings({"memory"}));
    usleep(100000);
    EXPECT_EQ(speech.Lines().size(), 1u);
}

// Several threads speak and stop while another loads and unloads the
// library: each speaker holds the library while it calls it, so the
// library is attached and detached again and again between their calls
// (the ThreadSanitizer build runs this).
TEST(SpeechLibrary, ThreadsSpeakAndStopWhileTheLibraryComesAndGoes) {
    Speech voice("nei5,hou2", "0.01"); // the voice, and one reference throughout
    ASSERT_NE(voice.module, nullptr);
    FreeLibrary(voice.module); // from here the library comes and goes
    voice.module = LoadLibraryA(TAVO_SPEECH_LIBRARY);
    std::atomic<bool> done{false};
    std::atomic<long> calls{0}, cycles{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; t++)
        threads.emplace_back([&, t] {
            while (!done) {
                HMODULE module = LoadLibraryA(TAVO_SPEECH_LIBRARY);
                if (module == nullptr)
                    continue;
                auto read = (ReadFunction)(void (*)(void))GetProcAddress(module, "speech_read");
                auto stop = (StopFunction)(void (*)(void))GetProcAddress(module, "speech_stop");
                for (int i = 0; i < 5; i++) {
                    EXPECT_EQ((i + t) % 3 == 0 ? stop() : read(NEI_HOU NEI_HOU), 1);
                    calls++;
                }
                FreeLibrary(module);
            }
        });
    threads.emplace_back([&] {
        FreeLibrary(voice.module);
        voice.module = nullptr;
        while (!done) {
            HMODULE module = LoadLibraryA(TAVO_SPEECH_LIBRARY);
            EXPECT_NE(module, nullptr);
            usleep(500);
            FreeLibrary(module);
            cycles++;
        }
    });
    usleep(1500000);
    done = true;
    for (std::thread &thread : threads)
        thread.join();
    EXPECT_GT(calls.load(), 20);
    EXPECT_GT(cycles.load(), 5);
    voice.module = LoadLibraryA(TAVO_SPEECH_LIBRARY); // for the destructor to release
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
    // Every timing of the pattern below comes round ten times; each unload
    // gives the worker 50 ms to leave the library.
    for (int cycle = 0; cycle < 210; cycle++) {
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
