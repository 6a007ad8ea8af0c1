// The words of a resource script: names, numbers, quoted texts,
// punctuation and preprocessor lines, each with its line number.
#ifndef TAVO_TOOLS_RCTOKENS_H
#define TAVO_TOOLS_RCTOKENS_H

#include <cstdint>
#include <string>
#include <vector>

enum class RcTokenKind { Word, Number, Text, Punctuation, Directive };

struct RcToken {
    RcTokenKind kind;
    std::string text; // a Text's contents with escapes resolved, in UTF-8
    unsigned long number = 0;
    int line;
};

// The tokens of a script's contents. False with "path:line: problem"
// in error for a text that isn't closed or isn't UTF-8, or a number that
// isn't one.
bool rcTokenize(const std::string &path, const std::string &contents, std::vector<RcToken> &tokens,
                std::string &error);

// UTF-8 as UTF-16; false when text isn't UTF-8.
bool rcUtf16(const std::string &text, std::u16string &units);

// Questions about a token that may be missing (null at the end).
std::string rcUpper(std::string text);

// A Windows constant that resource lists are written with.
struct RcConstant {
    const char *name;
    uint32_t value;
};

// The value of a name (any case) in a table of constants; false when the
// table lacks it.
template <size_t N>
bool rcConstant(const RcConstant (&table)[N], const std::string &name, uint32_t &value) {
    std::string upper = rcUpper(name);
    for (const RcConstant &constant : table)
        if (upper == constant.name) {
            value = constant.value;
            return true;
        }
    return false;
}
bool rcIsWord(const RcToken *token, const char *word); // in any case
bool rcIsPunctuation(const RcToken *token, char mark);
bool rcIsOpen(const RcToken *token);  // BEGIN or {
bool rcIsClose(const RcToken *token); // END or }

#endif
