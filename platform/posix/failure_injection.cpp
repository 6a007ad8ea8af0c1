// The failure switch for tests: counts the calls of the armed kinds made
// on the arming thread and fails the chosen one.
#include "platform/posix/failure_injection.h"

#include <execinfo.h>
#include <unistd.h>

#include <cstdlib>

namespace {

struct Switch {
    DWORD kinds = 0;
    LONG target = 0; // 0: disarmed
    LONG calls = 0;
    bool happened = false;
    int depth = 0;  // instrumented calls in progress
    int paused = 0; // pauses in progress
};

thread_local Switch current;

} // namespace

void tavo_FailNthCall(DWORD kinds, LONG n) {
    current.kinds = n > 0 ? kinds : 0;
    current.target = n > 0 ? n : 0;
    current.calls = 0;
    current.happened = false;
}

LONG tavo_FailureCalls(void) {
    return current.calls;
}

BOOL tavo_FailureHappened(void) {
    return current.happened;
}

void tavo_PauseFailures(BOOL pause) {
    current.paused += pause ? 1 : (current.paused > 0 ? -1 : 0);
}

namespace posix {

FailurePoint::FailurePoint(DWORD kind) {
    Switch &s = current;
    if (s.depth++ > 0 || s.paused > 0 || s.target == 0 || !(s.kinds & kind))
        return;
    if (++s.calls == s.target) {
        failing = true;
        s.happened = true;
        // TAVO_FAILURE_TRACE=1 shows where the failing call was made.
        if (std::getenv("TAVO_FAILURE_TRACE")) {
            void *frames[32];
            backtrace_symbols_fd(frames, backtrace(frames, 32), STDERR_FILENO);
        }
        SetLastError(kind == TAVO_FAIL_FILES ? ERROR_TOO_MANY_OPEN_FILES : ERROR_NOT_ENOUGH_MEMORY);
    }
}

FailurePoint::~FailurePoint() {
    current.depth--;
}

} // namespace posix
