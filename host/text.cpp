// Text conversions and the line layout of composition strings, for the
// host's output.
#include "host/text.h"

#include "platform/platform.h"

namespace host {

std::string toUtf8(const std::u16string &text) {
    if (text.empty())
        return {};
    int length = static_cast<int>(text.size());
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return {};
    std::string result(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), length, result.data(), bytes, nullptr, nullptr);
    return result;
}

std::vector<std::string> compositionLines(const std::string &utf8) {
    std::vector<std::string> lines;
    std::string line;
    size_t at = 0;
    while (at < utf8.size()) {
        size_t run = utf8.find_first_not_of(' ', at);
        if (run == std::string::npos)
            run = utf8.size();
        size_t spaces = run - at;
        if (spaces >= 3) {
            // Every run of three ends a line: six spaces leave an empty one.
            for (size_t breaks = spaces / 3; breaks > 0; breaks--) {
                lines.push_back(line);
                line.clear();
            }
            line.append(spaces % 3, ' ');
            at = run;
            continue;
        }
        if (spaces > 0) {
            line.append(spaces, ' ');
            at = run;
            continue;
        }
        line += utf8[at++];
    }
    if (!line.empty() || (lines.empty() && !utf8.empty()))
        lines.push_back(line);
    return lines;
}

void dropLastCharacter(std::string &text) {
    while (!text.empty()) {
        unsigned char last = static_cast<unsigned char>(text.back());
        text.pop_back();
        if ((last & 0xC0) != 0x80)
            return;
    }
}

} // namespace host
