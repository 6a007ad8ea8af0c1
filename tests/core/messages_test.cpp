// Message requests turned into input-method messages on a real input
// context, the notifications that end a composition, and speaking the
// composition through the speech library.
#include "frame/compstr.h"
#include "frame/exports.h"
#include "frame/globdata.h"
#include "platform/posix/imm_host.h"
#include "speech/speech.h"
#include "tests/helpers/recording_window.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

#ifdef UNICODE
const TCHAR kNeiHou[] = {0x4F60, 0x597D, 0}; // 你好
#else
const TCHAR kNeiHou[] = "\xA7\x41\xA6\x6E";
#endif

// Keeps an environment variable's value and puts it back.
class SavedVariable {
public:
    explicit SavedVariable(const char *name) : name_(name) {
        const char *value = std::getenv(name);
        had_ = value != nullptr;
        if (had_)
            value_ = value;
    }
    ~SavedVariable() {
        if (had_)
            setenv(name_, value_.c_str(), 1);
        else
            unsetenv(name_);
    }

private:
    const char *name_;
    bool had_;
    std::string value_;
};

std::vector<std::string> LoggedNames(const std::string &log) {
    std::vector<std::string> names;
    std::ifstream in(log);
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        std::string start, ms, name;
        words >> start >> ms >> name;
        names.push_back(name);
    }
    return names;
}

