#include "tools/rc/rcversion.h"

#include <algorithm>
#include <iterator>

namespace {

// The Windows constants that version resources are written with.
const RcConstant kConstants[] = {
    {"VS_FFI_FILEFLAGSMASK", 0x3F},
    {"VS_FF_DEBUG", 0x01},
    {"VS_FF_PRERELEASE", 0x02},
    {"VS_FF_PATCHED", 0x04},
    {"VS_FF_PRIVATEBUILD", 0x08},
    {"VS_FF_INFOINFERRED", 0x10},
    {"VS_FF_SPECIALBUILD", 0x20},
    {"VOS_UNKNOWN", 0},
    {"VOS_NT", 0x00040000},
    {"VOS__WINDOWS32", 0x00000004},
    {"VOS_NT_WINDOWS32", 0x00040004},
    {"VFT_UNKNOWN", 0},
    {"VFT_APP", 1},
    {"VFT_DLL", 2},
    {"VFT_DRV", 3},
    {"VFT2_UNKNOWN", 0},
    {"VFT2_DRV_INPUTMETHOD", 0x0B},
};

constexpr uint32_t kSignature = 0xFEEF04BD;
constexpr uint32_t kStructVersion = 0x00010000;
constexpr uint16_t kBinary = 0, kText = 1;
constexpr char kRootKey[] = "VS_VERSION_INFO";
constexpr size_t kLargestNode = 0xFFFF; // a length is one WORD

struct Reader {
    const std::string &path;
    const std::vector<RcToken> &tokens;
    size_t &at;
    std::string &error;

