// A module that others import. Its entry point reads its own string
// table through the handle it is given, with its own copy of the
// platform layer, as a real module does.
#include "tests/modules/testmod_log.h"

#include <string>

namespace {

HINSTANCE ownInstance;

} // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    std::string line = std::string(testmod_reason(reason)) + " base";
    if (reason == DLL_PROCESS_ATTACH) {
        ownInstance = instance;
        char text[16];
        if (LoadStringA(instance, 305, text, sizeof text) > 0)
            line += " with strings";
    }
    testmod_log(line.c_str());
    return TRUE;
}

extern "C" int testmod_baseAnswer(void) {
    return 42;
}

// The string through the module's own LoadString.
extern "C" int testmod_baseString(UINT id, LPWSTR buffer, int size) {
    return LoadStringW(ownInstance, id, buffer, size);
}

// Defined, but not in the module-definition file: never exported.
extern "C" int testmod_baseHidden(void) {
    return 7;
}
