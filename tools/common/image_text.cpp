// Writing image keys and data as text and reading them back.
#include "tools/common/image_text.h"

#include <algorithm>

#include <cstdio>
#include <vector>

#include "dict/text.h"
#include "platform/cp950/cp950.h"
#include "platform/platform.h"
#include "tools/common/jyutping.h"

namespace {

typedef std::basic_string<WCHAR> WideString;

// Whether the bytes at i start a Big5 pair (which may still lack a character).
bool isPair(const std::string &bytes, size_t i) {
    return i + 1 < bytes.size() && cp950_isLeadByte(bytes[i]) && cp950_isTrailByte(bytes[i + 1]);
}

std::string hexByte(unsigned char b) {
    char text[5];
    std::snprintf(text, sizeof(text), "\\x%02X", b);
    return text;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool toWide(UINT codePage, const std::string &bytes, WideString &wide) {
    wide.clear();
    if (bytes.empty())
        return true;
    int length = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(),
                                     (int)bytes.size(), NULL, 0);
    if (length == 0)
        return false;
    wide.resize(length);
    return MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), (int)bytes.size(),
                               wide.data(), length) == length;
}

std::string wideToUtf8(const WideString &wide) {
    if (wide.empty())
        return "";
    int length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), (int)wide.size(), NULL, 0, NULL, NULL);
    std::string text(length, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), (int)wide.size(), text.data(), length, NULL, NULL);
    return text;
}

// Big5 bytes for the UTF-16 text, or false when a character has none.
bool wideToBig5(const WideString &wide, std::string &big5) {
    big5.clear();
    if (wide.empty())
        return true;
    BOOL usedDefault = FALSE;
    int length = WideCharToMultiByte(BIG5_CODE_PAGE, WC_NO_BEST_FIT_CHARS, wide.data(),
                                     (int)wide.size(), NULL, 0, NULL, &usedDefault);
    if (length == 0 || usedDefault)
        return false;
    big5.resize(length);
    WideCharToMultiByte(BIG5_CODE_PAGE, WC_NO_BEST_FIT_CHARS, wide.data(), (int)wide.size(),
                        big5.data(), length, NULL, &usedDefault);
    return !usedDefault;
}

// Names the first character of the text that has no Big5 code.
std::string unconvertibleCharacter(const WideString &wide) {
    for (size_t i = 0; i < wide.size();) {
        size_t units = (wide[i] >= 0xD800 && wide[i] <= 0xDBFF && i + 1 < wide.size()) ? 2 : 1;
        WideString one = wide.substr(i, units);
        std::string ignored;
        if (!wideToBig5(one, ignored)) {
            unsigned long code =
                units == 2 ? 0x10000 + ((wide[i] - 0xD800UL) << 10) + (wide[i + 1] - 0xDC00UL)
                           : (unsigned long)wide[i];
            char name[16];
            std::snprintf(name, sizeof(name), "U+%04lX", code);
            return std::string(name) + " \"" + wideToUtf8(one) + "\"";
        }
        i += units;
    }
    return "a character";
}

// The UTF-8 text of the Big5 character at the start of bytes, if the
// character exists and converts back to the same bytes.
std::optional<std::string> big5Character(const std::string &bytes, size_t at) {
    if (!isPair(bytes, at))
        return std::nullopt;
    std::string pair = bytes.substr(at, 2);
    WideString wide;
    std::string back;
    if (!toWide(BIG5_CODE_PAGE, pair, wide) || !wideToBig5(wide, back) || back != pair)
        return std::nullopt;
    return wideToUtf8(wide);
}

// One ASCII byte as the text form writes it.
std::string asciiText(unsigned char b, bool keepTab) {
    switch (b) {
    case '\n':
        return "\\n";
    case '\\':
        return "\\\\";
    case '{':
        return "\\{";
    case '}':
        return "\\}";
    case '\t':
        return keepTab ? "\t" : hexByte(b);
    }
    if (b < 0x20 || b == 0x7F)
        return hexByte(b);
    return std::string(1, (char)b);
}

