// The interactive mode on a terminal: raw keys in; the text typed, the
// composition window's lines, the status and what was heard redrawn in
// place.
#include "host/terminal.h"

#include "host/report.h"
#include "host/screen.h"
#include "platform/posix/sound_probe.h"

#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>

namespace host {

namespace {

constexpr char kEndOfInput = 0x04; // Ctrl+D
constexpr char kEscape = 0x1B;

struct Sequence {
    const char *text;
    const char *token;
};

// The escape sequences of common terminals for the keys the module uses.
constexpr Sequence kSequences[] = {
    {"\x1b[A", "<Up>"},        {"\x1b[B", "<Down>"},    {"\x1b[C", "<Right>"},
    {"\x1b[D", "<Left>"},      {"\x1b[H", "<Home>"},    {"\x1b[F", "<End>"},
    {"\x1b[1~", "<Home>"},     {"\x1b[4~", "<End>"},    {"\x1b[5~", "<PageUp>"},
    {"\x1b[6~", "<PageDown>"}, {"\x1b[2~", "<Insert>"}, {"\x1b[3~", "<Delete>"},
    {"\x1bOP", "<F1>"},        {"\x1bOQ", "<F2>"},      {"\x1bOR", "<F3>"},
    {"\x1bOS", "<F4>"},        {"\x1b[15~", "<F5>"},    {"\x1b[17~", "<F6>"},
    {"\x1b[18~", "<F7>"},      {"\x1b[19~", "<F8>"},    {"\x1b[20~", "<F9>"},
    {"\x1b[21~", "<F10>"},     {"\x1b[23~", "<F11>"},   {"\x1b[24~", "<F12>"},
    {"\x1b", "<Esc>"},         {"\x7f", "<Backspace>"}, {"\b", "<Backspace>"},
    {"\r", "<Enter>"},         {"\n", "<Enter>"},       {"\t", "<Tab>"},
};

// A control character as Ctrl with its key: Ctrl+A is 0x01, and the
// terminal's Ctrl+Space / Ctrl+` (0x00) stands for Ctrl+`; empty for the
// others.
std::string controlToken(char c) {
    if (c == 0)
        return "<Ctrl+`>";
    if (c <= 26)
        return std::string("<Ctrl+") + static_cast<char>('a' + c - 1) + ">";
    return {};
}

// Restores the terminal's settings when the mode ends.
class RawTerminal {
public:
    RawTerminal() {
        if (tcgetattr(STDIN_FILENO, &saved) != 0)
            return;
        termios raw = saved;
        cfmakeraw(&raw);
        raw.c_oflag |= OPOST;
        active = tcsetattr(STDIN_FILENO, TCSAFLUSH, &raw) == 0;
    }
    ~RawTerminal() {
        if (active)
            tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
    }

private:
    termios saved{};
    bool active = false;
};

bool readByte(char &c, int waitMs) {
    pollfd input{STDIN_FILENO, POLLIN, 0};
    if (waitMs >= 0 && poll(&input, 1, waitMs) <= 0)
        return false;
    return read(STDIN_FILENO, &c, 1) == 1;
}

// One keyboard sequence: an escape sequence is read while its bytes
// follow closely; a lone Escape stands alone. False when nothing came
// within waitMs (-1: wait for ever) or the input ended (then ended is set).
bool readSequence(std::string &sequence, int waitMs, bool &ended) {
    pollfd input{STDIN_FILENO, POLLIN, 0};
    if (waitMs >= 0 && poll(&input, 1, waitMs) <= 0)
        return false;
    char c;
    if (!readByte(c, -1)) {
        ended = true;
        return false;
    }
    sequence.assign(1, c);
    if (c != kEscape)
        return true;
    while (readByte(c, 30)) {
        sequence += c;
        if (sequence.size() > 2 && (std::isalpha(static_cast<unsigned char>(c)) || c == '~'))
            break;
    }
    return true;
}

constexpr int kPollMs = 100;

// What a person at the terminal sees: the text typed so far, the
// composition window's lines, the status and what was heard, redrawn in
// place after each key and whenever a new sound starts.
class Display {
public:
    Display(Session &session, CaptureLog &capture, bool messages)
        : session(session), capture(capture), messages(messages) {}

    void keyTyped(size_t firstMessage) {
        first = firstMessage;
        heard.clear();
        listen();
        draw();
    }

    // Called while no key comes: a new sound is shown as it starts.
    void idle() {
        if (listen())
            draw();
    }

    void draw() {
        std::string out = "\x1b[H\x1b[2J";
        out +=
            "Tavo " + session.module().uiClass() + "  |  " + status() + "  |  Ctrl+D ends\r\n\r\n";
        out += "Text: " + session.application().document() + "_\r\n\r\n";
        std::vector<ShownLine> lines = compositionLinesShown(session);
        out += lines.empty() ? "Window: (hidden)\r\n" : "Window:\r\n";
        for (const ShownLine &line : lines)
            out += "  | " + line.text + "\r\n";
        out += "\r\nHeard: " + heardText(heard) + "\r\n";
        if (messages) {
            out += "\r\nMessages:\r\n";
            const std::vector<Message> &all = session.application().messages();
            for (size_t i = first; i < all.size(); i++)
                out += "  " + describe(all[i]) + "\r\n";
        }
        std::fputs(out.c_str(), stdout);
        std::fflush(stdout);
    }

private:
    std::string status() const {
        DWORD conversion = session.conversion();
        return std::string(conversion & IME_CMODE_NATIVE ? "Cantonese" : "alphanumeric") + ", " +
               (conversion & IME_CMODE_FULLSHAPE ? "full shape" : "half shape");
    }

    // Takes in what was heard since the last look; true when anything was.
    bool listen() {
        if (capture.enabled()) {
            std::vector<std::string> lines = capture.newLines();
            heard.insert(heard.end(), lines.begin(), lines.end());
            return !lines.empty();
        }
        TavoSoundProbe probe = {};
        tavo_soundProbe(&probe);
        if (probe.started == seen)
            return false;
        seen = probe.started;
        heard.push_back(std::string("0 ms  ") + probe.lastName + "  ");
        return true;
    }

    Session &session;
    CaptureLog &capture;
    bool messages;
    size_t first = 0;
    std::vector<std::string> heard; // as capture-log lines
    uint64_t seen = 0;
};

} // namespace

std::optional<std::vector<KeyEvent>> eventsForTerminalInput(const std::string &sequence) {
    for (const Sequence &known : kSequences)
        if (sequence == known.text)
            return parseToken(known.token);
    if (sequence.size() != 1)
        return std::nullopt;
    char c = sequence[0];
    if (static_cast<unsigned char>(c) < 0x20) {
        std::string token = controlToken(c);
        return token.empty() ? std::nullopt : parseToken(token);
    }
    return parseToken(sequence);
}

int runInteractive(Session &session, CaptureLog &capture, bool messages) {
    RawTerminal raw;
    Display display(session, capture, messages);
    display.draw();
    std::string sequence;
    bool ended = false;
    while (!ended) {
        if (!readSequence(sequence, kPollMs, ended)) {
            display.idle();
            continue;
        }
        if (sequence == std::string(1, kEndOfInput))
            break;
        auto events = eventsForTerminalInput(sequence);
        if (!events)
            continue;
        size_t first = session.application().messages().size();
        session.feed(*events);
        display.keyTyped(first);
    }
    std::printf("\r\n");
    return 0;
}

} // namespace host
