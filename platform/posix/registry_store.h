// The registry's keys and values and the file that keeps them.
//
// Readers follow the file: when it changed on disk since it was last read
// (another process wrote it), it is read again. A change is made under an
// exclusive lock on a companion lock file, over the file's latest
// content, and written to a temporary file that then replaces the old one
// in one rename, so a reader or a crash never meets half a file and two
// writers never lose each other's values. A missing file reads as empty,
// and so does a damaged one, whose lines are nevertheless kept.
#ifndef TAVO_POSIX_REGISTRY_STORE_H
#define TAVO_POSIX_REGISTRY_STORE_H

#include "platform/platform.h"

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace posix {

struct RegistryValue {
    std::string name; // UTF-8, as first set
    DWORD type = REG_NONE;
    std::vector<BYTE> data; // strings as UTF-16, as Windows keeps them
};

struct RegistryKey {
    std::string path;                            // UTF-8, components joined by '\'
    std::map<std::string, RegistryValue> values; // by folded name
};

// Keys by folded path; the root (HKEY_CURRENT_USER) is the empty path and
// always exists. Lines of the file that are not understood (another
// version's, another program's, or damaged ones) are kept as they are and
// written back after the keys, so that a change here never loses them.
struct RegistryTree : std::map<std::string, RegistryKey> {
    std::vector<std::string> unreadLines;
};

// Names compare without regard to ASCII case.
std::string foldName(const std::string &name);

// The file's current content; the lock must be held while it is used.
std::unique_lock<std::mutex> lockRegistry();
const RegistryTree &currentRegistry();

// Applies change to the file's latest content and saves the result when
// change returns ERROR_SUCCESS. Returns change's result, or
// ERROR_CANTWRITE when the file could not be written (nothing changes
// then). The lock must be held.
LONG changeRegistry(const std::function<LONG(RegistryTree &)> &change);

} // namespace posix

#endif