// Renders bytes; where codes are expected every reading code is written
// in braces, runs of codes sharing one pair, and other high bytes as \xHH.
std::string render(const std::string &bytes, bool codes, bool keepTab) {
    std::string text, syllables;
    auto closeCodes = [&]() {
        if (!syllables.empty())
            text += "{" + syllables + "}";
        syllables.clear();
    };
    for (size_t i = 0; i < bytes.size();) {
        unsigned char b = bytes[i];
        if (codes && i + 1 < bytes.size()) {
            if (auto syllable = imageReadingText(b, bytes[i + 1])) {
                syllables += *syllable;
                i += 2;
                continue;
            }
        }
        closeCodes();
        if (b < 0x80) {
            text += asciiText(b, keepTab);
            i++;
        } else if (auto character = codes ? std::nullopt : big5Character(bytes, i)) {
            text += *character;
            i += 2;
        } else {
            text += hexByte(b);
            i++;
        }
    }
    closeCodes();
    return text;
}

// The readings of a dictionary entry. A reading code's second byte may
// be a TAB itself, so the scan steps over whole codes.
std::vector<std::string> splitReadings(const std::string &bytes) {
    std::vector<std::string> parts(1);
    for (size_t i = 0; i < bytes.size(); i++) {
        if (bytes[i] == '\t') {
            parts.emplace_back();
        } else if ((bytes[i] & 0x80) && i + 1 < bytes.size()) {
            parts.back() += bytes.substr(i++, 2);
        } else {
            parts.back() += bytes[i];
        }
    }
    return parts;
}

// The lines of a query entry: each starts with a reading code, whose
// second byte may be a LF itself.
std::vector<std::string> splitQueryLines(const std::string &bytes) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t end = bytes.find('\n', std::min(start + 2, bytes.size()));
        parts.push_back(bytes.substr(start, end - start));
        if (end == std::string::npos)
            return parts;
        start = end + 1;
    }
}

template <typename RenderPart>
std::string joinRendered(const std::vector<std::string> &parts, const char *separator,
                         RenderPart render) {
    std::string text;
    for (size_t i = 0; i < parts.size(); i++) {
        if (i > 0)
            text += separator;
        text += render(parts[i]);
    }
    return text;
}

// A query line: its reading code, then explanations.
std::string queryLineText(const std::string &line) {
    if (line.size() >= 2) {
        if (auto syllable = imageReadingText(line[0], line[1]))
            return "{" + *syllable + "}" + imageBytesText(line.substr(2), false);
    }
    return imageBytesText(line, false);
}

// Parses the escape at text[at] == '\\' and moves at past it.
bool parseEscape(const std::string &text, size_t &at, std::string &bytes, std::string &error) {
    if (at + 1 >= text.size()) {
        error = "\"\\\" at the end of the text";
        return false;
    }
    char c = text[at + 1];
    if (c == 'n' || c == '\\' || c == '{' || c == '}') {
        bytes += c == 'n' ? '\n' : c;
        at += 2;
        return true;
    }
    if (c == 'x') {
        int high = at + 2 < text.size() ? hexDigit(text[at + 2]) : -1;
        int low = at + 3 < text.size() ? hexDigit(text[at + 3]) : -1;
        if (high < 0 || low < 0) {
            error = "\"\\x\" needs two hex digits";
            return false;
        }
        bytes += (char)(high * 16 + low);
        at += 4;
        return true;
    }
    error = "unknown escape \"\\" + std::string(1, c) + "\"";
    return false;
}

// Parses the reading at text[at] == '{' and moves at past its '}'.
bool parseReading(const std::string &text, size_t &at, std::string &bytes, std::string &error) {
    size_t end = text.find('}', at + 1);
    if (end == std::string::npos) {
        error = "\"{\" without \"}\"";
        return false;
    }
    if (!jyutpingEncode(text.substr(at + 1, end - at - 1), bytes, error))
        return false;
    at = end + 1;
    return true;
}

} // namespace

ImageKind imageKindForId(const std::string &id) {
    if (id == "TAVO dictionary database")
        return ImageKind::readings;
    if (id == "TAVO query database")
        return ImageKind::query;
    if (id == "TAVO voice database")
        return ImageKind::binary;
    return ImageKind::text;
}

