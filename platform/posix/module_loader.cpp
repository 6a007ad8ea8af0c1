// LoadLibrary and FreeLibrary: reference-counted loading with the
// module's entry point called as on Windows. A module's imports (the
// libraries it needs that are modules themselves) are attached before it
// and released after it is detached. Everything runs under one loader
// lock, recursive so that an entry point may load libraries too.
#include "platform/posix/errors.h"
#include "platform/posix/module.h"
#include "platform/posix/names.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <map>
#include <mutex>

namespace {

typedef BOOL(WINAPI *EntryPoint)(HINSTANCE, DWORD, LPVOID);

constexpr const char *kEntryNames[] = {"DllMain", "DllEntryPoint"};

struct Loaded {
    void *library;       // the loader's dlopen reference
    unsigned references; // LoadLibrary calls and importers not yet released
    bool attaching;      // imports or entry point still running
    EntryPoint entry;
    std::vector<HMODULE> imports;
};

// Never destroyed, so that a library freed late in the program's exit
// still finds them.
std::recursive_mutex &loaderLock() {
    static auto *lock = new std::recursive_mutex;
    return *lock;
}

std::map<HMODULE, Loaded> &loadedModules() {
    static auto *modules = new std::map<HMODULE, Loaded>;
    return *modules;
}

EntryPoint entryPoint(void *library, const link_map *map) {
    for (const char *name : kEntryNames)
        if (void *entry = posix::ownSymbol(library, map, name))
            return reinterpret_cast<EntryPoint>(entry);
    return nullptr;
}

// Whether a library is one of the system's modules rather than a plain
// library (the C library, the C++ runtime...).
bool isModule(void *library, const link_map *map) {
    return entryPoint(library, map) || posix::ownSymbol(library, map, TAVO_RESOURCE_TABLE_SYMBOL);
}

void releaseModule(HMODULE module);
HMODULE adoptLibrary(void *library);

void releaseImports(const std::vector<HMODULE> &imports) {
    for (auto import = imports.rbegin(); import != imports.rend(); ++import)
        releaseModule(*import);
}

// Loads and attaches the modules among the libraries that map needs.
bool attachImports(const link_map *map, std::vector<HMODULE> &imports) {
    for (const std::string &name : posix::neededLibraries(map)) {
        void *library = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NOLOAD);
        if (!library)
            continue;
        link_map *needed = nullptr;
        dlinfo(library, RTLD_DI_LINKMAP, &needed);
        auto loaded = loadedModules().find(posix::moduleOfMap(needed));
        // A module still being attached imports this one in turn: the
        // cycle is not counted, or neither could ever be released.
        bool cycle = loaded != loadedModules().end() && loaded->second.attaching;
        if (cycle || !isModule(library, needed)) {
            dlclose(library);
            continue;
        }
        HMODULE import = adoptLibrary(library);
        if (!import) {
            releaseImports(imports);
            imports.clear();
            return false;
        }
        imports.push_back(import);
    }
    return true;
}

// Undoes a load whose imports or entry point failed.
void abandon(HMODULE module, DWORD error) {
    auto loaded = loadedModules().find(module);
    void *library = loaded->second.library;
    std::vector<HMODULE> imports = std::move(loaded->second.imports);
    loadedModules().erase(loaded);
    dlclose(library);
    releaseImports(imports);
    SetLastError(error);
}

// Takes over one dlopen reference to a library: counts another reference
// to a loaded module, or attaches a new one after its imports.
HMODULE adoptLibrary(void *library) {
    link_map *map = nullptr;
    dlinfo(library, RTLD_DI_LINKMAP, &map);
    HMODULE module = posix::moduleOfMap(map);
    auto loaded = loadedModules().find(module);
    if (loaded != loadedModules().end()) {
        dlclose(library);
        loaded->second.references++;
        return module;
    }
    EntryPoint entry = entryPoint(library, map);
    loadedModules()[module] = Loaded{library, 1, true, entry, {}};
    std::vector<HMODULE> imports;
    bool importsAttached = attachImports(map, imports);
    loadedModules()[module].imports = std::move(imports);
    if (!importsAttached) {
        abandon(module, ERROR_DLL_INIT_FAILED);
        return nullptr;
    }
    // As on Windows, an entry point that refuses to attach is told to
    // detach before the library goes.
    if (entry && !entry(module, DLL_PROCESS_ATTACH, nullptr)) {
        entry(module, DLL_PROCESS_DETACH, nullptr);
        abandon(module, ERROR_DLL_INIT_FAILED);
        return nullptr;
    }
    loadedModules()[module].attaching = false;
    return module;
}

void releaseModule(HMODULE module) {
    auto loaded = loadedModules().find(module);
    if (--loaded->second.references > 0)
        return;
    if (loaded->second.entry)
        loaded->second.entry(module, DLL_PROCESS_DETACH, nullptr);
    // The entry point may have loaded or freed other modules meanwhile.
    loaded = loadedModules().find(module);
    void *library = loaded->second.library;
    std::vector<HMODULE> imports = std::move(loaded->second.imports);
    loadedModules().erase(loaded);
    dlclose(library);
    releaseImports(imports);
}

DWORD openFailure(const std::string &path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 ? ERROR_BAD_EXE_FORMAT : ERROR_MOD_NOT_FOUND;
}

// A module's name as given to LoadLibrary, already in the file system's
// encoding.
HMODULE loadModule(const std::string &name) {
    if (name.empty())
        return posix::failing<HMODULE>(nullptr, ERROR_MOD_NOT_FOUND);
    std::string fileName = posix::moduleFileName(name);
    std::lock_guard<std::recursive_mutex> hold(loaderLock());
    // A bare name finds a module already loaded, wherever it came from.
    HMODULE known = posix::isBareName(fileName) ? posix::findLoadedModule(fileName) : nullptr;
    if (known && loadedModules().count(known)) {
        loadedModules()[known].references++;
        return known;
    }
    std::string path = posix::locateModule(fileName);
    void *library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return posix::failing<HMODULE>(nullptr, openFailure(path));
    return adoptLibrary(library);
}

} // namespace

HMODULE WINAPI LoadLibraryA(LPCSTR name) {
    std::string fileName;
    return posix::fileNameFromA(name, fileName) ? loadModule(fileName) : nullptr;
}

HMODULE WINAPI LoadLibraryW(LPCWSTR name) {
    std::string fileName;
    return posix::fileNameFromW(name, fileName) ? loadModule(fileName) : nullptr;
}

BOOL WINAPI FreeLibrary(HMODULE module) {
    if (!module)
        return posix::failWith(ERROR_INVALID_HANDLE);
    std::lock_guard<std::recursive_mutex> hold(loaderLock());
    if (!loadedModules().count(module)) {
        // The program itself is never unloaded; anything else is no module.
        posix::Image image;
        bool program = posix::openImage(module, image) && image.map->l_name[0] == '\0';
        return program ? TRUE : posix::failWith(ERROR_MOD_NOT_FOUND);
    }
    releaseModule(module);
    return TRUE;
}
