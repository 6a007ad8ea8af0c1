// The interactive mode on a terminal: raw keys in, the composition and
// the committed text out.
#include "host/terminal.h"

#include "host/report.h"

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
// follow closely; a lone Escape stands alone.
bool readSequence(std::string &sequence) {
    char c;
    if (!readByte(c, -1))
        return false;
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

int runInteractive(Session &session, CaptureLog &capture) {
    RawTerminal raw;
    std::printf("Module %s; type, Ctrl+D ends.\r\n", session.module().uiClass().c_str());
    std::string sequence;
    while (readSequence(sequence) && sequence != std::string(1, kEndOfInput)) {
        auto events = eventsForTerminalInput(sequence);
        if (!events)
            continue;
        size_t first = session.application().messages().size();
        session.feed(*events);
        printStep(stdout, session.application(), first, capture.newLines(), "\r\n");
        std::fflush(stdout);
    }
    std::printf("\r\n");
    return 0;
}

} // namespace host