std::optional<ImageKind> imageKindByName(const std::string &name) {
    for (ImageKind kind :
         {ImageKind::readings, ImageKind::query, ImageKind::text, ImageKind::binary})
        if (name == imageKindName(kind))
            return kind;
    return std::nullopt;
}

const char *imageKindName(ImageKind kind) {
    switch (kind) {
    case ImageKind::readings:
        return "readings";
    case ImageKind::query:
        return "query";
    case ImageKind::binary:
        return "binary";
    case ImageKind::text:
        break;
    }
    return "text";
}

bool imageUtf8ToBig5(const std::string &text, std::string &big5, std::string &error) {
    WideString wide;
    if (!toWide(CP_UTF8, text, wide)) {
        error = "text is not valid UTF-8";
        return false;
    }
    if (!wideToBig5(wide, big5)) {
        error = unconvertibleCharacter(wide) + " has no Big5 code";
        return false;
    }
    return true;
}

bool imageParseText(const std::string &text, std::string &bytes, std::string &error) {
    std::string result;
    for (size_t at = 0; at < text.size();) {
        char c = text[at];
        if (c == '\\') {
            if (!parseEscape(text, at, result, error))
                return false;
        } else if (c == '{') {
            if (!parseReading(text, at, result, error))
                return false;
        } else if (c == '}') {
            error = "\"}\" without \"{\"";
            return false;
        } else {
            size_t end = text.find_first_of("\\{}", at);
            std::string big5;
            if (!imageUtf8ToBig5(text.substr(at, end - at), big5, error))
                return false;
            result += big5;
            at = end == std::string::npos ? text.size() : end;
        }
    }
    bytes = result;
    return true;
}

std::string imageKeyText(const std::string &key, ImageKind kind) {
    std::string text = render(key, kind == ImageKind::binary, false);
    // A line that starts with '#' is a comment.
    if (!text.empty() && text[0] == '#')
        text = hexByte('#') + text.substr(1);
    return text;
}

std::vector<std::string> imageDataParts(const std::string &data, ImageKind kind) {
    switch (kind) {
    case ImageKind::readings:
        return splitReadings(data);
    case ImageKind::query:
        return splitQueryLines(data);
    case ImageKind::binary:
        return {data};
    case ImageKind::text:
        break;
    }
    std::vector<std::string> items(1);
    for (char c : data) {
        if (c == '\t')
            items.emplace_back();
        else
            items.back() += c;
    }
    return items;
}

std::string imageDataText(const std::string &data, ImageKind kind) {
    switch (kind) {
    case ImageKind::readings:
        return joinRendered(splitReadings(data), "\t", [](const std::string &reading) {
            return imageBytesText(reading, true);
        });
    case ImageKind::query:
        return joinRendered(splitQueryLines(data), "\\n", queryLineText);
    case ImageKind::binary:
        return imageHexText(data);
    case ImageKind::text:
        break;
    }
    return imageBytesText(data, false);
}

std::string imageBytesText(const std::string &bytes, bool codes) {
    return render(bytes, codes, true);
}

std::string imageHexText(const std::string &bytes) {
    std::string text;
    for (unsigned char b : bytes)
        text += hexByte(b);
    return text;
}

std::optional<std::string> imageReadingText(unsigned char first, unsigned char second) {
    if (!(first & 0x80) || second == 0)
        return std::nullopt;
    const char pair[3] = {(char)first, (char)second, 0};
    std::string syllable = jyutpingDecode(pair);
    if (syllable.empty())
        return std::nullopt;
    // Stop finals come out with tones 7, 8, 9; jyutping writes 1, 3, 6.
    char &tone = syllable.back();
    if (tone >= '7' && tone <= '9')
        tone = "136"[tone - '7'];
    std::string codes, error;
    if (!jyutpingEncode(syllable, codes, error) || codes != std::string(pair, 2))
        return std::nullopt;
    return syllable;
}

size_t imageBig5Length(const std::string &bytes) {
    size_t characters = 0;
    for (size_t i = 0; i < bytes.size(); characters++) {
        i += isPair(bytes, i) ? 2 : 1;
    }
    return characters;
}
