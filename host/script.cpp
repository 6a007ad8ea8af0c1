// Parsing key scripts into key presses and releases on the US layout.
#include "host/script.h"

#include "platform/platform.h"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace host {

namespace {

struct NamedKey {
    const char *name;
    unsigned char virtualKey;
};

constexpr NamedKey kNamedKeys[] = {
    {"space", VK_SPACE},   {"enter", VK_RETURN},   {"return", VK_RETURN}, {"esc", VK_ESCAPE},
    {"escape", VK_ESCAPE}, {"backspace", VK_BACK}, {"tab", VK_TAB},       {"left", VK_LEFT},
    {"right", VK_RIGHT},   {"up", VK_UP},          {"down", VK_DOWN},     {"home", VK_HOME},
    {"end", VK_END},       {"pageup", VK_PRIOR},   {"pagedown", VK_NEXT}, {"insert", VK_INSERT},
    {"delete", VK_DELETE}, {"shift", VK_SHIFT},    {"ctrl", VK_CONTROL},  {"control", VK_CONTROL},
    {"alt", VK_MENU},
};

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The character a key gives with or without Shift, from the platform's
// layout.
char characterOf(unsigned key, bool shift) {
    BYTE state[256] = {};
    if (shift)
        state[VK_SHIFT] = 0x80;
    WORD character = 0;
    return ToAscii(key, 0, state, &character, 0) == 1 ? static_cast<char>(character) : 0;
}

void pressAndRelease(std::vector<KeyEvent> &events, unsigned char key) {
    events.push_back({key, false});
    events.push_back({key, true});
}

// A key between modifiers: the modifiers go down in order, the key is
// typed, and they come up in reverse.
std::vector<KeyEvent> withModifiers(const std::vector<unsigned char> &modifiers,
                                    unsigned char key) {
    std::vector<KeyEvent> events;
    for (unsigned char modifier : modifiers)
        events.push_back({modifier, false});
    pressAndRelease(events, key);
    for (auto modifier = modifiers.rbegin(); modifier != modifiers.rend(); ++modifier)
        events.push_back({*modifier, true});
    return events;
}

// One key written as a name or a single character, with the Shift that
// the character needs.
std::optional<KeyStroke> strokeForKey(const std::string &key) {
    if (key.size() == 1)
        return strokeForCharacter(key[0]);
    if (auto named = keyForName(key))
        return KeyStroke{*named, false};
    return std::nullopt;
}

std::optional<std::vector<KeyEvent>> parseNamed(const std::string &inside) {
    std::vector<unsigned char> modifiers;
    size_t start = 0;
    // "+" alone as the key: <Ctrl++>.
    while (true) {
        size_t plus = inside.find('+', start);
        if (plus == std::string::npos || plus == inside.size() - 1 || plus == start)
            break;
        auto modifier = keyForName(inside.substr(start, plus - start));
        if (!modifier || (*modifier != VK_SHIFT && *modifier != VK_CONTROL && *modifier != VK_MENU))
            return std::nullopt;
        modifiers.push_back(*modifier);
        start = plus + 1;
    }
    auto stroke = strokeForKey(inside.substr(start));
    if (!stroke)
        return std::nullopt;
    if (stroke->shift && std::find(modifiers.begin(), modifiers.end(), VK_SHIFT) == modifiers.end())
        modifiers.push_back(VK_SHIFT);
    return withModifiers(modifiers, stroke->virtualKey);
}

std::optional<std::vector<KeyEvent>> parseChord(const std::string &inside) {
    std::vector<KeyEvent> events;
    for (char c : inside) {
        auto stroke = strokeForCharacter(c);
        if (!stroke)
            return std::nullopt;
        events.push_back({stroke->virtualKey, false});
    }
    for (char c : inside)
        events.push_back({strokeForCharacter(c)->virtualKey, true});
    return events;
}

std::optional<std::vector<KeyEvent>> parseCharacters(const std::string &token) {
    std::vector<KeyEvent> events;
    for (char c : token) {
        auto stroke = strokeForCharacter(c);
        if (!stroke)
            return std::nullopt;
        std::vector<unsigned char> modifiers;
        if (stroke->shift)
            modifiers.push_back(VK_SHIFT);
        for (const KeyEvent &event : withModifiers(modifiers, stroke->virtualKey))
            events.push_back(event);
    }
    return events;
}

// "+f", "-f", "+<Shift>": one press or one release.
std::optional<std::vector<KeyEvent>> parseHalf(const std::string &token) {
    std::string key = token.substr(1);
    if (key.size() > 2 && key.front() == '<' && key.back() == '>')
        key = key.substr(1, key.size() - 2);
    auto stroke = strokeForKey(key);
    if (!stroke)
        return std::nullopt;
    return std::vector<KeyEvent>{{stroke->virtualKey, token[0] == '-'}};
}

} // namespace

std::optional<KeyStroke> strokeForCharacter(char character) {
    if (character == 0)
        return std::nullopt;
    for (bool shift : {false, true})
        for (unsigned key = 1; key < 0x100; ++key) {
            // The numeric pad repeats the digits and signs; the main keys win.
            if (key >= VK_NUMPAD0 && key <= VK_DIVIDE)
                continue;
            if (characterOf(key, shift) == character)
                return KeyStroke{static_cast<unsigned char>(key), shift};
        }
    return std::nullopt;
}

std::optional<unsigned char> keyForName(const std::string &name) {
    std::string wanted = lower(name);
    for (const NamedKey &key : kNamedKeys)
        if (wanted == key.name)
            return key.virtualKey;
    if (wanted.size() >= 2 && wanted[0] == 'f' &&
        std::isdigit(static_cast<unsigned char>(wanted[1]))) {
        int number = std::atoi(wanted.c_str() + 1);
        if (number >= 1 && number <= 12 && wanted == "f" + std::to_string(number))
            return static_cast<unsigned char>(VK_F1 + number - 1);
    }
    return std::nullopt;
}

