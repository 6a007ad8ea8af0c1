// A module that imports the base module. Its attach fails when
// TAVO_TESTMOD_FAIL is set, as a module's may.
#include "tests/modules/testmod_log.h"

#include <cstdlib>
#include <string>

extern "C" int testmod_baseAnswer(void);

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    std::string line = std::string(testmod_reason(reason)) + " user";
    bool refuse = reason == DLL_PROCESS_ATTACH && std::getenv("TAVO_TESTMOD_FAIL");
    testmod_log((line + (refuse ? " refused" : "")).c_str());
    return refuse ? FALSE : TRUE;
}

extern "C" int testmod_userAnswer(void) {
    return testmod_baseAnswer() + 1;
}
