// Reading the composition window's lines.
#include "frontends/ibus/shown_lines.h"

#include "host/screen.h"
#include "host/window_reader.h"

namespace ibus_front {

std::vector<std::string> compositionWindowLines(const host::AppWindow &window,
                                                const host::Manager &manager) {
    std::vector<std::string> lines;
    HWND shown = host::compositionWindow(window.handle(), manager.module());
    for (const host::ShownLine &line : host::readWindow(shown))
        lines.push_back(line.text);
    return lines;
}

} // namespace ibus_front
