// An IBus input context and the module: keys in, IBus calls out.
#include "frontends/ibus/engine_context.h"

#include "frontends/ibus/shown_lines.h"
#include "host/text.h"

#include <cstdlib>
#include <string_view>

namespace ibus_front {

namespace {

constexpr BYTE kDown = 0x80;
constexpr unsigned kPageSize = 9;
constexpr std::string_view kSwitchPrefix = "setting-";

IBusText *textOf(const std::string &utf8) {
    return ibus_text_new_from_string(utf8.c_str());
}

// The preedit: underlined, the cursor after it.
IBusText *preeditOf(const std::string &utf8) {
    IBusText *text = textOf(utf8);
    guint length = static_cast<guint>(g_utf8_strlen(utf8.c_str(), -1));
    ibus_text_append_attribute(text, IBUS_ATTR_TYPE_UNDERLINE, IBUS_ATTR_UNDERLINE_SINGLE, 0,
                               length);
    return text;
}

IBusLookupTable *tableOf(const std::vector<Candidate> &candidates) {
    IBusLookupTable *table = ibus_lookup_table_new(kPageSize, 0, FALSE, FALSE);
    for (const Candidate &candidate : candidates) {
        ibus_lookup_table_append_candidate(table, textOf(candidate.text));
        ibus_lookup_table_append_label(table, textOf(candidate.label));
    }
    return table;
}

std::string switchKey(int id) {
    return std::string(kSwitchPrefix) + std::to_string(id);
}

IBusProperty *propertyOf(const Switch &entry) {
    return ibus_property_new(switchKey(entry.id).c_str(), PROP_TYPE_TOGGLE, textOf(entry.label),
                             nullptr, nullptr, TRUE, TRUE,
                             entry.on ? PROP_STATE_CHECKED : PROP_STATE_UNCHECKED, nullptr);
}

} // namespace

EngineContext::EngineContext(IBusEngine *engine, host::Manager &manager)
    : engine(engine), manager(manager), window(manager) {}

bool EngineContext::open(std::string &error) {
    return window.open(error);
}

// The modifiers' keys may have gone down or up where the engine did not
// see them (before the focus came); the event's state says how they are.
void EngineContext::followModifiers(unsigned char virtualKey, const ModifierState &modifiers) {
    const std::array<BYTE, 256> &keys = manager.keyState();
    auto follow = [&](unsigned char modifier, bool down) {
        if (modifier != virtualKey && bool(keys[modifier] & kDown) != down)
            manager.setKey(modifier, down);
    };
    follow(VK_SHIFT, modifiers.shift);
    follow(VK_CONTROL, modifiers.control);
    follow(VK_MENU, modifiers.alt);
    if (virtualKey != VK_CAPITAL)
        manager.setToggled(VK_CAPITAL, modifiers.capsLock);
}

bool EngineContext::processKey(unsigned keyval, unsigned keycode, unsigned state) {
    std::optional<MappedKey> mapped = mapKey(keyval, keycode, state);
    if (!mapped || !window.isOpen())
        return false;
    followModifiers(mapped->event.virtualKey, mapped->modifiers);
    if (mapped->modifiers.super) {
        // The desktop's shortcuts, which never reach an application's
        // input method on Windows either.
        manager.setKey(mapped->event.virtualKey, !mapped->event.release);
        return false;
    }
    if (!window.hasFocus())
        window.activate(true);
    host::KeyOutcome outcome = window.feed(mapped->event);
    reflect();
    return outcome.taken;
}

void EngineContext::typeKey(unsigned char virtualKey) {
    if (!window.isOpen())
        return;
    window.feed({virtualKey, false});
    window.feed({virtualKey, true});
    reflect();
}

// What the application was told since the last look: results are
// committed, then the composition is shown as it stands, or hidden.
void EngineContext::reflect() {
    host::Application &application = window.application();
    if (!application.committed().empty())
        ibus_engine_commit_text(engine, textOf(application.committed()));
    bool wasShowing = !(shown == Display{});
    Display next;
    if (application.isComposing()) {
        // With Speech on the application hears nothing of the text, which
        // the composition window still shows.
        const std::string &told = application.composition();
        next = layoutLines(told.empty() ? compositionWindowLines(window, manager)
                                        : host::compositionLines(told));
    }
    show(next);
    application.forget();
    // The option menu may have changed a setting.
    if (wasShowing && !application.isComposing())
        refreshSwitches();
}

void EngineContext::show(const Display &next) {
    if (next.preedit != shown.preedit) {
        if (next.preedit.empty())
            ibus_engine_hide_preedit_text(engine);
        else
            ibus_engine_update_preedit_text_with_mode(
                engine, preeditOf(next.preedit),
                static_cast<guint>(g_utf8_strlen(next.preedit.c_str(), -1)), TRUE,
                IBUS_ENGINE_PREEDIT_CLEAR);
    }
    if (next.auxiliary != shown.auxiliary) {
        if (next.auxiliary.empty())
            ibus_engine_hide_auxiliary_text(engine);
        else
            ibus_engine_update_auxiliary_text(engine, textOf(next.auxiliary), TRUE);
    }
    if (next.candidates != shown.candidates) {
        if (next.candidates.empty())
            ibus_engine_hide_lookup_table(engine);
        else
            ibus_engine_update_lookup_table(engine, tableOf(next.candidates), TRUE);
    }
    shown = next;
}

void EngineContext::focusIn() {
    if (!window.isOpen())
        return;
    window.activate(true);
    registerSwitches();
    reflect();
}

void EngineContext::reset() {
    if (!window.isOpen())
        return;
    if (window.application().isComposing())
        window.endComposition(CPS_CANCEL);
    reflect();
}

void EngineContext::focusOut() {
    reset();
    window.activate(false);
}

void EngineContext::pageUp() {
    typeKey(VK_PRIOR);
}

void EngineContext::pageDown() {
    typeKey(VK_NEXT);
}

void EngineContext::candidateClicked(unsigned index) {
    if (index < shown.candidates.size())
        typeKey(static_cast<unsigned char>(shown.candidates[index].label[0]));
}

void EngineContext::registerSwitches() {
    switches = readSwitches(manager);
    IBusPropList *list = ibus_prop_list_new();
    for (const Switch &entry : switches)
        ibus_prop_list_append(list, propertyOf(entry));
    ibus_engine_register_properties(engine, list);
}

// Shows the switches as they are now where they changed.
void EngineContext::refreshSwitches() {
    std::vector<Switch> now = readSwitches(manager);
    if (now.size() != switches.size()) {
        registerSwitches();
        return;
    }
    for (size_t i = 0; i < now.size(); ++i)
        if (!(now[i] == switches[i]))
            ibus_engine_update_property(engine, propertyOf(now[i]));
    switches = now;
}

void EngineContext::propertyActivate(const char *name, unsigned state) {
    std::string_view key(name ? name : "");
    if (key.substr(0, kSwitchPrefix.size()) != kSwitchPrefix)
        return;
    int id = std::atoi(std::string(key.substr(kSwitchPrefix.size())).c_str());
    setSwitch(manager, id, state == PROP_STATE_CHECKED);
    refreshSwitches();
}

} // namespace ibus_front
