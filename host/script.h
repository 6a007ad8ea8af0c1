// Keys written as text, for scripts and the terminal: "nei5hou2<Space>1"
// or "n e i 5 <Space> 1 <Enter>" (spaces between keys are optional). A
// step is a character (typed with Shift when the US layout needs it), a
// named key (<Space> <Enter> <Esc> <Backspace> <Tab> <Left> <Right> <Up>
// <Down> <Home> <End> <PageUp> <PageDown> <Insert> <Delete> <F1>..<F12>,
// <Shift> <Ctrl> <Alt>), a named key or character with modifiers (<Ctrl+`>
// <Ctrl+Shift+`> <Shift+1>), a chord ([fj]: press f, press j, release f,
// release j) or a lone press (+f, +<Shift>) or release (-f), or a click
// ({line:3}, {mode}, {shape}). An unknown <Name> or click is an error,
// never typed. To type the characters < [ { + - write them alone or as
// <<> <[> <{> <+> <->.
#ifndef TAVO_HOST_SCRIPT_H
#define TAVO_HOST_SCRIPT_H

#include <optional>
#include <string>
#include <vector>

namespace host {

struct KeyEvent {
    unsigned char virtualKey;
    bool release;
};

// A click of the mouse that a script asks for: on a line of the
// composition window ({line:3}, counted from 1 at the top), or on the
// status window's input-mode or shape button ({mode}, {shape}).
struct Click {
    enum Target { Line, Mode, Shape } target;
    size_t line; // from 0
};

// One token of a script and the key events (or the click) it stands for.
struct ScriptStep {
    std::string token;
    std::vector<KeyEvent> events;
    std::optional<Click> click;
};

// The key and Shift state that type a character on the US layout.
struct KeyStroke {
    unsigned char virtualKey;
    bool shift;
};
std::optional<KeyStroke> strokeForCharacter(char character);

// The virtual key of a key name ("Enter", "F5", "PageUp"; case ignored).
std::optional<unsigned char> keyForName(const std::string &name);

// The events of one token; nullopt when the token is not understood.
std::optional<std::vector<KeyEvent>> parseToken(const std::string &token);

// The steps of a script; on a bad token, error names it and the result is
// empty.
std::vector<ScriptStep> parseScript(const std::string &script, std::string &error);

} // namespace host

#endif
