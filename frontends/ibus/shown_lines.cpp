// Reading the composition window's lines.
#include "frontends/ibus/shown_lines.h"

#include "host/application.h"
#include "host/text.h"

namespace ibus_front {

std::vector<std::string> compositionWindowLines(const host::AppWindow &window) {
    return host::compositionLines(host::compositionString(window.context(), GCS_COMPSTR));
}

} // namespace ibus_front