std::optional<std::vector<KeyEvent>> parseToken(const std::string &token) {
    if (token.empty())
        return std::nullopt;
    if (token.size() > 2 && token.front() == '<' && token.back() == '>')
        return parseNamed(token.substr(1, token.size() - 2));
    if (token.size() > 2 && token.front() == '[' && token.back() == ']')
        return parseChord(token.substr(1, token.size() - 2));
    if (token.size() > 1 && (token[0] == '+' || token[0] == '-'))
        return parseHalf(token);
    return parseCharacters(token);
}

namespace {

bool isBlank(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

bool isLetter(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0;
}

// One step of a script read from its start: its text and its events, or
// an error that names it.
struct Scanned {
    size_t length = 0;
    std::optional<std::vector<KeyEvent>> events;
    std::string error;
};

// "<Name>" at the start of text, up to the first ">" that closes a key
// the host knows ("<Shift+>>" closes at the second). A "<" before a
// letter must start one; any other "<" is the character.
Scanned scanNamed(const std::string &text) {
    Scanned result;
    size_t end = 1;
    while (end < text.size() && !isBlank(text[end]))
        ++end;
    size_t firstClose = std::string::npos;
    for (size_t close = 2; close < end; ++close) {
        if (text[close] != '>')
            continue;
        if (firstClose == std::string::npos)
            firstClose = close;
        if (auto events = parseNamed(text.substr(1, close - 1))) {
            result.length = close + 1;
            result.events = events;
            return result;
        }
    }
    if (text.size() > 1 && isLetter(text[1])) {
        size_t shown = firstClose == std::string::npos ? end : firstClose + 1;
        result.error = firstClose == std::string::npos
                           ? "the key " + text.substr(0, shown) + " has no closing >"
                           : "there is no key " + text.substr(0, shown);
        return result;
    }
    result.length = 1;
    result.events = parseCharacters("<");
    return result;
}

// "[keys]": a chord; a "[" that no "]" closes before a space is the
// character.
Scanned scanChord(const std::string &text) {
    Scanned result;
    size_t close = 1;
    while (close < text.size() && !isBlank(text[close]) && text[close] != ']')
        ++close;
    if (close == text.size() || text[close] != ']' || close == 1) {
        result.length = 1;
        result.events = parseCharacters("[");
        return result;
    }
    result.length = close + 1;
    result.events = parseChord(text.substr(1, close - 1));
    if (!result.events)
        result.error = "cannot press the chord " + text.substr(0, close + 1);
    return result;
}

// "+key" or "-key": one press or one release of a character or a named
// key.
Scanned scanHalf(const std::string &text) {
    Scanned result;
    if (text[1] == '<') {
        Scanned named = scanNamed(text.substr(1));
        if (!named.events || named.length == 1) {
            result.error = named.error.empty() ? "cannot read " + text.substr(0, 2) : named.error;
            return result;
        }
        result.length = 1 + named.length;
    } else {
        result.length = 2;
    }
    result.events = parseHalf(text.substr(0, result.length));
    if (!result.events)
        result.error = "cannot press or release " + text.substr(0, result.length);
    return result;
}

// "{line:N}", "{mode}" or "{shape}": a click; a "{" that no "}" closes
// before a space is the character.
Scanned scanClick(const std::string &text, std::optional<Click> &click) {
    Scanned result;
    size_t close = 1;
    while (close < text.size() && !isBlank(text[close]) && text[close] != '}')
        ++close;
    if (close == text.size() || text[close] != '}') {
        result.length = 1;
        result.events = parseCharacters("{");
        return result;
    }
    result.length = close + 1;
    std::string inside = lower(text.substr(1, close - 1));
    int line = inside.rfind("line:", 0) == 0 ? std::atoi(inside.c_str() + 5) : 0;
    if (inside == "mode")
        click = Click{Click::Mode, 0};
    else if (inside == "shape")
        click = Click{Click::Shape, 0};
    else if (line >= 1 && inside == "line:" + std::to_string(line))
        click = Click{Click::Line, size_t(line - 1)};
    else
        result.error = "there is no click " + text.substr(0, close + 1) +
                       " (clicks are {line:N}, {mode} and {shape})";
    if (click)
        result.events = std::vector<KeyEvent>{};
    return result;
}

Scanned scanStep(const std::string &text, std::optional<Click> &click) {
    if (text[0] == '{')
        return scanClick(text, click);
    if (text[0] == '<')
        return scanNamed(text);
    if (text[0] == '[')
        return scanChord(text);
    if ((text[0] == '+' || text[0] == '-') && text.size() > 1 && !isBlank(text[1]))
        return scanHalf(text);
    Scanned result;
    result.length = 1;
    result.events = parseCharacters(text.substr(0, 1));
    if (!result.events)
        result.error = "cannot type the character " + text.substr(0, 1);
    return result;
}

} // namespace

std::vector<ScriptStep> parseScript(const std::string &script, std::string &error) {
    std::vector<ScriptStep> steps;
    for (size_t at = 0; at < script.size();) {
        if (isBlank(script[at])) {
            ++at;
            continue;
        }
        std::optional<Click> click;
        Scanned step = scanStep(script.substr(at), click);
        if (!step.events) {
            error = step.error;
            return {};
        }
        steps.push_back({script.substr(at, step.length), *step.events, click});
        at += step.length;
    }
    return steps;
}

} // namespace host
