// The test and timing client of the engine.
#include "frontends/ibus/client.h"

#include <linux/input-event-codes.h>

#include <cstring>

namespace ibus_client {

namespace {

// Letters in evdev order of the rows, to find each letter's code.
struct Row {
    const char *letters;
    unsigned firstCode;
};
constexpr Row kRows[] = {{"qwertyuiop", KEY_Q}, {"asdfghjkl", KEY_A}, {"zxcvbnm", KEY_Z}};

struct Sign {
    char character;
    unsigned keycode;
};
constexpr Sign kSigns[] = {
    {' ', KEY_SPACE},      {'-', KEY_MINUS},     {'=', KEY_EQUAL},       {'[', KEY_LEFTBRACE},
    {']', KEY_RIGHTBRACE}, {';', KEY_SEMICOLON}, {'\'', KEY_APOSTROPHE}, {'`', KEY_GRAVE},
    {'\\', KEY_BACKSLASH}, {',', KEY_COMMA},     {'.', KEY_DOT},         {'/', KEY_SLASH},
};

std::string utf8(IBusText *text) {
    const gchar *string = text ? ibus_text_get_text(text) : nullptr;
    return string ? string : "";
}

struct Reply {
    bool done = false;
    bool handled = false;
};

gboolean expire(gpointer flag) {
    *static_cast<bool *>(flag) = true;
    return G_SOURCE_REMOVE;
}

void replied(GObject *source, GAsyncResult *result, gpointer data) {
    auto *reply = static_cast<Reply *>(data);
    reply->handled = ibus_input_context_process_key_event_async_finish(IBUS_INPUT_CONTEXT(source),
                                                                       result, nullptr);
    reply->done = true;
}

} // namespace

const Key kEscape = {IBUS_KEY_Escape, KEY_ESC};
const Key kReturn = {IBUS_KEY_Return, KEY_ENTER};
const Key kBackSpace = {IBUS_KEY_BackSpace, KEY_BACKSPACE};
const Key kControl = {IBUS_KEY_Control_L, KEY_LEFTCTRL};
const Key kShift = {IBUS_KEY_Shift_L, KEY_LEFTSHIFT};
const Key kPageDown = {IBUS_KEY_Page_Down, KEY_PAGEDOWN};
const Key kGrave = {IBUS_KEY_grave, KEY_GRAVE};

Key keyFor(char character) {
    if (character >= '1' && character <= '9')
        return {unsigned(character), KEY_1 + unsigned(character - '1')};
    if (character == '0')
        return {'0', KEY_0};
    for (const Row &row : kRows)
        if (const char *at = std::strchr(row.letters, character); at && character)
            return {unsigned(character), row.firstCode + unsigned(at - row.letters)};
    for (const Sign &sign : kSigns)
        if (sign.character == character)
            return {unsigned(character), sign.keycode};
    return {0, 0};
}

Key dotKey(int dot) {
    static const char kDots[] = "fdsjkla";
    return keyFor(dot >= 1 && dot <= 7 ? kDots[dot - 1] : 0);
}

Client::~Client() {
    if (context) {
        ibus_proxy_destroy(IBUS_PROXY(context));
        g_object_unref(context);
    }
    if (bus)
        g_object_unref(bus);
}

bool Client::connect(const std::string &engine, std::string &error) {
    ibus_init();
    bus = ibus_bus_new();
    if (!ibus_bus_is_connected(bus)) {
        error = "cannot reach ibus-daemon";
        return false;
    }
    context = ibus_bus_create_input_context(bus, "tavo-test");
    if (!context) {
        error = "the daemon made no input context";
        return false;
    }
    connectSignals();
    ibus_input_context_set_capabilities(context, IBUS_CAP_PREEDIT_TEXT | IBUS_CAP_AUXILIARY_TEXT |
                                                     IBUS_CAP_LOOKUP_TABLE | IBUS_CAP_FOCUS |
                                                     IBUS_CAP_PROPERTY);
    ibus_input_context_focus_in(context);
    // The daemon sets the engine once it has started the engine's process,
    // which the call does not wait for.
    ibus_input_context_set_engine(context, engine.c_str());
    bool set = false;
    for (int tries = 0; tries < 500 && !set; ++tries) {
        settle();
        IBusEngineDesc *now = ibus_input_context_get_engine(context);
        set = now && engine == ibus_engine_desc_get_name(now);
        if (!set)
            g_usleep(20000);
    }
    if (!set)
        error = "the daemon did not set the engine " + engine;
    return set;
}

void Client::connectSignals() {
    g_signal_connect(context, "commit-text", G_CALLBACK(onCommit), this);
    g_signal_connect(context, "update-preedit-text", G_CALLBACK(onPreedit), this);
    g_signal_connect(context, "hide-preedit-text", G_CALLBACK(onHidePreedit), this);
    g_signal_connect(context, "update-auxiliary-text", G_CALLBACK(onAuxiliary), this);
    g_signal_connect(context, "hide-auxiliary-text", G_CALLBACK(onHideAuxiliary), this);
    g_signal_connect(context, "update-lookup-table", G_CALLBACK(onLookupTable), this);
    g_signal_connect(context, "hide-lookup-table", G_CALLBACK(onHideLookupTable), this);
    g_signal_connect(context, "register-properties", G_CALLBACK(onProperties), this);
    g_signal_connect(context, "update-property", G_CALLBACK(onProperty), this);
}

void Client::onCommit(IBusInputContext *, IBusText *text, gpointer self) {
    Shown &seen = static_cast<Client *>(self)->seen;
    seen.committed += utf8(text);
    seen.commits++;
    seen.lastCommit = Clock::now();
}

void Client::onPreedit(IBusInputContext *, IBusText *text, guint, gboolean visible, gpointer self) {
    static_cast<Client *>(self)->seen.preedit = visible ? utf8(text) : "";
}

void Client::onHidePreedit(IBusInputContext *, gpointer self) {
    static_cast<Client *>(self)->seen.preedit.clear();
}

void Client::onAuxiliary(IBusInputContext *, IBusText *text, gboolean visible, gpointer self) {
    static_cast<Client *>(self)->seen.auxiliary = visible ? utf8(text) : "";
}

void Client::onHideAuxiliary(IBusInputContext *, gpointer self) {
    static_cast<Client *>(self)->seen.auxiliary.clear();
}

void Client::onLookupTable(IBusInputContext *, IBusLookupTable *table, gboolean visible,
                           gpointer self) {
    std::vector<std::string> &candidates = static_cast<Client *>(self)->seen.candidates;
    candidates.clear();
    if (!visible)
        return;
    for (guint i = 0; i < ibus_lookup_table_get_number_of_candidates(table); ++i)
        candidates.push_back(utf8(ibus_lookup_table_get_label(table, i)) + " " +
                             utf8(ibus_lookup_table_get_candidate(table, i)));
}

void Client::onHideLookupTable(IBusInputContext *, gpointer self) {
    static_cast<Client *>(self)->seen.candidates.clear();
}

void Client::record(IBusProperty *property) {
    seen.properties[ibus_property_get_key(property)] = {utf8(ibus_property_get_label(property)),
                                                        ibus_property_get_state(property) ==
                                                            PROP_STATE_CHECKED};
}

void Client::onProperties(IBusInputContext *, IBusPropList *list, gpointer self) {
    auto *client = static_cast<Client *>(self);
    client->seen.properties.clear();
    for (guint i = 0; IBusProperty *property = ibus_prop_list_get(list, i); ++i)
        client->record(property);
}

void Client::onProperty(IBusInputContext *, IBusProperty *property, gpointer self) {
    static_cast<Client *>(self)->record(property);
}

bool Client::send(Key key, unsigned state) {
    Reply reply;
    ibus_input_context_process_key_event_async(context, key.keyval, key.keycode, state, 5000,
                                               nullptr, replied, &reply);
    waitUntil([&reply] { return reply.done; }, std::chrono::seconds(6));
    // The engine's signals come before its answer; they are all here now.
    settle();
    return reply.handled;
}

bool Client::tap(Key key, unsigned state) {
    bool handled = send(key, state);
    send(key, state | IBUS_RELEASE_MASK);
    return handled;
}

void Client::type(const std::string &text) {
    for (char character : text)
        tap(keyFor(character));
}

bool Client::chord(const std::vector<int> &dots) {
    bool handled = true;
    for (int dot : dots)
        handled = send(dotKey(dot)) && handled;
    for (int dot : dots)
        handled = send(dotKey(dot), IBUS_RELEASE_MASK) && handled;
    return handled;
}

void Client::focusIn() {
    ibus_input_context_focus_in(context);
}

void Client::focusOut() {
    ibus_input_context_focus_out(context);
}

void Client::activateProperty(const std::string &name, bool on) {
    ibus_input_context_property_activate(context, name.c_str(),
                                         on ? PROP_STATE_CHECKED : PROP_STATE_UNCHECKED);
}

bool Client::waitUntil(const std::function<bool()> &done, std::chrono::milliseconds limit) {
    bool expired = false;
    guint timer = g_timeout_add(static_cast<guint>(limit.count()), expire, &expired);
    while (!done() && !expired)
        g_main_context_iteration(nullptr, TRUE);
    if (!expired)
        g_source_remove(timer);
    return done();
}

void Client::settle() {
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
}

} // namespace ibus_client
