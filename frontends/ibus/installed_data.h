// The databases installed with the engine, for every user: the system
// directory (GetSystemDirectory) is the user's own, where the user database
// is compiled, so the engine gives it a symbolic link to each installed
// database it lacks. A user's own file of the same name is left alone.
#ifndef TAVO_FRONTENDS_IBUS_INSTALLED_DATA_H
#define TAVO_FRONTENDS_IBUS_INSTALLED_DATA_H

#include <filesystem>
#include <string>

namespace ibus_front {

// Links every file of installed that systemDir lacks (or has only as a
// broken link); false, with error, when the directory can't be made or a
// link can't be.
bool linkInstalledData(const std::filesystem::path &installed,
                       const std::filesystem::path &systemDir, std::string &error);

} // namespace ibus_front

#endif
