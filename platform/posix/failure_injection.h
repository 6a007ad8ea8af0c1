// A switch for tests only: makes the N-th call of chosen allocation, lock
// and file functions fail as they fail when the system runs short, so
// that every failure path of the code above the platform can be walked.
// Only calls on the thread that armed the switch count, and only the
// outermost of nested calls (ImmCreateIMCC allocating a global block is
// one call), so that a scenario counts the same on every run. With
// TAVO_FAILURE_TRACE set, the failing call prints its stack.
#ifndef TAVO_POSIX_FAILURE_INJECTION_H
#define TAVO_POSIX_FAILURE_INJECTION_H

#include "platform/platform.h"

#define TAVO_FAIL_MEMORY 0x1 // GlobalAlloc, GlobalReAlloc
#define TAVO_FAIL_BLOCKS 0x2 // ImmCreateIMCC, ImmReSizeIMCC
#define TAVO_FAIL_LOCKS 0x4  // ImmLockIMC, ImmLockIMCC
#define TAVO_FAIL_FILES 0x8  // CreateFile, CreateFileMapping, MapViewOfFile
#define TAVO_FAIL_ALL 0xF

// From now on, on this thread, the n-th call (counting from 1) of the
// functions of the kinds given fails once; n = 0 disarms the switch.
void tavo_FailNthCall(DWORD kinds, LONG n);
// The calls counted since the switch was armed.
LONG tavo_FailureCalls(void);
// Whether the armed call was reached (and failed).
BOOL tavo_FailureHappened(void);
// How many movable global blocks are allocated now (the blocks of input
// contexts among them): a leak of one shows as a count that grows.
DWORD tavo_MovableBlockCount(void);
// While paused (calls nest), calls on this thread neither count nor fail:
// for the parts of a test that play the application rather than the
// code under test.
void tavo_PauseFailures(BOOL pause);

namespace posix {

// Marks one call of a function that the switch can fail; fails() tells
// whether this call is the one to fail.
class FailurePoint {
public:
    explicit FailurePoint(DWORD kind);
    ~FailurePoint();
    FailurePoint(const FailurePoint &) = delete;
    FailurePoint &operator=(const FailurePoint &) = delete;
    bool fails() const { return failing; }

private:
    bool failing = false;
};

// Pauses the switch while it lives: for the manager's own work, which the
// module's failure paths have no part in.
class FailurePause {
public:
    FailurePause() { tavo_PauseFailures(TRUE); }
    ~FailurePause() { tavo_PauseFailures(FALSE); }
    FailurePause(const FailurePause &) = delete;
    FailurePause &operator=(const FailurePause &) = delete;
};

} // namespace posix

#endif
