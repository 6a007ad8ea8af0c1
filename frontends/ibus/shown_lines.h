// What the module's composition window shows, line by line, for a context
// whose application is not told the composition text (the Speech setting
// sends it to the speech library instead): read from the window as a
// screen reader reads it, braille cells as Unicode braille patterns.
#ifndef TAVO_FRONTENDS_IBUS_SHOWN_LINES_H
#define TAVO_FRONTENDS_IBUS_SHOWN_LINES_H

#include "host/app_window.h"
#include "host/manager.h"

#include <string>
#include <vector>

namespace ibus_front {

// The lines shown; none while the window is hidden or not made yet.
std::vector<std::string> compositionWindowLines(const host::AppWindow &window,
                                                const host::Manager &manager);

} // namespace ibus_front

#endif
