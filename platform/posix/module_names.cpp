// How a module name becomes a file, and how a loaded module is found by
// name, as LoadLibrary and GetModuleHandle see them.
#include "platform/posix/module.h"

#include <climits>
#include <cstdlib>
#include <strings.h>
#include <unistd.h>

namespace posix {

namespace {

constexpr const char *kLibraryExtension = ".so";
// Windows' module extensions that stand for a library here.
constexpr const char *kWindowsExtensions[] = {".dll", ".ime"};

std::string baseName(const std::string &path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string folderOf(const std::string &path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string absolutePath(const std::string &path) {
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

struct Search {
    std::string wanted; // a base name, or a full path
    bool bare;
    HMODULE found;
};

bool matches(const Search &search, const char *name) {
    if (search.bare)
        return strcasecmp(baseName(name).c_str(), search.wanted.c_str()) == 0;
    return search.wanted == name || search.wanted == absolutePath(name);
}

// Where the library's first segment is mapped: the address dladdr
// reports as its base, which is what an HMODULE is.
HMODULE mappingStart(const dl_phdr_info *info) {
    ElfW(Addr) lowest = ~ElfW(Addr)(0);
    for (int i = 0; i < info->dlpi_phnum; ++i)
        if (info->dlpi_phdr[i].p_type == PT_LOAD && info->dlpi_phdr[i].p_vaddr < lowest)
            lowest = info->dlpi_phdr[i].p_vaddr;
    ElfW(Addr) page = ElfW(Addr)(sysconf(_SC_PAGESIZE));
    return reinterpret_cast<HMODULE>(info->dlpi_addr + (lowest & ~(page - 1)));
}

int visitLoaded(dl_phdr_info *info, size_t, void *context) {
    auto search = static_cast<Search *>(context);
    if (!info->dlpi_name || info->dlpi_name[0] == '\0' || !matches(*search, info->dlpi_name))
        return 0;
    search->found = mappingStart(info);
    return 1;
}

} // namespace

std::string moduleFileName(const std::string &name) {
    std::string base = baseName(name);
    size_t dot = base.rfind('.');
    std::string folder = name.substr(0, name.size() - base.size());
    if (dot == std::string::npos)
        return name + kLibraryExtension;
    if (dot + 1 == base.size()) // "name." asks for no extension
        return folder + base.substr(0, dot);
    for (const char *extension : kWindowsExtensions)
        if (strcasecmp(base.c_str() + dot, extension) == 0)
            return folder + base.substr(0, dot) + kLibraryExtension;
    return name;
}

bool isBareName(const std::string &fileName) {
    return fileName.find('/') == std::string::npos;
}

HMODULE findLoadedModule(const std::string &fileName) {
    bool bare = isBareName(fileName);
    Search search{bare ? fileName : absolutePath(fileName), bare, nullptr};
    dl_iterate_phdr(visitLoaded, &search);
    return search.found;
}

std::string locateModule(const std::string &fileName) {
    if (!isBareName(fileName))
        return absolutePath(fileName);
    char program[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", program, sizeof program - 1);
    if (length <= 0)
        return fileName;
    std::string beside = folderOf(std::string(program, size_t(length))) + "/" + fileName;
    return access(beside.c_str(), F_OK) == 0 ? beside : fileName;
}

} // namespace posix
