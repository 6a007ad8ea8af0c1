// An application's side of IBus, for the engine's tests and its timing
// tool: the daemon IBUS_ADDRESS names, one input context with the focus
// and an engine set, key events sent as a keyboard sends them, and what
// the engine shows the application, recorded as its signals come.
#ifndef TAVO_FRONTENDS_IBUS_CLIENT_H
#define TAVO_FRONTENDS_IBUS_CLIENT_H

#include <ibus.h>

#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace ibus_client {

using Clock = std::chrono::steady_clock;

// A key as IBus names it: its keysym and its evdev code.
struct Key {
    unsigned keyval;
    unsigned keycode;
};

// The key that types a character on the US layout without Shift (lower-case
// letters, digits, space and the unshifted signs); keyval 0 for others.
Key keyFor(char character);

extern const Key kEscape, kReturn, kBackSpace, kControl, kShift, kPageDown, kGrave;
// The seven dot keys F D S J K L A, dots 1 to 7.
Key dotKey(int dot);

struct Property {
    std::string label;
    bool on;
};

// What the application has been shown so far.
struct Shown {
    std::string committed; // every commit, in order
    int commits = 0;
    Clock::time_point lastCommit;
    std::string preedit; // empty while hidden
    std::string auxiliary;
    std::vector<std::string> candidates; // "label text", empty while hidden
    std::map<std::string, Property> properties;
};

class Client {
public:
    Client() = default;
    Client(const Client &) = delete;
    Client &operator=(const Client &) = delete;
    ~Client();

    // Connects, makes an input context that can show preedit, auxiliary
    // text, lookup tables and properties, gives it the focus and sets the
    // engine; error says what failed.
    bool connect(const std::string &engine, std::string &error);

    // One key event; whether the engine handled it. state carries
    // IBUS_RELEASE_MASK for a release and the modifiers held.
    bool send(Key key, unsigned state = 0);
    // A press and a release; whether the press was handled.
    bool tap(Key key, unsigned state = 0);
    // Taps the keys of each character.
    void type(const std::string &text);
    // Presses the dot keys together, then releases them in order; whether
    // every event was handled.
    bool chord(const std::vector<int> &dots);

    void focusIn();
    void focusOut();
    void activateProperty(const std::string &name, bool on);

    // Runs the main loop until done() or the time is up; done()'s answer.
    bool waitUntil(const std::function<bool()> &done,
                   std::chrono::milliseconds limit = std::chrono::seconds(5));
    // Dispatches what has arrived, without waiting.
    void settle();

    Shown &shown() { return seen; }

private:
    static void onCommit(IBusInputContext *, IBusText *text, gpointer self);
    static void onPreedit(IBusInputContext *, IBusText *text, guint, gboolean visible,
                          gpointer self);
    static void onHidePreedit(IBusInputContext *, gpointer self);
    static void onAuxiliary(IBusInputContext *, IBusText *text, gboolean visible, gpointer self);
    static void onHideAuxiliary(IBusInputContext *, gpointer self);
    static void onLookupTable(IBusInputContext *, IBusLookupTable *table, gboolean visible,
                              gpointer self);
    static void onHideLookupTable(IBusInputContext *, gpointer self);
    static void onProperties(IBusInputContext *, IBusPropList *list, gpointer self);
    static void onProperty(IBusInputContext *, IBusProperty *property, gpointer self);
    void connectSignals();
    void record(IBusProperty *property);

    IBusBus *bus = nullptr;
    IBusInputContext *context = nullptr;
    Shown seen;
};

} // namespace ibus_client

#endif
