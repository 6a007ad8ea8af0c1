// One IBus input context served by the module: an application window of
// the host with its own input context, which has the focus while the IBus
// context has it. IBus key events go to the module as Windows' key presses
// and releases; what the module then tells the application becomes IBus
// calls: results are committed, the composition (or, when the application
// is not told it, what the composition window shows) becomes the preedit,
// the auxiliary text and the lookup table, and its end hides them. The
// module's settings are the engine's property menu.
#ifndef TAVO_FRONTENDS_IBUS_ENGINE_CONTEXT_H
#define TAVO_FRONTENDS_IBUS_ENGINE_CONTEXT_H

#include "frontends/ibus/display.h"
#include "frontends/ibus/key_map.h"
#include "frontends/ibus/settings_menu.h"
#include "host/app_window.h"
#include "host/manager.h"

#include <ibus.h>

#include <string>
#include <vector>

namespace ibus_front {

class EngineContext {
public:
    EngineContext(IBusEngine *engine, host::Manager &manager);
    EngineContext(const EngineContext &) = delete;
    EngineContext &operator=(const EngineContext &) = delete;

    // Makes the window and its context; false (with error) when it can't.
    bool open(std::string &error);

    // Whether the module took the key; a key it does not take is the
    // application's.
    bool processKey(unsigned keyval, unsigned keycode, unsigned state);
    void focusIn();
    // Ends a composition without committing it, then gives up the focus.
    void focusOut();
    // The application wants no composition (it moved the cursor, or the
    // engine was switched off): it ends without committing.
    void reset();
    // The lookup table's page buttons and a click on a candidate, as the
    // keys that do the same.
    void pageUp();
    void pageDown();
    void candidateClicked(unsigned index);
    // A switch of the property menu.
    void propertyActivate(const char *name, unsigned state);

private:
    void typeKey(unsigned char virtualKey);
    void followModifiers(unsigned char virtualKey, const ModifierState &modifiers);
    void reflect();
    void show(const Display &next);
    void registerSwitches();
    void refreshSwitches();

    IBusEngine *engine;
    host::Manager &manager;
    host::AppWindow window;
    Display shown;                // what IBus shows now
    std::vector<Switch> switches; // as the property menu has them
};

} // namespace ibus_front

#endif
