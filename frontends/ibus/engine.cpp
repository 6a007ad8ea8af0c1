// The GObject side of the engine: IBusEngine's virtual methods passed on
// to the engine's EngineContext.
#include "frontends/ibus/engine.h"

#include "frontends/ibus/engine_context.h"

#include <cstdio>

namespace {

struct TavoEngine {
    IBusEngine parent;
    ibus_front::EngineContext *context;
};

struct TavoEngineClass {
    IBusEngineClass parent;
};

host::Manager *theManager = nullptr;

GType tavo_engine_get_type();
G_DEFINE_TYPE(TavoEngine, tavo_engine, IBUS_TYPE_ENGINE)

ibus_front::EngineContext *contextOf(IBusEngine *engine) {
    return reinterpret_cast<TavoEngine *>(engine)->context;
}

void tavo_engine_init(TavoEngine *self) {
    self->context = nullptr;
    auto *context = new ibus_front::EngineContext(&self->parent, *theManager);
    std::string error;
    if (!context->open(error)) {
        std::fprintf(stderr, "tavo-ibus: %s\n", error.c_str());
        delete context;
        return;
    }
    self->context = context;
}

void destroyEngine(IBusObject *object) {
    auto *self = reinterpret_cast<TavoEngine *>(object);
    delete self->context;
    self->context = nullptr;
    IBUS_OBJECT_CLASS(tavo_engine_parent_class)->destroy(object);
}

gboolean processKeyEvent(IBusEngine *engine, guint keyval, guint keycode, guint state) {
    auto *context = contextOf(engine);
    return context && context->processKey(keyval, keycode, state);
}

// The remaining methods only pass the call on, when the engine has a
// context.
template <auto Method, typename... Arguments>
void forward(IBusEngine *engine, Arguments... arguments) {
    if (auto *context = contextOf(engine))
        (context->*Method)(arguments...);
}

void focusIn(IBusEngine *engine) {
    forward<&ibus_front::EngineContext::focusIn>(engine);
}
void focusOut(IBusEngine *engine) {
    forward<&ibus_front::EngineContext::focusOut>(engine);
}
void reset(IBusEngine *engine) {
    forward<&ibus_front::EngineContext::reset>(engine);
}
void pageUp(IBusEngine *engine) {
    forward<&ibus_front::EngineContext::pageUp>(engine);
}
void pageDown(IBusEngine *engine) {
    forward<&ibus_front::EngineContext::pageDown>(engine);
}
void candidateClicked(IBusEngine *engine, guint index, guint, guint) {
    forward<&ibus_front::EngineContext::candidateClicked>(engine, static_cast<unsigned>(index));
}
void propertyActivate(IBusEngine *engine, const gchar *name, guint state) {
    forward<&ibus_front::EngineContext::propertyActivate>(engine, name,
                                                          static_cast<unsigned>(state));
}

void tavo_engine_class_init(TavoEngineClass *klass) {
    IBUS_OBJECT_CLASS(klass)->destroy = destroyEngine;
    IBusEngineClass *engine = IBUS_ENGINE_CLASS(klass);
    engine->process_key_event = processKeyEvent;
    engine->focus_in = focusIn;
    engine->focus_out = focusOut;
    engine->reset = reset;
    engine->disable = reset;
    engine->page_up = pageUp;
    engine->page_down = pageDown;
    engine->candidate_clicked = candidateClicked;
    engine->property_activate = propertyActivate;
}

} // namespace

namespace ibus_front {

GType engineType(host::Manager &manager) {
    theManager = &manager;
    return tavo_engine_get_type();
}

} // namespace ibus_front