    const RcToken *peek(size_t ahead = 0) const {
        return at + ahead < tokens.size() ? &tokens[at + ahead] : nullptr;
    }
    bool fail(const std::string &problem) {
        int line = tokens.empty() ? 1 : tokens[std::min(at, tokens.size() - 1)].line;
        error = path + ":" + std::to_string(line) + ": " + problem;
        return false;
    }
};

// A number or a named constant.
bool primary(Reader &in, uint32_t &value) {
    const RcToken *token = in.peek();
    if (token && token->kind == RcTokenKind::Number) {
        value = uint32_t(token->number);
        in.at++;
        return true;
    }
    if (token && token->kind == RcTokenKind::Word) {
        if (!rcConstant(kConstants, token->text, value))
            return in.fail("unknown name: " + token->text);
        in.at++;
        return true;
    }
    return in.fail("expected a value");
}

// Values joined by |.
bool value(Reader &in, uint32_t &result) {
    result = 0;
    do {
        uint32_t part = 0;
        if (!primary(in, part))
            return false;
        result |= part;
    } while (rcIsPunctuation(in.peek(), '|') && ++in.at);
    return true;
}

// a, b, c, d: four 16-bit parts, as two DWORDs.
bool versionNumber(Reader &in, uint32_t (&halves)[2]) {
    uint32_t parts[4] = {0, 0, 0, 0};
    for (int i = 0; i < 4; i++) {
        if (i > 0) {
            if (!rcIsPunctuation(in.peek(), ','))
                break;
            in.at++;
        }
        if (!value(in, parts[i]))
            return false;
        if (parts[i] > 0xFFFF)
            return in.fail("a version part is at most 65535");
    }
    halves[0] = parts[0] << 16 | parts[1];
    halves[1] = parts[2] << 16 | parts[3];
    return true;
}

bool fixedField(Reader &in, RcVersion &version, bool &known) {
    const RcToken *token = in.peek();
    known = true;
    struct Field {
        const char *word;
        uint32_t *target;
    };
    const Field fields[] = {{"FILEFLAGSMASK", &version.flagsMask},
                            {"FILEFLAGS", &version.flags},
                            {"FILEOS", &version.os},
                            {"FILETYPE", &version.type},
                            {"FILESUBTYPE", &version.subtype}};
    if (rcIsWord(token, "FILEVERSION") || rcIsWord(token, "PRODUCTVERSION")) {
        bool file = rcIsWord(token, "FILEVERSION");
        in.at++;
        return versionNumber(in, file ? version.fileVersion : version.productVersion);
    }
    for (const Field &field : fields)
        if (rcIsWord(token, field.word)) {
            in.at++;
            return value(in, *field.target);
        }
    known = false;
    return true;
}

bool quoted(Reader &in, std::string &text, const char *what) {
    const RcToken *token = in.peek();
    if (!token || token->kind != RcTokenKind::Text)
        return in.fail(std::string("expected the quoted ") + what);
    text = token->text;
    in.at++;
    return true;
}

bool nodes(Reader &in, std::vector<RcVersionNode> &out);

// VALUE "key", "text"  or  VALUE "key", number, ...
bool valueNode(Reader &in, RcVersionNode &node) {
    in.at++;
    if (!quoted(in, node.key, "value name"))
        return false;
    while (rcIsPunctuation(in.peek(), ',')) {
        in.at++;
        const RcToken *token = in.peek();
        if (token && token->kind == RcTokenKind::Text) {
            if (node.isText || !node.numbers.empty())
                return in.fail("a value is one text or a list of numbers");
            node.isText = true;
            node.text = token->text;
            in.at++;
            continue;
        }
        uint32_t number;
        if (node.isText || !value(in, number))
            return node.isText ? in.fail("a value is one text or a list of numbers") : false;
        if (number > 0xFFFF)
            return in.fail("a number of a value is at most 65535");
        node.numbers.push_back(uint16_t(number));
    }
    return true;
}

// BLOCK "key" BEGIN nodes END
bool blockNode(Reader &in, RcVersionNode &node) {
    in.at++;
    node.isBlock = true;
    return quoted(in, node.key, "block name") && nodes(in, node.children);
}

bool nodes(Reader &in, std::vector<RcVersionNode> &out) {
    if (!rcIsOpen(in.peek()))
        return in.fail("expected BEGIN");
    in.at++;
    while (!rcIsClose(in.peek())) {
        const RcToken *token = in.peek();
        RcVersionNode node;
        if (!token)
            return in.fail("version block not closed");
        if (rcIsWord(token, "BLOCK")) {
            if (!blockNode(in, node))
                return false;
        } else if (rcIsWord(token, "VALUE")) {
            if (!valueNode(in, node))
                return false;
        } else {
            return in.fail("expected BLOCK or VALUE");
        }
        out.push_back(node);
    }
    in.at++;
    return true;
}

// ---- Layout ------------------------------------------------------------

void word(std::u16string &out, uint32_t value) {
    out += char16_t(value & 0xFFFF);
}

void dword(std::u16string &out, uint32_t value) {
    word(out, value);
    word(out, value >> 16);
}

void align(std::u16string &out) {
    if (out.size() % 2)
        out += u'\0';
}

void text(std::u16string &out, const std::string &utf8) {
    std::u16string units;
    rcUtf16(utf8, units);
    out += units;
    out += u'\0';
}

// One node: wLength, wValueLength, wType, the key, the value and the
// children, each starting on a DWORD; wLength leaves out the padding
// after the last child.
std::u16string node(const std::string &key, uint16_t type, uint16_t valueLength,
                    const std::u16string &value, const std::vector<std::u16string> &children) {
    std::u16string out(3, u'\0');
    text(out, key);
    align(out);
    out += value;
    for (const std::u16string &child : children) {
        align(out);
        out += child;
    }
    out[0] = char16_t(std::min(out.size() * 2, kLargestNode));
    out[1] = char16_t(valueLength);
    out[2] = char16_t(type);
    return out;
}

std::u16string layout(const RcVersionNode &from) {
    std::vector<std::u16string> children;
    for (const RcVersionNode &child : from.children)
        children.push_back(layout(child));
    std::u16string value;
    if (from.isBlock)
        return node(from.key, kText, 0, value, children);
    if (from.isText) {
        text(value, from.text);
        return node(from.key, kText, uint16_t(value.size()), value, children);
    }
    for (uint16_t number : from.numbers)
        word(value, number);
    return node(from.key, kBinary, uint16_t(value.size() * 2), value, children);
}

std::u16string fixedInfo(const RcVersion &version) {
    std::u16string out;
    for (uint32_t field :
         {kSignature, kStructVersion, version.fileVersion[0], version.fileVersion[1],
          version.productVersion[0], version.productVersion[1], version.flagsMask, version.flags,
          version.os, version.type, version.subtype, 0u, 0u})
        dword(out, field);
    return out;
}

} // namespace

bool rcReadVersion(const std::string &path, const std::vector<RcToken> &tokens, size_t &at,
                   RcVersion &version, std::string &error) {
    Reader in{path, tokens, at, error};
    bool known = true;
    while (known) {
        if (!fixedField(in, version, known))
            return false;
    }
    if (!nodes(in, version.children))
        return false;
    if (rcVersionResource(version).size() * 2 > kLargestNode)
        return in.fail("version resource too large");
    return true;
}

std::u16string rcVersionResource(const RcVersion &version) {
    std::vector<std::u16string> children;
    for (const RcVersionNode &child : version.children)
        children.push_back(layout(child));
    std::u16string fixed = fixedInfo(version);
    return node(kRootKey, kBinary, uint16_t(fixed.size() * 2), fixed, children);
}
