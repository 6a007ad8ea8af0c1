// Splitting a resource script into words with their line numbers.
#include "tools/rc/rctokens.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

constexpr unsigned long kLargestNumber = 0xFFFFFFFFul;

struct Scanner {
    const std::string &path;
    const std::string &text;
    size_t at = 0;
    int line = 1;
    std::string error;

    char peek(size_t ahead = 0) const { return at + ahead < text.size() ? text[at + ahead] : '\0'; }
    bool done() const { return at >= text.size(); }

    bool fail(const std::string &problem) {
        error = path + ":" + std::to_string(line) + ": " + problem;
        return false;
    }
};

bool isWordStart(char c) {
    return std::isalpha((unsigned char)c) || c == '_';
}

bool isWordPart(char c) {
    return std::isalnum((unsigned char)c) || c == '_';
}

// Spaces, line ends and comments.
bool skipBlanks(Scanner &in) {
    while (!in.done()) {
        char c = in.peek();
        if (c == '\n') {
            in.line++;
            in.at++;
        } else if (std::isspace((unsigned char)c)) {
            in.at++;
        } else if (c == '/' && in.peek(1) == '/') {
            while (!in.done() && in.peek() != '\n')
                in.at++;
        } else if (c == '/' && in.peek(1) == '*') {
            size_t end = in.text.find("*/", in.at + 2);
            if (end == std::string::npos)
                return in.fail("comment not closed");
            for (size_t i = in.at; i < end; i++)
                in.line += in.text[i] == '\n';
            in.at = end + 2;
        } else {
            break;
        }
    }
    return true;
}

char escaped(char c) {
    switch (c) {
    case 'n':
        return '\n';
    case 'r':
        return '\r';
    case 't':
        return '\t';
    case '"':
    case '\\':
        return c;
    default:
        return '\0';
    }
}

// A quoted text: "" stands for a quote; a backslash escapes n, r, t, a
// quote or itself, and is kept before anything else.
bool readText(Scanner &in, RcToken &token) {
    in.at++;
    while (true) {
        char c = in.peek();
        if (in.done() || c == '\n')
            return in.fail("text not closed");
        in.at++;
        if (c == '"' && in.peek() == '"') {
            token.text += '"';
            in.at++;
        } else if (c == '"') {
            break;
        } else if (c == '\\' && escaped(in.peek())) {
            token.text += escaped(in.peek());
            in.at++;
        } else {
            token.text += c;
        }
    }
    std::u16string units;
    return rcUtf16(token.text, units) || in.fail("text is not UTF-8");
}

// Decimal or 0x hexadecimal, with an optional L or U suffix.
bool readNumber(Scanner &in, RcToken &token) {
    size_t start = in.at;
    while (isWordPart(in.peek()))
        in.at++;
    std::string digits = in.text.substr(start, in.at - start);
    while (!digits.empty() && std::strchr("lLuU", digits.back()))
        digits.pop_back();
    bool hex = digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X');
    std::string body = hex ? digits.substr(2) : digits;
    const char *allowed = hex ? "0123456789abcdefABCDEF" : "0123456789";
    if (body.empty() || body.find_first_not_of(allowed) != std::string::npos || body.size() > 10)
        return in.fail("not a number: " + in.text.substr(start, in.at - start));
    token.number = std::stoul(body, nullptr, hex ? 16 : 10);
    return token.number <= kLargestNumber || in.fail("number too large: " + digits);
}

bool readToken(Scanner &in, RcToken &token) {
    char c = in.peek();
    size_t start = in.at;
    if (c == '#') {
        token.kind = RcTokenKind::Directive;
        while (!in.done() && in.peek() != '\n')
            in.at++;
        token.text = in.text.substr(start, in.at - start);
        return true;
    }
    if ((c == 'L' || c == 'l') && in.peek(1) == '"')
        c = in.text[++in.at];
    if (c == '"') {
        token.kind = RcTokenKind::Text;
        return readText(in, token);
    }
    if (std::isdigit((unsigned char)c)) {
        token.kind = RcTokenKind::Number;
        return readNumber(in, token);
    }
    if (isWordStart(c)) {
        token.kind = RcTokenKind::Word;
        while (isWordPart(in.peek()))
            in.at++;
        token.text = in.text.substr(start, in.at - start);
        return true;
    }
    token.kind = RcTokenKind::Punctuation;
    token.text = std::string(1, c);
    in.at++;
    return true;
}

// The length of the UTF-8 sequence that lead starts, 0 if it starts none.
int sequenceLength(unsigned char lead) {
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

} // namespace

bool rcUtf16(const std::string &text, std::u16string &units) {
    static const unsigned long kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    units.clear();
    for (size_t i = 0; i < text.size();) {
        int length = sequenceLength((unsigned char)text[i]);
        if (length == 0 || i + length > text.size())
            return false;
        unsigned long code =
            length == 1 ? (unsigned char)text[i] : (unsigned char)text[i] & (0x7F >> length);
        for (int k = 1; k < length; k++) {
            unsigned char next = (unsigned char)text[i + k];
            if ((next & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3F);
        }
        if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        if (code >= 0x10000) {
            units += char16_t(0xD800 + ((code - 0x10000) >> 10));
            units += char16_t(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            units += char16_t(code);
        }
        i += length;
    }
    return true;
}

bool rcTokenize(const std::string &path, const std::string &contents, std::vector<RcToken> &tokens,
                std::string &error) {
    Scanner in{path, contents, 0, 1, {}};
    // A byte-order mark may start the file.
    if (contents.compare(0, 3, "\xEF\xBB\xBF") == 0)
        in.at = 3;
    tokens.clear();
    while (skipBlanks(in) && !in.done()) {
        RcToken token{RcTokenKind::Word, "", 0, in.line};
        if (!readToken(in, token))
            break;
        tokens.push_back(token);
    }
    error = in.error;
    return error.empty();
}

std::string rcUpper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::toupper(c)); });
    return text;
}

bool rcIsWord(const RcToken *token, const char *word) {
    return token && token->kind == RcTokenKind::Word && rcUpper(token->text) == word;
}

bool rcIsPunctuation(const RcToken *token, char mark) {
    return token && token->kind == RcTokenKind::Punctuation && token->text[0] == mark;
}

bool rcIsOpen(const RcToken *token) {
    return rcIsWord(token, "BEGIN") || rcIsPunctuation(token, '{');
}

bool rcIsClose(const RcToken *token) {
    return rcIsWord(token, "END") || rcIsPunctuation(token, '}');
}
