// The IBus engine type: IBus makes one engine for each input context that
// chooses it, and each engine serves its context (EngineContext) with the
// one module of the process.
#ifndef TAVO_FRONTENDS_IBUS_ENGINE_H
#define TAVO_FRONTENDS_IBUS_ENGINE_H

#include "host/manager.h"

#include <ibus.h>

namespace ibus_front {

// The engine type, registered at the first call; its engines use manager,
// which must outlive them.
GType engineType(host::Manager &manager);

} // namespace ibus_front

#endif
