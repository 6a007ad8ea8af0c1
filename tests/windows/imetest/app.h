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
    bool composing() const { return composing_; }

    // The messages since the last call.
    std::vector<Message> fresh();
    size_t count(UINT message) const;
    // Empty messages seen: how a message list read at the wrong place
    // shows (see README, Windows).
    size_t nulls() const { return nulls_; }
    bool unicodeModule = true;

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    std::wstring text(DWORD index) const;

    HWND window_ = nullptr;
    HIMC context_ = nullptr;
    HIMC previous_ = nullptr;
    std::vector<Message> messages_;
    size_t seen_ = 0;
    std::wstring committed_;
    std::string committedBytes_;
    bool composing_ = false;
    size_t nulls_ = 0;
};

// Big5-HKSCS bytes as UTF-16 through the project's table.
std::wstring fromBig5(const std::string &bytes);

} // namespace imetest

#endif
