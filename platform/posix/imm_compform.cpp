// Where the application wants the input method's windows: the composition
// form and the status window position of a context. Setting one marks it
// in fdwInit, then tells the module (NI_CONTEXTUPDATED) and the context's
// window (WM_IME_NOTIFY), as Windows does; reading one the application
// never set fails.
#include "platform/posix/imm_private.h"

namespace {

template <class Change>
BOOL setAndAnnounce(HIMC imc, Change change, DWORD contextUpdate, WPARAM notice) {
    LPINPUTCONTEXT context = ImmLockIMC(imc);
    if (!context)
        return FALSE;
    change(*context);
    HWND window = context->hWnd;
    ImmUnlockIMC(imc);
    posix::announceChange(imc, window, contextUpdate, notice);
    return TRUE;
}

template <class Read> BOOL readIfSet(HIMC imc, DWORD initFlag, Read read) {
    LPINPUTCONTEXT context = ImmLockIMC(imc);
    if (!context)
        return FALSE;
    bool set = (context->fdwInit & initFlag) != 0;
    if (set)
        read(*context);
    ImmUnlockIMC(imc);
    return set;
}

} // namespace

BOOL WINAPI ImmSetCompositionWindow(HIMC imc, LPCOMPOSITIONFORM form) {
    if (!form)
        return FALSE;
    return setAndAnnounce(
        imc,
        [form](INPUTCONTEXT &context) {
            context.cfCompForm = *form;
            context.fdwInit |= INIT_COMPFORM;
        },
        IMC_SETCOMPOSITIONWINDOW, IMN_SETCOMPOSITIONWINDOW);
}

BOOL WINAPI ImmGetCompositionWindow(HIMC imc, LPCOMPOSITIONFORM form) {
    if (!form)
        return FALSE;
    return readIfSet(imc, INIT_COMPFORM,
                     [form](const INPUTCONTEXT &context) { *form = context.cfCompForm; });
}

BOOL WINAPI ImmSetStatusWindowPos(HIMC imc, LPPOINT point) {
    if (!point)
        return FALSE;
    return setAndAnnounce(
        imc,
        [point](INPUTCONTEXT &context) {
            context.ptStatusWndPos = *point;
            context.fdwInit |= INIT_STATUSWNDPOS;
        },
        IMC_SETSTATUSWINDOWPOS, IMN_SETSTATUSWINDOWPOS);
}

BOOL WINAPI ImmGetStatusWindowPos(HIMC imc, LPPOINT point) {
    if (!point)
        return FALSE;
    return readIfSet(imc, INIT_STATUSWNDPOS,
                     [point](const INPUTCONTEXT &context) { *point = context.ptStatusWndPos; });
}
