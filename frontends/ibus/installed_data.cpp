// Linking the installed databases into the user's system directory.
#include "frontends/ibus/installed_data.h"

namespace ibus_front {

namespace fs = std::filesystem;

bool linkInstalledData(const fs::path &installed, const fs::path &systemDir, std::string &error) {
    std::error_code failure;
    fs::create_directories(systemDir, failure);
    if (failure) {
        error = systemDir.string() + ": " + failure.message();
        return false;
    }
    fs::directory_iterator files(installed, failure);
    if (failure) {
        error = installed.string() + ": " + failure.message();
        return false;
    }
    for (const fs::directory_entry &entry : files) {
        if (!entry.is_regular_file())
            continue;
        fs::path link = systemDir / entry.path().filename();
        fs::file_status status = fs::symlink_status(link);
        if (fs::exists(status) && !(fs::is_symlink(status) && !fs::exists(link)))
            continue; // the user's own file, or a working link
        fs::remove(link, failure);
        fs::create_symlink(entry.path(), link, failure);
        if (failure) {
            error = link.string() + ": " + failure.message();
            return false;
        }
    }
    return true;
}

} // namespace ibus_front
