// The words of a resource script: names, numbers, quoted texts,
// punctuation and preprocessor lines, each with its line number.
#ifndef TAVO_TOOLS_RCTOKENS_H
#define TAVO_TOOLS_RCTOKENS_H

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
bool rcIsWord(const RcToken *token, const char *word); // in any case
bool rcIsPunctuation(const RcToken *token, char mark);
bool rcIsOpen(const RcToken *token);  // BEGIN or {
bool rcIsClose(const RcToken *token); // END or }

#endif
