// Loading an input-method module and finding its exports, as the
// input-method manager does.
#include "host/module.h"

#include "host/text.h"

#include <cstring>

namespace host {

namespace {

// Looks up one export; the pointer keeps its own type.
template <typename Function>
bool findExport(HMODULE library, const char *name, Function &target, std::string &error) {
    FARPROC found = GetProcAddress(library, name);
    if (!found) {
        error = std::string("the module does not export ") + name;
        return false;
    }
    target = reinterpret_cast<Function>(reinterpret_cast<void (*)(void)>(found));
    return true;
}

// The UI class name ImeInquire wrote in the module's flavour, as UTF-16.
std::u16string className(const BYTE *buffer, bool unicode) {
    std::u16string name;
    if (!unicode) {
        const char *narrow = reinterpret_cast<const char *>(buffer);
        name.resize(std::strlen(narrow) + 1);
        int units = MultiByteToWideChar(CP_ACP, 0, narrow, -1, name.data(), int(name.size()));
        name.resize(units > 0 ? static_cast<size_t>(units - 1) : 0);
        return name;
    }
    for (size_t at = 0; buffer[at] || buffer[at + 1]; at += 2)
        name += static_cast<char16_t>(buffer[at] | buffer[at + 1] << 8);
    return name;
}

} // namespace

Module::~Module() {
    unload();
}

bool Module::findExports(std::string &error) {
    return findExport(library, "ImeInquire", calls.ImeInquire, error) &&
           findExport(library, "ImeDestroy", calls.ImeDestroy, error) &&
           findExport(library, "ImeConfigure", calls.ImeConfigure, error) &&
           findExport(library, "ImeSelect", calls.ImeSelect, error) &&
           findExport(library, "ImeSetActiveContext", calls.ImeSetActiveContext, error) &&
           findExport(library, "ImeProcessKey", calls.ImeProcessKey, error) &&
           findExport(library, "ImeToAsciiEx", calls.ImeToAsciiEx, error) &&
           findExport(library, "NotifyIME", calls.NotifyIME, error) &&
           findExport(library, "ImeSetCompositionString", calls.ImeSetCompositionString, error);
}

bool Module::load(const std::string &path, std::string &error) {
    unload();
    library = LoadLibraryA(path.c_str());
    if (!library) {
        error = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    // Room for a class name of 64 UTF-16 units and its end, zeroed so that
    // a short answer still ends.
    BYTE uiClassBuffer[256] = {};
    if (!findExports(error) || !calls.ImeInquire(&info, uiClassBuffer, 0)) {
        if (error.empty())
            error = "ImeInquire refused";
        FreeLibrary(library);
        library = nullptr;
        return false;
    }
    uiClassBuffer[sizeof uiClassBuffer - 2] = uiClassBuffer[sizeof uiClassBuffer - 1] = 0;
    wideClass = className(uiClassBuffer, unicode());
    windowClass = toUtf8(wideClass);
    return true;
}

void Module::unload() {
    if (!library)
        return;
    calls.ImeDestroy(0);
    FreeLibrary(library);
    library = nullptr;
    calls = {};
    info = {};
    windowClass.clear();
    wideClass.clear();
}

} // namespace host
