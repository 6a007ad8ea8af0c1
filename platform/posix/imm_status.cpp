// The open and conversion statuses of a context. A change is made in the
// context first, then the module hears of it (NotifyIME with
// NI_CONTEXTUPDATED) and then the context's window (WM_IME_NOTIFY), as
// Windows does; setting a status to what it already is tells no one.
#include "platform/posix/imm_private.h"

namespace posix {

void announceChange(HIMC imc, HWND window, DWORD contextUpdate, WPARAM notice) {
    TAVO_IMEMODULE module;
    if (imeModule(module) && module.NotifyIME)
        module.NotifyIME(imc, NI_CONTEXTUPDATED, 0, contextUpdate);
    SendMessageW(window, WM_IME_NOTIFY, notice, 0);
}

} // namespace posix

BOOL WINAPI ImmGetOpenStatus(HIMC imc) {
    LPINPUTCONTEXT context = ImmLockIMC(imc);
    if (!context)
        return FALSE;
    BOOL open = context->fOpen;
    ImmUnlockIMC(imc);
    return open;
}

BOOL WINAPI ImmSetOpenStatus(HIMC imc, BOOL open) {
    LPINPUTCONTEXT context = ImmLockIMC(imc);
    if (!context)
        return FALSE;
    bool changed = (context->fOpen != FALSE) != (open != FALSE);
    context->fOpen = open ? TRUE : FALSE;
    HWND window = context->hWnd;
    ImmUnlockIMC(imc);
    if (changed)
        posix::announceChange(imc, window, IMC_SETOPENSTATUS, IMN_SETOPENSTATUS);
    return TRUE;
}

BOOL WINAPI ImmGetConversionStatus(HIMC imc, LPDWORD conversion, LPDWORD sentence) {
    LPINPUTCONTEXT context = ImmLockIMC(imc);
    if (!context)
        return FALSE;
    if (conversion)
        *conversion = context->fdwConversion;
    if (sentence)
        *sentence = context->fdwSentence;
    ImmUnlockIMC(imc);
    return TRUE;
}

BOOL WINAPI ImmSetConversionStatus(HIMC imc, DWORD conversion, DWORD sentence) {
    LPINPUTCONTEXT context = ImmLockIMC(imc);
    if (!context)
        return FALSE;
    bool conversionChanged = context->fdwConversion != conversion;
    bool sentenceChanged = context->fdwSentence != sentence;
    context->fdwConversion = conversion;
    context->fdwSentence = sentence;
    context->fdwInit |= INIT_CONVERSION | INIT_SENTENCE;
    HWND window = context->hWnd;
    ImmUnlockIMC(imc);
    if (conversionChanged)
        posix::announceChange(imc, window, IMC_SETCONVERSIONMODE, IMN_SETCONVERSIONMODE);
    if (sentenceChanged)
        posix::announceChange(imc, window, IMC_SETSENTENCEMODE, IMN_SETSENTENCEMODE);
    return TRUE;
}
