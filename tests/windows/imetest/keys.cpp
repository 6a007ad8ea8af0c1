#include "tests/windows/imetest/keys.h"

#include <sstream>
#include <vector>

namespace imetest {

namespace {

struct NamedKey {
    const char *name;
    WORD vk;
};

const NamedKey kNamedKeys[] = {
    {"Space", VK_SPACE},  {"Enter", VK_RETURN},  {"Esc", VK_ESCAPE}, {"Backspace", VK_BACK},
    {"Left", VK_LEFT},    {"Right", VK_RIGHT},   {"Up", VK_UP},      {"Down", VK_DOWN},
    {"PageUp", VK_PRIOR}, {"PageDown", VK_NEXT}, {"Home", VK_HOME},  {"End", VK_END},
};

struct Stroke {
    WORD vk;
    bool shift;
};

bool strokeOf(char c, Stroke &stroke) {
    SHORT found = VkKeyScanW((WCHAR)(unsigned char)c);
    if (found == -1)
        return false;
    stroke = Stroke{WORD(LOBYTE(found)), (HIBYTE(found) & 1) != 0};
    return true;
}

void send(WORD vk, bool up) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = WORD(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    if (vk == VK_LEFT || vk == VK_RIGHT || vk == VK_UP || vk == VK_DOWN || vk == VK_PRIOR ||
        vk == VK_NEXT || vk == VK_HOME || vk == VK_END)
        input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    SendInput(1, &input, sizeof input);
}

// Sends one event and lets the window handle it.
void event(App &app, WORD vk, bool up) {
    send(vk, up);
    app.pump();
}

void tap(App &app, Stroke stroke, bool ctrl = false) {
    if (ctrl)
        event(app, VK_CONTROL, false);
    if (stroke.shift)
        event(app, VK_SHIFT, false);
    event(app, stroke.vk, false);
    event(app, stroke.vk, true);
    if (stroke.shift)
        event(app, VK_SHIFT, true);
    if (ctrl)
        event(app, VK_CONTROL, true);
}

bool named(App &app, const std::string &word) {
    std::string name = word.substr(1, word.size() - 2);
    bool ctrl = name.rfind("Ctrl+", 0) == 0;
    if (ctrl)
        name = name.substr(5);
    for (const NamedKey &key : kNamedKeys)
        if (name == key.name) {
            tap(app, Stroke{key.vk, false}, ctrl);
            return true;
        }
    Stroke stroke;
    if (name.size() != 1 || !strokeOf(name[0], stroke))
        return false;
    tap(app, stroke, ctrl);
    return true;
}

bool chord(App &app, const std::string &keys) {
    std::vector<Stroke> strokes;
    for (char c : keys) {
        Stroke stroke;
        if (!strokeOf(c, stroke))
            return false;
        strokes.push_back(stroke);
    }
    for (const Stroke &stroke : strokes)
        event(app, stroke.vk, false);
    for (const Stroke &stroke : strokes)
        event(app, stroke.vk, true);
    return true;
}

bool word(App &app, const std::string &word) {
    Stroke stroke;
    if (word.size() > 2 && word.front() == '<' && word.back() == '>')
        return named(app, word);
    if (word.size() > 2 && word.front() == '[' && word.back() == ']')
        return chord(app, word.substr(1, word.size() - 2));
    if (word.size() == 2 && (word[0] == '+' || word[0] == '-') && strokeOf(word[1], stroke)) {
        event(app, stroke.vk, word[0] == '-');
        return true;
    }
    if (word.size() != 1 || !strokeOf(word[0], stroke))
        return false;
    tap(app, stroke);
    return true;
}

} // namespace

bool typeKeys(App &app, const std::string &script, std::string &error) {
    std::istringstream words(script);
    std::string each;
    while (words >> each)
        if (!word(app, each)) {
            error = "no key: " + each;
            return false;
        }
    return true;
}

} // namespace imetest
