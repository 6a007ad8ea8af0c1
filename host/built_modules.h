// Where the build put the modules, for the programs built with them: the
// build defines TAVO_MODULE_PATH_vexa and TAVO_MODULE_PATH_ruda for them.
#ifndef TAVO_HOST_BUILT_MODULES_H
#define TAVO_HOST_BUILT_MODULES_H

#include <string>

namespace host {

// The built module of that name, or an empty path.
inline std::string builtModulePath(const std::string &name) {
#ifdef TAVO_MODULE_PATH_vexa
    if (name == "vexa")
        return TAVO_MODULE_PATH_vexa;
#endif
#ifdef TAVO_MODULE_PATH_ruda
    if (name == "ruda")
        return TAVO_MODULE_PATH_ruda;
#endif
    (void)name;
    return {};
}

} // namespace host

#endif
