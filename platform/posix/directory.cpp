// The current directory, and the folders that stand in for the Windows
// and system directories: TAVO_WINDOWS_DIR / TAVO_SYSTEM_DIR if set, else
// "tavo" in the user's XDG config / data folder. Those two are created
// when asked for.
#include "platform/posix/errors.h"
#include "platform/posix/names.h"
#include "platform/posix/xdg.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Windows' convention for returning a string: its length without the
// terminator when the buffer holds it, else the size needed with it.
template <class Char> DWORD copyOut(const std::basic_string<Char> &text, Char *buffer, DWORD size) {
    if (!buffer || size <= text.size())
        return DWORD(text.size() + 1);
    text.copy(buffer, text.size());
    buffer[text.size()] = Char();
    return DWORD(text.size());
}

bool currentDirectory(std::string &path) {
    char *cwd = getcwd(nullptr, 0);
    if (!cwd)
        return posix::failWithErrno();
    path = cwd;
    std::free(cwd);
    return true;
}

BOOL changeDirectory(const std::string &path) {
    return chdir(path.c_str()) == 0 ? TRUE : posix::failWithErrno();
}

// mkdir -p. Folders made here are private to the user.
bool makeDirectories(const std::string &path) {
    for (size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
        std::string prefix = path.substr(0, end);
        if (mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST)
            return posix::failWithErrno();
        if (end == std::string::npos)
            break;
    }
    struct stat info;
    if (stat(path.c_str(), &info) != 0)
        return posix::failWithErrno();
    return S_ISDIR(info.st_mode) || posix::failWith(ERROR_PATH_NOT_FOUND);
}

bool preparedDirectory(const char *override, const char *xdgVariable, const char *xdgDefault,
                       std::string &path) {
    path = posix::tavoDirectory(override, xdgVariable, xdgDefault);
    if (path.empty())
        return posix::failWith(ERROR_PATH_NOT_FOUND);
    return makeDirectories(path);
}

bool windowsDirectory(std::string &path) {
    return preparedDirectory("TAVO_WINDOWS_DIR", "XDG_CONFIG_HOME", "/.config", path);
}

bool systemDirectory(std::string &path) {
    return preparedDirectory("TAVO_SYSTEM_DIR", "XDG_DATA_HOME", "/.local/share", path);
}

// A folder in the ANSI or wide flavour, 0 when it can't be had.
template <class Char> DWORD folderOut(bool (*folder)(std::string &), Char *buffer, DWORD size) {
    std::string path;
    if (!folder(path))
        return 0;
    if constexpr (sizeof(Char) == 1)
        return copyOut(posix::ansiFromFileName(path), buffer, size);
    else
        return copyOut(posix::wideFromFileName(path), buffer, size);
}

} // namespace

namespace posix {

static std::string environment(const char *name) {
    const char *value = std::getenv(name);
    return value ? value : "";
}

static std::string homeDirectory() {
    std::string home = environment("HOME");
    if (!home.empty())
        return home;
    std::vector<char> scratch(16384);
    struct passwd entry, *found = nullptr;
    getpwuid_r(getuid(), &entry, scratch.data(), scratch.size(), &found);
    return found && found->pw_dir ? found->pw_dir : "";
}

// The folder named by the override variable, else "tavo" in the XDG base
// folder (ignored unless absolute, as XDG says), else in its default
// under the home folder.
std::string tavoDirectory(const char *override, const char *xdgVariable, const char *xdgDefault) {
    std::string path = override ? environment(override) : "";
    if (path.empty()) {
        std::string base = environment(xdgVariable);
        if (base.empty() || base[0] != '/') {
            std::string home = homeDirectory();
            base = home.empty() ? "" : home + xdgDefault;
        }
        path = base.empty() ? "" : base + "/tavo";
    }
    // Relative to the current directory now, not wherever that moves to.
    std::string current;
    if (!path.empty() && path[0] != '/' && currentDirectory(current))
        path = current + "/" + path;
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

} // namespace posix

DWORD WINAPI GetCurrentDirectoryA(DWORD size, LPSTR buffer) {
    return folderOut(currentDirectory, buffer, size);
}

DWORD WINAPI GetCurrentDirectoryW(DWORD size, LPWSTR buffer) {
    return folderOut(currentDirectory, buffer, size);
}

BOOL WINAPI SetCurrentDirectoryA(LPCSTR path) {
    std::string name;
    return posix::fileNameFromA(path, name) ? changeDirectory(name) : FALSE;
}

BOOL WINAPI SetCurrentDirectoryW(LPCWSTR path) {
    std::string name;
    return posix::fileNameFromW(path, name) ? changeDirectory(name) : FALSE;
}

UINT WINAPI GetWindowsDirectoryA(LPSTR buffer, UINT size) {
    return folderOut(windowsDirectory, buffer, size);
}

UINT WINAPI GetWindowsDirectoryW(LPWSTR buffer, UINT size) {
    return folderOut(windowsDirectory, buffer, size);
}

UINT WINAPI GetSystemDirectoryA(LPSTR buffer, UINT size) {
    return folderOut(systemDirectory, buffer, size);
}

UINT WINAPI GetSystemDirectoryW(LPWSTR buffer, UINT size) {
    return folderOut(systemDirectory, buffer, size);
}
