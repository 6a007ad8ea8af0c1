// The application of the Windows tests: one window with an input context
// of its own, which records the messages of the input-method manager and
// the text committed to it, as an editor that handles composition itself
// would see them.
#ifndef TAVO_IMETEST_APP_H
#define TAVO_IMETEST_APP_H

#include <windows.h>
#include <imm.h>

#include <string>
#include <vector>

namespace imetest {

struct Message {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class App {
public:
    // A window of the thread, shown and focused, with a fresh context.
    bool open(std::wstring &error);
    void close();

    HWND window() const { return window_; }
    HIMC context() const { return context_; }

    // Handles what is queued, until nothing has come for quietMs.
    void pump(DWORD quietMs = 40);

    // The module's strings: UTF-16 from a Unicode module; from a byte
    // module its Big5 bytes, read as the project's code page 950.
    std::wstring composition() const;
    std::wstring reading() const;
    const std::wstring &committed() const { return committed_; }
    const std::string &committedBytes() const { return committedBytes_; }
    // Between a start and an end of the composition.
    bool composing() const { return composing_; }

    // The messages since the last call.
    std::vector<Message> fresh();
    size_t count(UINT message) const;

    // Wine 8 on x64 reads the message list that ImeToAsciiEx fills four
    // bytes early: every message arrives as WM_NULL, its wParam and lParam
    // shifted 32 bits up, and which message it was is lost. The committed
    // text is still found (a result's flags survive the shift), but
    // checks of which messages came can't be made (see README, Windows).
    bool messagesGarbled() const { return !garbled_.empty(); }
    const std::vector<Message> &garbled() const { return garbled_; }
    bool unicodeModule = true;

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    std::wstring text(DWORD index) const;
    void takeResult();

    HWND window_ = nullptr;
    HIMC context_ = nullptr;
    HIMC previous_ = nullptr;
    std::vector<Message> messages_;
    size_t seen_ = 0;
    std::wstring committed_;
    std::string committedBytes_;
    std::vector<Message> garbled_;
    bool composing_ = false;
};

// Big5-HKSCS bytes as UTF-16 through the project's table.
std::wstring fromBig5(const std::string &bytes);

bool runningUnderWine();

} // namespace imetest

#endif
