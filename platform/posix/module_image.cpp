// Loaded libraries seen through the dynamic linker: which one an HMODULE
// names, its own symbols, its resource table, its file and its imports.
#include "platform/posix/module.h"
#include "platform/posix/errors.h"

#include <climits>
#include <cstdlib>
#include <dlfcn.h>
#include <unistd.h>

namespace posix {

namespace {

bool openProgram(Image &image) {
    image.library = dlopen(nullptr, RTLD_LAZY);
    return image.library && dlinfo(image.library, RTLD_DI_LINKMAP, &image.map) == 0;
}

// The library whose mapping starts at address, if any.
link_map *mapAt(const void *address) {
    Dl_info info;
    link_map *map = nullptr;
    if (!dladdr1(address, &info, reinterpret_cast<void **>(&map), RTLD_DL_LINKMAP))
        return nullptr;
    return info.dli_fbase == address ? map : nullptr;
}

// Where the library's string table is. Most systems relocate the
// dynamic section's addresses when they load a library, some don't.
const char *stringTable(const link_map *map) {
    for (const ElfW(Dyn) *entry = map->l_ld; entry->d_tag != DT_NULL; ++entry) {
        if (entry->d_tag != DT_STRTAB)
            continue;
        ElfW(Addr) address = entry->d_un.d_ptr;
        if (address < map->l_addr)
            address += map->l_addr;
        return reinterpret_cast<const char *>(address);
    }
    return nullptr;
}

} // namespace

Image::~Image() {
    if (library)
        dlclose(library);
}

bool openImage(HMODULE module, Image &image) {
    if (!module)
        return openProgram(image) || failWith(ERROR_MOD_NOT_FOUND);
    link_map *map = mapAt(module);
    if (!map)
        return failWith(ERROR_MOD_NOT_FOUND);
    if (map->l_name[0] == '\0')
        return openProgram(image) || failWith(ERROR_MOD_NOT_FOUND);
    image.library = dlopen(map->l_name, RTLD_LAZY | RTLD_NOLOAD);
    image.map = map;
    return image.library != nullptr || failWith(ERROR_MOD_NOT_FOUND);
}

HMODULE moduleOfMap(const link_map *map) {
    Dl_info info;
    if (!dladdr(map->l_ld, &info))
        return nullptr;
    return static_cast<HMODULE>(info.dli_fbase);
}

void *ownSymbol(void *library, const link_map *map, const char *name) {
    void *symbol = dlsym(library, name);
    if (!symbol)
        return nullptr;
    Dl_info info;
    link_map *owner = nullptr;
    if (!dladdr1(symbol, &info, reinterpret_cast<void **>(&owner), RTLD_DL_LINKMAP))
        return nullptr;
    return owner == map ? symbol : nullptr;
}

const TavoResourceTable *resourceTable(const Image &image) {
    auto table = static_cast<const TavoResourceTable *>(
        ownSymbol(image.library, image.map, TAVO_RESOURCE_TABLE_SYMBOL));
    return table && table->version == kTavoResourceTableVersion ? table : nullptr;
}

std::string imagePath(const link_map *map) {
    char path[PATH_MAX];
    if (map->l_name[0] == '\0') {
        ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
        return length > 0 ? std::string(path, size_t(length)) : std::string();
    }
    if (map->l_name[0] == '/' || !realpath(map->l_name, path))
        return map->l_name;
    return path;
}

std::vector<std::string> neededLibraries(const link_map *map) {
    std::vector<std::string> needed;
    const char *strings = stringTable(map);
    if (!strings)
        return needed;
    for (const ElfW(Dyn) *entry = map->l_ld; entry->d_tag != DT_NULL; ++entry)
        if (entry->d_tag == DT_NEEDED)
            needed.push_back(strings + entry->d_un.d_val);
    return needed;
}

} // namespace posix
