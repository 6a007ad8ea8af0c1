// The test modules' log of what happened to them.
#include "tests/modules/testmod_log.h"

#include <cstdlib>
#include <cstring>

void testmod_log(const char *line) {
    const char *name = std::getenv("TAVO_TESTMOD_LOG");
    if (!name)
        return;
    HANDLE file = CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    SetFilePointer(file, 0, nullptr, FILE_END);
    WriteFile(file, line, DWORD(std::strlen(line)), &written, nullptr);
    WriteFile(file, "\n", 1, &written, nullptr);
    CloseHandle(file);
}

const char *testmod_reason(DWORD reason) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        return "attach";
    case DLL_PROCESS_DETACH:
        return "detach";
    default:
        return "thread";
    }
}
