// What the module's composition window shows, line by line, for a context
// whose application is not told the composition text (the Speech setting
// sends it to the speech library instead). This is the one place the
// window is read; for now the lines come from the context's composition
// string, which holds what the window draws.
#ifndef TAVO_FRONTENDS_IBUS_SHOWN_LINES_H
#define TAVO_FRONTENDS_IBUS_SHOWN_LINES_H

#include "host/app_window.h"

#include <string>
#include <vector>

namespace ibus_front {

std::vector<std::string> compositionWindowLines(const host::AppWindow &window);

} // namespace ibus_front

#endif
