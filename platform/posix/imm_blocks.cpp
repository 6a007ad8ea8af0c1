// Input-context blocks (HIMCC): zero-filled movable global blocks of at
// least a DWORD, so that even an "empty" block can be locked. Resizing may
// move a block even while it is locked, as on Windows.
#include "platform/platform.h"
#include "platform/posix/failure_injection.h"

namespace {

DWORD atLeastOneDword(DWORD size) {
    return size < sizeof(DWORD) ? sizeof(DWORD) : size;
}

HGLOBAL asGlobal(HIMCC imcc) {
    return reinterpret_cast<HGLOBAL>(imcc);
}

} // namespace

HIMCC WINAPI ImmCreateIMCC(DWORD size) {
    posix::FailurePoint point(TAVO_FAIL_BLOCKS);
    if (point.fails())
        return nullptr;
    return reinterpret_cast<HIMCC>(GlobalAlloc(GHND, atLeastOneDword(size)));
}

HIMCC WINAPI ImmDestroyIMCC(HIMCC imcc) {
    return reinterpret_cast<HIMCC>(GlobalFree(asGlobal(imcc)));
}

LPVOID WINAPI ImmLockIMCC(HIMCC imcc) {
    posix::FailurePoint point(TAVO_FAIL_LOCKS);
    if (point.fails())
        return nullptr;
    return GlobalLock(asGlobal(imcc));
}

BOOL WINAPI ImmUnlockIMCC(HIMCC imcc) {
    return GlobalUnlock(asGlobal(imcc));
}

DWORD WINAPI ImmGetIMCCLockCount(HIMCC imcc) {
    UINT flags = GlobalFlags(asGlobal(imcc));
    return flags == GMEM_INVALID_HANDLE ? 0 : flags & GMEM_LOCKCOUNT;
}

HIMCC WINAPI ImmReSizeIMCC(HIMCC imcc, DWORD size) {
    posix::FailurePoint point(TAVO_FAIL_BLOCKS);
    if (point.fails())
        return nullptr;
    return reinterpret_cast<HIMCC>(GlobalReAlloc(asGlobal(imcc), atLeastOneDword(size), GHND));
}

DWORD WINAPI ImmGetIMCCSize(HIMCC imcc) {
    return static_cast<DWORD>(GlobalSize(asGlobal(imcc)));
}
