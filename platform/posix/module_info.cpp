// What can be asked of a loaded module: an exported symbol, its handle by
// name and its file name.
#include "platform/posix/errors.h"
#include "platform/posix/module.h"
#include "platform/posix/names.h"

#include <dlfcn.h>

namespace {

HMODULE programModule() {
    posix::Image image;
    return posix::openImage(nullptr, image) ? posix::moduleOfMap(image.map) : nullptr;
}

HMODULE moduleByName(const std::string &name) {
    HMODULE module = posix::findLoadedModule(posix::moduleFileName(name));
    return module ? module : posix::failing<HMODULE>(nullptr, ERROR_MOD_NOT_FOUND);
}

// GetModuleFileName's convention: the length copied without the
// terminator; when the name doesn't fit, as much as fits with the
// terminator, the buffer's size and ERROR_INSUFFICIENT_BUFFER.
template <class Char>
DWORD copyFileName(const std::basic_string<Char> &name, Char *buffer, DWORD size) {
    if (!buffer && size > 0)
        return posix::failing<DWORD>(0, ERROR_INVALID_PARAMETER);
    if (name.size() < size) {
        name.copy(buffer, name.size());
        buffer[name.size()] = Char();
        return DWORD(name.size());
    }
    if (size > 0) {
        name.copy(buffer, size - 1);
        buffer[size - 1] = Char();
    }
    return posix::failing<DWORD>(size, ERROR_INSUFFICIENT_BUFFER);
}

bool modulePath(HMODULE module, std::string &path) {
    posix::Image image;
    if (!posix::openImage(module, image))
        return false;
    path = posix::imagePath(image.map);
    return true;
}

} // namespace

FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR name) {
    // Exports by ordinal don't exist here.
    if (IS_INTRESOURCE(name))
        return posix::failing<FARPROC>(nullptr, ERROR_PROC_NOT_FOUND);
    posix::Image image;
    if (!posix::openImage(module, image))
        return nullptr;
    void *symbol = posix::ownSymbol(image.library, image.map, name);
    if (!symbol)
        return posix::failing<FARPROC>(nullptr, ERROR_PROC_NOT_FOUND);
    return reinterpret_cast<FARPROC>(symbol);
}

HMODULE WINAPI GetModuleHandleA(LPCSTR name) {
    std::string fileName;
    if (!name)
        return programModule();
    return posix::fileNameFromA(name, fileName) ? moduleByName(fileName) : nullptr;
}

HMODULE WINAPI GetModuleHandleW(LPCWSTR name) {
    std::string fileName;
    if (!name)
        return programModule();
    return posix::fileNameFromW(name, fileName) ? moduleByName(fileName) : nullptr;
}

DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size) {
    std::string path;
    return modulePath(module, path) ? copyFileName(posix::ansiFromFileName(path), buffer, size) : 0;
}

DWORD WINAPI GetModuleFileNameW(HMODULE module, LPWSTR buffer, DWORD size) {
    std::string path;
    return modulePath(module, path) ? copyFileName(posix::wideFromFileName(path), buffer, size) : 0;
}

// No thread notifications are sent, so there is nothing to turn off.
BOOL WINAPI DisableThreadLibraryCalls(HMODULE module) {
    posix::Image image;
    return posix::openImage(module, image) ? TRUE : FALSE;
}
