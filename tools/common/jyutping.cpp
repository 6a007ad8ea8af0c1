// The inverse of the jyutping decoder: each syllable is its longest
// initial, then its longest final, then a tone digit.
#include "tools/common/jyutping.h"

#include <cctype>
#include <cstring>
#include <optional>

#include "frame/canton.h"

namespace {

constexpr int kInitialM = 3;
constexpr int kInitialNg = 11;

// The number of the longest table entry that starts text at pos, or 0.
int longestEntry(const char *const *table, int entries, const std::string &text, size_t pos) {
    int best = 0;
    size_t bestLength = 0;
    for (int i = 1; i <= entries; i++) {
        size_t length = std::strlen(table[i]);
        if (length > bestLength && text.compare(pos, length, table[i]) == 0) {
            best = i;
            bestLength = length;
        }
    }
    return best;
}

// The tone number that a typed tone digit stands for, if any. Stop finals
// count from the entering tones: 1, 3, 6 (or 7, 8, 9) are 1, 2, 3 and the
// changed tones 2, 4, 5 are 4, 5, 6.
std::optional<int> toneNumber(char digit, bool stopFinal) {
    if (digit < '1' || digit > '9')
        return std::nullopt;
    int tone = digit - '0';
    if (!stopFinal)
        return tone <= 6 ? std::optional<int>(tone) : std::nullopt;
    static const int stopTones[10] = {0, 1, 4, 2, 5, 6, 3, 1, 2, 3};
    return stopTones[tone];
}

std::string readingCode(int initial, int final, int tone) {
    std::string code(2, '\0');
    code[0] = char(0x80 | (initial << 2) | (final >> 4));
    code[1] = char(((final & 15) << 3) | tone);
    return code;
}

// Parses the syllable at pos; on success appends its code and moves pos.
bool parseSyllable(const std::string &text, size_t &pos, std::string &codes) {
    size_t at = pos;
    int initial = longestEntry(LSHK_initials, CANTON_INITIALS, text, at);
    at += std::strlen(LSHK_initials[initial]);
    int final = longestEntry(LSHK_finals, CANTON_FINALS, text, at);
    at += std::strlen(LSHK_finals[final]);
    bool syllabic = initial == kInitialM || initial == kInitialNg;
    if (final == 0 && !syllabic)
        return false;
    if (at >= text.size())
        return false;
    std::optional<int> tone = toneNumber(text[at], final >= CANTON_FIRST_STOP_FINAL);
    if (!tone)
        return false;
    codes += readingCode(initial, final, *tone);
    pos = at + 1;
    return true;
}

// The syllable as written at pos, for an error message: up to and with the
// next digit, or up to the next space.
std::string syllableAt(const std::string &text, size_t pos) {
    size_t end = pos;
    while (end < text.size() && text[end] != ' ' && !std::isdigit((unsigned char)text[end]))
        end++;
    if (end < text.size() && text[end] != ' ')
        end++;
    return text.substr(pos, end - pos);
}

} // namespace

bool jyutpingEncode(const std::string &text, std::string &codes, std::string &error) {
    std::string result;
    size_t pos = 0;
    for (;;) {
        while (pos < text.size() && text[pos] == ' ')
            pos++;
        if (pos >= text.size())
            break;
        if (!parseSyllable(text, pos, result)) {
            error = "bad jyutping syllable \"" + syllableAt(text, pos) + "\" in \"" + text + "\"";
            return false;
        }
    }
    if (result.empty()) {
        error = "empty jyutping reading";
        return false;
    }
    codes += result;
    return true;
}

std::string jyutpingDecode(const std::string &codes) {
    LPTSTR text = canton_decode(0, codes.c_str());
    std::string result(text);
    GlobalFree(text);
    return result;
}