std::vector<std::string> WaitForNames(const std::string &log, size_t count) {
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    std::vector<std::string> names;
    while ((names = LoggedNames(log)).size() < count && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return names;
}

// The speech library the core imports, attached once for the whole run
// with a voice of tones, as the module's loading would attach it. Its
// worker opens the voice when it starts, so the system folder is pointed
// at the voice only until a first reading has been heard.
class SpeechLibrary : public ::testing::Environment {
public:
    static std::filesystem::path dir;

    void SetUp() override {
        dir =
            std::filesystem::temp_directory_path() / ("tavo-messages-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir);
        std::string command = std::string(TAVO_VOICE_TOOL) + " tones --syllables nei5,hou2 --out " +
                              (dir / "tavo_spk.vdb").string() + " >/dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        SavedVariable system("TAVO_SYSTEM_DIR"), sound("TAVO_SOUND"), scale("TAVO_SOUND_TIMESCALE");
        setenv("TAVO_SYSTEM_DIR", dir.c_str(), 1);
        setenv("TAVO_SOUND", ("capture:" + (dir / "warm.wav").string()).c_str(), 1);
        setenv("TAVO_SOUND_TIMESCALE", "0.05", 1);
        module = LoadLibraryA(TAVO_SPEECH_LIBRARY);
        ASSERT_NE(module, nullptr);
        speech_read("\xA7\x41");
        WaitForNames((dir / "warm.wav.log").string(), 1);
    }
    void TearDown() override {
        FreeLibrary(module);
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }

private:
    HMODULE module = nullptr;
};

std::filesystem::path SpeechLibrary::dir;
::testing::Environment *const speechLibrary =
    ::testing::AddGlobalTestEnvironment(new SpeechLibrary);

// What the context's window receives.
std::vector<TRANSMSG> delivered;

class Messages : public ::testing::Test {
protected:
    tests::RecordingWindow window;
    HIMC imc = nullptr;
    LPINPUTCONTEXT ic = nullptr;
    PrivateData *data = nullptr;

    void SetUp() override {
        delivered.clear();
        window.onMessage = [](UINT message, WPARAM wParam, LPARAM lParam) {
            if (message >= WM_IME_STARTCOMPOSITION && message <= WM_IME_COMPOSITION)
                delivered.push_back({message, wParam, lParam});
            return std::optional<LRESULT>();
        };
        globData.speech = 0;
        imc = tavo_CreateInputContext(window.handle, sizeof(PrivateData));
        ASSERT_NE(imc, nullptr);
        ic = ImmLockIMC(imc);
        ASSERT_TRUE(InitCompStr(ic));
        data = (PrivateData *)ImmLockIMCC(ic->hPrivate);
        ASSERT_NE(data, nullptr);
    }
    void TearDown() override {
        globData.speech = 0;
        DeleteTabList(data->queryList);
        ImmUnlockIMCC(ic->hPrivate);
        ImmUnlockIMC(imc);
        ImmDestroyContext(imc);
    }
    void Request(DWORD flags, DWORD count = 1) {
        data->msgFlags |= flags;
        data->msgCount += count;
    }
    // The messages left in the context's buffer.
    std::vector<TRANSMSG> Buffered() {
        auto *buffer = (LPTRANSMSG)ImmLockIMCC(ic->hMsgBuf);
        std::vector<TRANSMSG> messages;
        if (buffer != nullptr)
            messages.assign(buffer, buffer + ic->dwNumMsgBuf);
        ImmUnlockIMCC(ic->hMsgBuf);
        return messages;
    }
    std::vector<UINT> BufferedKinds() { return Kinds(Buffered()); }
    static std::vector<UINT> Kinds(const std::vector<TRANSMSG> &messages) {
        std::vector<UINT> kinds;
        for (const TRANSMSG &m : messages)
            kinds.push_back(m.message);
        return kinds;
    }
};

const UINT START = WM_IME_STARTCOMPOSITION, CHANGE = WM_IME_COMPOSITION,
           END = WM_IME_ENDCOMPOSITION;
typedef std::vector<UINT> KindList;

TEST_F(Messages, StartChangeAndEndInOrderWithTheirParameters) {
    Request(MSG_START | MSG_CHANGE | MSG_END, 4);
    data->compChar = 'a';
    data->gcsFlags = CHANGED_PASSED;
    BuildMessages(imc, FALSE);
    std::vector<TRANSMSG> messages = Buffered();
    ASSERT_EQ(Kinds(messages), KindList({START, CHANGE, END}));
    EXPECT_EQ(messages[0].wParam, 0u);
    EXPECT_EQ(messages[0].lParam, 0);
    EXPECT_EQ(messages[1].wParam, (WPARAM)'a');
    EXPECT_EQ(messages[1].lParam, LPARAM(GCS_RESULTSTR | GCS_RESULTCLAUSE));
    EXPECT_EQ(messages[2].lParam, 0);
    EXPECT_EQ(data->mode, (DWORD)MODE_IDLE);
    EXPECT_EQ(data->msgFlags, 0u);
    EXPECT_EQ(data->msgCount, 0u);
    EXPECT_EQ(data->compChar, 0);
    EXPECT_EQ(data->gcsFlags, 0u);
    EXPECT_TRUE(delivered.empty());
}

TEST_F(Messages, TwoChangeRequestsMakeOneMessage) {
    data->mode = MODE_READING;
    UpdateCompStr(&ic->hCompStr, data, TEXT("ab"));
    UpdateCompStr(&ic->hCompStr, data, TEXT("abc"));
    EXPECT_EQ(data->msgCount, 2u);
    BuildMessages(imc, FALSE);
    std::vector<TRANSMSG> messages = Buffered();
    ASSERT_EQ(Kinds(messages), KindList({CHANGE}));
    EXPECT_EQ(messages[0].lParam, LPARAM(CHANGED_SHOWN));
}

TEST_F(Messages, StartIsSentOnlyOutsideAReading) {
    data->mode = MODE_READING;
    Request(MSG_START);
    BuildMessages(imc, FALSE);
    EXPECT_TRUE(BufferedKinds().empty());
    EXPECT_EQ(data->msgFlags, 0u);
    for (DWORD mode : {MODE_IDLE, MODE_CHOOSING, MODE_QUERY}) {
        ic->dwNumMsgBuf = 0;
        data->mode = mode;
        Request(MSG_START);
        BuildMessages(imc, FALSE);
        EXPECT_EQ(BufferedKinds(), KindList({START})) << mode;
        EXPECT_EQ(data->mode, (DWORD)MODE_READING) << mode;
    }
}

TEST_F(Messages, EndWhileIdleIsSentOnlyForTheMenu) {
    Request(MSG_END);
    BuildMessages(imc, FALSE);
    EXPECT_TRUE(BufferedKinds().empty());
    // Esc while idle: the emptied text is reported, no end.
    Request(MSG_CHANGE | MSG_END, 2);
    data->gcsFlags = GCS_COMPSTR | GCS_COMPATTR | GCS_COMPCLAUSE;
    BuildMessages(imc, FALSE);
    EXPECT_EQ(BufferedKinds(), KindList({CHANGE}));
    ic->dwNumMsgBuf = 0;
    data->optionMode = 1;
    Request(MSG_END);
    BuildMessages(imc, FALSE);
    EXPECT_EQ(BufferedKinds(), KindList({END}));
    EXPECT_EQ(data->mode, (DWORD)MODE_IDLE);
}

TEST_F(Messages, TheMenuLeavesTheModeAlone) {
    data->optionMode = 1;
    Request(MSG_START);
    BuildMessages(imc, FALSE);
    EXPECT_EQ(BufferedKinds(), KindList({START}));
    EXPECT_EQ(data->mode, (DWORD)MODE_IDLE);
    data->mode = MODE_CHOOSING;
    Request(MSG_END);
    BuildMessages(imc, FALSE);
    EXPECT_EQ(BufferedKinds(), KindList({START, END}));
    EXPECT_EQ(data->mode, (DWORD)MODE_CHOOSING);
}

TEST_F(Messages, EveryStartIsAnsweredByAnEnd) {
    // A start and an end pending together while idle.
    Request(MSG_START | MSG_END, 2);
    BuildMessages(imc, FALSE);
    EXPECT_EQ(BufferedKinds(), KindList({START, END}));
    EXPECT_EQ(data->mode, (DWORD)MODE_IDLE);
}

TEST_F(Messages, NewMessagesFollowThoseInTheBufferEvenWhenUndercounted) {
    data->mode = MODE_CHOOSING;
    Request(MSG_CHANGE);
    BuildMessages(imc, FALSE);
    // All three kinds while the requests counted no slot at all.
    data->mode = MODE_CHOOSING;
    data->msgFlags = MSG_START | MSG_CHANGE | MSG_END;
    data->msgCount = 0;
    BuildMessages(imc, FALSE);
    EXPECT_EQ(BufferedKinds(), KindList({CHANGE, START, CHANGE, END}));
    EXPECT_GE(ImmGetIMCCSize(ic->hMsgBuf), 4 * sizeof(TRANSMSG));
}

TEST_F(Messages, GenerateDeliversWhatIsBufferedAndPending) {
    Request(MSG_START);
    BuildMessages(imc, FALSE);
    data->compChar = 'x';
    Request(MSG_CHANGE);
    BuildMessages(imc, TRUE);
    EXPECT_EQ(Kinds(delivered), KindList({START, CHANGE}));
    EXPECT_EQ(ic->dwNumMsgBuf, 0u);
    // Nothing pending: the buffer is still flushed and nothing is added.
    BuildMessages(imc, TRUE);
    EXPECT_EQ(delivered.size(), 2u);
}

TEST_F(Messages, TheCharacterParameterFollowsTheTextFlavour) {
    data->mode = MODE_READING;
#ifdef UNICODE
    data->compChar = 0xA7A7;
    WPARAM expected = 0xA7A7;
#else
    data->compChar = (TCHAR)0xA7;
    WPARAM expected = (WPARAM)(INT_PTR)-0x59;
#endif
    Request(MSG_CHANGE);
    BuildMessages(imc, FALSE);
    ASSERT_EQ(Buffered().size(), 1u);
    EXPECT_EQ(Buffered()[0].wParam, expected);
}

TEST_F(Messages, SpeechTakesTheTextOutOfTheMessageAndSpeaksIt) {
    SavedVariable sound("TAVO_SOUND"), scale("TAVO_SOUND_TIMESCALE");
    std::string wave = (SpeechLibrary::dir / "spoken.wav").string();
    setenv("TAVO_SOUND", ("capture:" + wave).c_str(), 1);
    setenv("TAVO_SOUND_TIMESCALE", "0.05", 1);
    globData.speech = 1;
    data->mode = MODE_READING;
    UpdateCompStr(&ic->hCompStr, data, kNeiHou);
    BuildMessages(imc, FALSE);
    std::vector<TRANSMSG> messages = Buffered();
    ASSERT_EQ(Kinds(messages), KindList({CHANGE}));
    EXPECT_EQ(messages[0].lParam, LPARAM(GCS_CURSORPOS | GCS_DELTASTART)); // the text is spoken
    EXPECT_EQ(WaitForNames(wave + ".log", 2), std::vector<std::string>({"nei5", "hou2"}));
    speech_stop();
}

TEST_F(Messages, NotificationsThatEndTheComposition) {
    struct Case {
        DWORD action, index, value;
        BOOL result;
        bool ends;
    } cases[] = {
        {NI_COMPOSITIONSTR, CPS_COMPLETE, 0, TRUE, true},
        {NI_COMPOSITIONSTR, CPS_CANCEL, 0, TRUE, true},
        {NI_COMPOSITIONSTR, CPS_REVERT, 0, FALSE, false},
        {NI_CONTEXTUPDATED, 0, IMC_SETCONVERSIONMODE, TRUE, true},
        {NI_CONTEXTUPDATED, 0, IMC_SETOPENSTATUS, TRUE, false}, // still open
        {NI_CONTEXTUPDATED, 0, IMC_SETCANDIDATEPOS, TRUE, false},
        {NI_CONTEXTUPDATED, 0, IMC_SETCOMPOSITIONWINDOW, TRUE, false},
        {NI_CONTEXTUPDATED, 0, 99, FALSE, false},
        {NI_SELECTCANDIDATESTR, 0, 0, TRUE, false},
        {NI_SETCANDIDATE_PAGESIZE, 0, 0, TRUE, false},
        {NI_OPENCANDIDATE, 0, 0, FALSE, false},
    };
    ImmSetOpenStatus(imc, TRUE);
    for (const Case &c : cases) {
        delivered.clear();
        data->mode = MODE_QUERY;
        data->queryList = CreateTabList(TEXT("a\tb"));
        EXPECT_EQ(NotifyIME(imc, c.action, c.index, c.value), c.result) << c.action << c.value;
        EXPECT_EQ(Kinds(delivered), c.ends ? KindList({END}) : KindList()) << c.action << c.value;
        EXPECT_EQ(data->mode, c.ends ? (DWORD)MODE_IDLE : (DWORD)MODE_QUERY);
        EXPECT_EQ(data->queryList == nullptr, c.ends);
        DeleteTabList(data->queryList);
        data->queryList = nullptr;
    }
}

TEST_F(Messages, ClosingTheInputMethodEndsTheComposition) {
    ImmSetOpenStatus(imc, FALSE);
    delivered.clear();
    data->mode = MODE_READING;
    EXPECT_TRUE(NotifyIME(imc, NI_CONTEXTUPDATED, 0, IMC_SETOPENSTATUS));
    EXPECT_EQ(Kinds(delivered), KindList({END}));
}

TEST_F(Messages, PendingMessagesAreDeliveredEvenWhenRefused) {
    data->mode = MODE_READING;
    UpdateCompStr(&ic->hCompStr, data, TEXT("ab"));
    EXPECT_FALSE(NotifyIME(imc, NI_COMPOSITIONSTR, CPS_CONVERT, 0));
    EXPECT_EQ(Kinds(delivered), KindList({CHANGE}));
    EXPECT_EQ(data->msgCount, 0u);
}

TEST_F(Messages, TheApplicationMayNotSetTheComposition) {
    TCHAR text[] = TEXT("ab");
    EXPECT_FALSE(ImeSetCompositionString(imc, SCS_SETSTR, text, sizeof(text), nullptr, 0));
    EXPECT_FALSE(ImeSetCompositionString(imc, SCS_CHANGEATTR, nullptr, 0, nullptr, 0));
    EXPECT_FALSE(ImeSetCompositionString(nullptr, SCS_SETSTR, text, sizeof(text), text, 2));
    auto *block = (LPCOMPOSITIONSTRING)ImmLockIMCC(ic->hCompStr);
    EXPECT_EQ(block->dwCompStrLen, 0u);
    ImmUnlockIMCC(ic->hCompStr);
}

} // namespace
