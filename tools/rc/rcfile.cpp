// Reading a resource script's statements into resources.
#include "tools/rc/rcfile.h"
#include "tools/rc/rcdialog.h"
#include "tools/rc/rctokens.h"
#include "tools/rc/rcversion.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <set>
#include <sstream>

namespace {

constexpr unsigned kLargestId = 0xFFFF;
constexpr unsigned kUtf8CodePage = 65001;
constexpr size_t kLongestString = 0xFFFF; // a length is one WORD

const char *const kMemoryOptions[] = {"PRELOAD", "LOADONCALL", "FIXED",  "MOVEABLE", "DISCARDABLE",
                                      "PURE",    "IMPURE",     "SHARED", "NONSHARED"};
// Options of a STRINGTABLE or DIALOG that take one value or two.
const char *const kOneValueOptions[] = {"CHARACTERISTICS", "VERSION"};

struct FileType {
    const char *word;
    unsigned number;
};
const FileType kFileTypes[] = {
    {"CURSOR", kRcCursor}, {"BITMAP", kRcBitmap}, {"ICON", kRcIcon}, {"RCDATA", kRcData}};

// Statements of the full language that the modules don't use.
const char *const kUnsupported[] = {"MENU",         "MENUEX",  "ACCELERATORS", "FONT",
                                    "MESSAGETABLE", "HTML",    "TOOLBAR",      "DLGINCLUDE",
                                    "TEXTINCLUDE",  "DLGINIT", "STRINGTABLEEX"};

struct Parser {
    const std::string &path;
    const std::vector<RcToken> &tokens;
    RcScript &script;
    size_t at = 0;
    std::set<std::pair<RcName, RcName>> seen;
    std::string error;
};

bool failAt(Parser &in, int line, const std::string &problem) {
    in.error = in.path + ":" + std::to_string(line) + ": " + problem;
    return false;
}

// A problem at the current token (or the last, at the end).
bool fail(Parser &in, const std::string &problem) {
    int line = in.tokens.empty() ? 1 : in.tokens[std::min(in.at, in.tokens.size() - 1)].line;
    return failAt(in, line, problem);
}

const RcToken *peek(const Parser &in, size_t ahead = 0) {
    return in.at + ahead < in.tokens.size() ? &in.tokens[in.at + ahead] : nullptr;
}

template <size_t N> bool isAnyWord(const RcToken *token, const char *const (&words)[N]) {
    return std::any_of(words, words + N, [&](const char *word) { return rcIsWord(token, word); });
}

bool isValue(const RcToken *token) {
    return token && (token->kind == RcTokenKind::Number || token->kind == RcTokenKind::Word);
}

// LANGUAGE primary, secondary: one language is all there is.
bool skipLanguage(Parser &in) {
    in.at++;
    if (!isValue(peek(in)) || !rcIsPunctuation(peek(in, 1), ',') || !isValue(peek(in, 2)))
        return fail(in, "LANGUAGE takes two values");
    in.at += 3;
    return true;
}

// Memory options, LANGUAGE and the like between a statement's head and
// its block or file.
bool skipOptions(Parser &in) {
    while (true) {
        const RcToken *token = peek(in);
        if (isAnyWord(token, kMemoryOptions))
            in.at++;
        else if (rcIsWord(token, "LANGUAGE")) {
            if (!skipLanguage(in))
                return false;
        } else if (isAnyWord(token, kOneValueOptions)) {
            in.at++;
            if (!isValue(peek(in)))
                return fail(in, token->text + " takes a value");
            in.at++;
        } else
            return true;
    }
}

bool directive(Parser &in) {
    std::string text = in.tokens[in.at].text;
    std::string words = rcUpper(text);
    words.erase(
        std::remove_if(words.begin(), words.end(), [](unsigned char c) { return std::isspace(c); }),
        words.end());
    if (words.rfind("#PRAGMACODE_PAGE(", 0) == 0) {
        if (words != "#PRAGMACODE_PAGE(" + std::to_string(kUtf8CodePage) + ")")
            return fail(in, "only UTF-8 scripts are read: " + text);
    } else if (words.rfind("#INCLUDE<", 0) != 0 && words.rfind("#PRAGMA", 0) != 0) {
        // System headers only bring Windows' constants; anything else
        // could define what this reader doesn't follow.
        return fail(in, "preprocessor directive not supported: " + text);
    }
    in.at++;
    return true;
}

bool stringEntry(Parser &in) {
    const RcToken *id = peek(in);
    if (!id || id->kind != RcTokenKind::Number)
        return fail(in, "not a string-table entry");
    in.at++;
    if (rcIsPunctuation(peek(in), ','))
        in.at++;
    const RcToken *text = peek(in);
    if (!text || text->kind != RcTokenKind::Text)
        return fail(in, "string " + std::to_string(id->number) + " has no quoted text");
    std::u16string units;
    rcUtf16(text->text, units);
    if (id->number > kLargestId)
        return fail(in, "string id too large: " + std::to_string(id->number));
    if (units.size() > kLongestString)
        return fail(in, "string " + std::to_string(id->number) + " is too long");
    if (in.script.strings.count(unsigned(id->number)))
        return fail(in, "string " + std::to_string(id->number) + " given twice");
    in.script.strings[unsigned(id->number)] = text->text;
    in.script.stringLines[unsigned(id->number)] = text->line;
    in.at++;
    return true;
}

bool stringTable(Parser &in) {
    in.at++;
    if (!skipOptions(in))
        return false;
    if (!rcIsOpen(peek(in)))
        return fail(in, "STRINGTABLE without BEGIN");
    in.at++;
    while (!rcIsClose(peek(in))) {
        if (!peek(in))
            return fail(in, "string table not closed");
        if (!stringEntry(in))
            return false;
    }
    in.at++;
    return true;
}

bool resourceName(Parser &in, RcName &name) {
    const RcToken *token = peek(in);
    if (!token || token->kind == RcTokenKind::Punctuation || token->kind == RcTokenKind::Directive)
        return fail(in, "expected a resource name");
    name.isNumber = token->kind == RcTokenKind::Number;
    name.number = unsigned(token->number);
    name.text = name.isNumber ? "" : rcUpper(token->text);
    if (name.isNumber && name.number > kLargestId)
        return fail(in, "resource id too large: " + std::to_string(name.number));
    if (!name.isNumber && name.text.empty())
        return fail(in, "empty resource name");
    in.at++;
    return true;
}

// A standard type by its number, any other word as a type of its own.
bool resourceType(Parser &in, RcName &type) {
    const RcToken *token = peek(in);
    if (token && token->kind == RcTokenKind::Text)
        return fail(in, "expected a resource type");
    if (!resourceName(in, type))
        return false;
    for (const FileType &known : kFileTypes)
        if (!type.isNumber && type.text == known.word)
            type = RcName{true, known.number, ""};
    return true;
}

std::string fileName(std::string written) {
    std::replace(written.begin(), written.end(), '\\', '/');
    return written;
}

bool fileResource(Parser &in, const RcName &name, const RcName &type, int line) {
    if (!skipOptions(in))
        return false;
    const RcToken *file = peek(in);
    if (rcIsOpen(file))
        return fail(in, "resource data must come from a file");
    if (!file || file->kind != RcTokenKind::Text || file->text.empty())
        return fail(in, "expected a quoted file name");
    if (type.isNumber && type.number == kRcString)
        return fail(in, "strings belong in a STRINGTABLE");
    if (!in.seen.insert({type, name}).second)
        return fail(in, "resource given twice");
    in.script.files.push_back(RcFileResource{type, name, fileName(file->text), line});
    in.at++;
    return true;
}

bool dialogResource(Parser &in, const RcName &name, int line) {
    RcDialog dialog;
    dialog.name = name;
    dialog.line = line;
    if (!skipOptions(in) || !rcReadDialog(in.path, in.tokens, in.at, dialog, in.error))
        return false;
    if (!in.seen.insert({RcName{true, kRcDialog, ""}, name}).second)
        return failAt(in, line, "resource given twice");
    in.script.dialogs.push_back(dialog);
    return true;
}

bool versionResource(Parser &in, const RcName &name, int line) {
    RcVersion version;
    version.name = name;
    version.line = line;
    if (!rcReadVersion(in.path, in.tokens, in.at, version, in.error))
        return false;
    if (!in.seen.insert({RcName{true, kRcVersion, ""}, name}).second)
        return failAt(in, line, "resource given twice");
    in.script.versions.push_back(version);
    return true;
}

bool resource(Parser &in) {
    int line = peek(in)->line;
    RcName name, type;
    if (!resourceName(in, name) || !resourceType(in, type))
        return false;
    if (!type.isNumber && (type.text == "DIALOG" || type.text == "DIALOGEX"))
        return dialogResource(in, name, line);
    if (!type.isNumber && type.text == "VERSIONINFO")
        return versionResource(in, name, line);
    if (!type.isNumber && std::any_of(std::begin(kUnsupported), std::end(kUnsupported),
                                      [&](const char *word) { return type.text == word; }))
        return failAt(in, line, type.text + " resources are not supported");
    return fileResource(in, name, type, line);
}

bool statement(Parser &in) {
    const RcToken *token = peek(in);
    if (token->kind == RcTokenKind::Directive)
        return directive(in);
    if (rcIsWord(token, "STRINGTABLE"))
        return stringTable(in);
    if (rcIsWord(token, "LANGUAGE"))
        return skipLanguage(in);
    return resource(in);
}

bool readContents(const std::string &path, std::string &contents, std::string &error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": cannot open";
        return false;
    }
    std::ostringstream all;
    all << in.rdbuf();
    contents = all.str();
    return true;
}

} // namespace

bool rcReadScript(const std::string &path, RcScript &script, std::string &error) {
    std::string contents;
    std::vector<RcToken> tokens;
    script = RcScript();
    if (!readContents(path, contents, error) || !rcTokenize(path, contents, tokens, error))
        return false;
    Parser in{path, tokens, script, 0, {}, {}};
    while (peek(in))
        if (!statement(in)) {
            error = in.error;
            return false;
        }
    return true;
}

bool rcReadStringTable(const std::string &path, std::map<unsigned, std::string> &strings,
                       std::string &error) {
    RcScript script;
    if (!rcReadScript(path, script, error))
        return false;
    strings = script.strings;
    return true;
}
