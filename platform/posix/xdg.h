// The folders of this system under the user's XDG base folders.
#ifndef TAVO_POSIX_XDG_H
#define TAVO_POSIX_XDG_H

#include <string>

namespace posix {

// The folder that the override variable names (when not null and set),
// else "tavo" in the XDG base folder (ignored unless absolute, as XDG
// says), else in its default under the home folder; made absolute.
std::string tavoDirectory(const char *override, const char *xdgVariable, const char *xdgDefault);

} // namespace posix

#endif
