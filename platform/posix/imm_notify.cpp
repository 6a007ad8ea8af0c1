// ImmNotifyIME: an application tells the input method what it did to a
// context (completed or cancelled the composition, chose a candidate), and
// the manager passes the call on to the module's NotifyIME, whose answer
// it returns. Nothing reaches a module that does not have the thread's
// contexts.
#include "platform/posix/imm_private.h"

BOOL WINAPI ImmNotifyIME(HIMC imc, DWORD action, DWORD index, DWORD value) {
    TAVO_IMEMODULE module;
    if (!posix::findContext(imc, nullptr) || !posix::imeSelected() ||
        !posix::imeModule(module) || !module.NotifyIME)
        return FALSE;
    return module.NotifyIME(imc, action, index, value);
}
