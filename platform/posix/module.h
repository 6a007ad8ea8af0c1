// What the module and resource functions share: a loaded library seen
// through the dynamic linker, its own symbols and resource table, and
// the rules by which a module name becomes a file.
//
// An HMODULE is the address at which a library is mapped. Every part of
// the process (each module carries its own copy of this layer) can check
// one with the dynamic linker and find the library's resources, without
// sharing any state of ours.
#ifndef TAVO_POSIX_MODULE_H
#define TAVO_POSIX_MODULE_H

#include "platform/platform.h"
#include "platform/posix/module_table.h"

#include <link.h>
#include <string>
#include <vector>

namespace posix {

// A loaded library, kept loaded while the view lives.
struct Image {
    Image() = default;
    ~Image();
    Image(const Image &) = delete;
    Image &operator=(const Image &) = delete;

    void *library = nullptr; // a dlopen reference of the view's own
    link_map *map = nullptr;
};

// The library an HMODULE names (null names the program). False with
// ERROR_MOD_NOT_FOUND when no library is mapped at that address.
bool openImage(HMODULE module, Image &image);

// The HMODULE of a loaded library.
HMODULE moduleOfMap(const link_map *map);

// A symbol that the library itself defines. (dlsym also searches the
// libraries it needs, which would find their entry points and tables.)
void *ownSymbol(void *library, const link_map *map, const char *name);

// The library's resource table, or null when it has none.
const TavoResourceTable *resourceTable(const Image &image);

// The library's full file name.
std::string imagePath(const link_map *map);

// The names of the libraries it needs, in the order the linker recorded.
std::vector<std::string> neededLibraries(const link_map *map);

// The file a module name stands for: ".so" replaces ".dll" and ".ime",
// and is added to a name without an extension.
std::string moduleFileName(const std::string &name);

// Whether the name is a bare file name, searched for, rather than a path.
bool isBareName(const std::string &fileName);

// The loaded library a module file name names: by path, or by file name
// (ignoring case) when bare. Null when none is loaded.
HMODULE findLoadedModule(const std::string &fileName);

// The file to open for a module file name: a path made absolute; a bare
// name beside the program when it is there, else as it is, for the
// dynamic linker's own search.
std::string locateModule(const std::string &fileName);

} // namespace posix

#endif
