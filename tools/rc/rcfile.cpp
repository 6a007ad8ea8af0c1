#include "tools/rc/rcfile.h"

#include <cctype>
#include <fstream>
#include <sstream>

namespace {

std::string Trim(const std::string &text)
{
    size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return "";
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// A quoted resource-script string: "" stands for a quote, and a backslash
// escapes n (LF), t (TAB), a quote or itself.
bool Unquote(const std::string &quoted, std::string &text)
{
    if (quoted.size() < 2 || quoted.front() != '"' || quoted.back() != '"')
        return false;
    text.clear();
    for (size_t i = 1; i + 1 < quoted.size(); i++) {
        char c = quoted[i];
        if (c == '"') {
            if (quoted[i + 1] != '"' || i + 2 >= quoted.size())
                return false;
            text += '"';
            i++;
        } else if (c == '\\' && i + 2 < quoted.size()) {
            char e = quoted[++i];
            text += e == 'n' ? '\n' : e == 't' ? '\t' : e;
        } else {
            text += c;
        }
    }
    return true;
}

bool ParseEntry(const std::string &line, std::map<unsigned, std::string> &strings)
{
    size_t digits = 0;
    while (digits < line.size() && isdigit((unsigned char)line[digits]))
        digits++;
    if (digits == 0 || digits > 5)
        return false;
    unsigned id = (unsigned)std::stoul(line.substr(0, digits));
    std::string rest = Trim(line.substr(digits));
    if (!rest.empty() && rest[0] == ',')
        rest = Trim(rest.substr(1));
    std::string text;
    if (!Unquote(rest, text) || strings.count(id))
        return false;
    strings[id] = text;
    return true;
}

} // namespace

bool rc_readStringTable(const std::string &path, std::map<unsigned, std::string> &strings,
                        std::string &error)
{
    std::ifstream in(path);
    if (!in) {
        error = path + ": cannot open";
        return false;
    }
    enum { Outside, Header, Inside } state = Outside;
    std::string raw;
    for (int number = 1; std::getline(in, raw); number++) {
        std::string line = Trim(raw);
        if (line.empty() || line.rfind("//", 0) == 0 || line[0] == '#')
            continue;
        bool ok = true;
        if (state == Outside)
            state = line == "STRINGTABLE" ? Header : Outside;
        else if (state == Header) {
            ok = line == "BEGIN" || line == "{";
            state = Inside;
        } else if (line == "END" || line == "}")
            state = Outside;
        else
            ok = ParseEntry(line, strings);
        if (!ok) {
            std::ostringstream message;
            message << path << ":" << number << ": not a string-table line: " << line;
            error = message.str();
            return false;
        }
    }
    if (state != Outside) {
        error = path + ": string table not closed";
        return false;
    }
    return true;
}
