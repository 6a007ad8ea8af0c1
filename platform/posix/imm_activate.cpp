// Giving the module the thread's contexts (tavo_SelectIme) and moving the
// active context with the focus. Windows tells the module first and the
// window after: activation is ImeSetActiveContext(TRUE), the UI window's
// IMMGWL_IMC set to the context, WM_IME_SETCONTEXT(TRUE, ISC_SHOWUIALL)
// to the window and, while the status window is open, WM_IME_NOTIFY with
// IMN_OPENSTATUSWINDOW; deactivation is ImeSetActiveContext(FALSE) and
// WM_IME_SETCONTEXT(FALSE, ISC_SHOWUIALL). A window without a context
// hears neither, and the UI window's slot is cleared.
#include "platform/posix/imm_private.h"
#include "platform/posix/window_private.h"

namespace {

// The window at the top of window's owner chain.
HWND rootOwner(HWND window) {
    for (int depth = 0; depth < 64; ++depth) {
        HWND owner = GetWindow(window, GW_OWNER);
        if (!owner)
            break;
        window = owner;
    }
    return window;
}

void tellModule(HIMC imc, BOOL active) {
    TAVO_IMEMODULE module;
    if (posix::imeSelected() && posix::imeModule(module) && module.ImeSetActiveContext)
        module.ImeSetActiveContext(imc, active);
}

void sendSelect(HWND focus, BOOL select) {
    HWND target = focus ? focus : posix::defaultImeWindow(GetCurrentThreadId());
    SendMessageW(target, WM_IME_SELECT, select, LPARAM(TAVO_IME_LAYOUT));
}

} // namespace

namespace posix {

void activateContextOf(HWND window) {
    HIMC imc = ImmGetContext(window);
    if (HWND ui = uiWindow())
        SetWindowLongPtrW(ui, IMMGWL_IMC, LONG_PTR(imc));
    if (!imc)
        return;
    tellModule(imc, TRUE);
    SendMessageW(window, WM_IME_SETCONTEXT, TRUE, LPARAM(ISC_SHOWUIALL));
    if (imeSelected() && statusWindowOpen())
        SendMessageW(window, WM_IME_NOTIFY, IMN_OPENSTATUSWINDOW, 0);
}

void deactivateContextOf(HWND window) {
    HIMC imc = ImmGetContext(window);
    if (!imc)
        return;
    tellModule(imc, FALSE);
    SendMessageW(window, WM_IME_SETCONTEXT, FALSE, LPARAM(ISC_SHOWUIALL));
}

void imeFocusLeaving(HWND window) {
    if (!belongsToIme(window))
        deactivateContextOf(window);
}

// The default IME window follows the focus to its top-level owner, so
// that the input method's windows stay in front of the application's.
void imeFocusArriving(HWND window) {
    if (belongsToIme(window))
        return;
    if (HWND ime = defaultImeWindow(GetCurrentThreadId()))
        SetWindowLongPtrW(ime, GWLP_HWNDPARENT, LONG_PTR(rootOwner(window)));
    activateContextOf(window);
}

} // namespace posix

BOOL tavo_SelectIme(BOOL select) {
    if (bool(select) == posix::imeSelected())
        return TRUE;
    TAVO_IMEMODULE module;
    bool hasModule = posix::imeModule(module) && module.ImeSelect;
    std::vector<HIMC> contexts = posix::contextsOfThread(GetCurrentThreadId());
    HWND focus = GetFocus();
    BOOL all = TRUE;
    if (select) {
        posix::setImeSelected(true);
        for (HIMC imc : contexts)
            if (hasModule && !module.ImeSelect(imc, TRUE))
                all = FALSE;
        posix::makeUiWindow();
        sendSelect(focus, TRUE);
        if (focus)
            posix::activateContextOf(focus);
    } else {
        if (focus)
            posix::deactivateContextOf(focus);
        sendSelect(focus, FALSE);
        for (HIMC imc : contexts)
            if (hasModule && !module.ImeSelect(imc, FALSE))
                all = FALSE;
        posix::setImeSelected(false);
        posix::dropUiWindow();
    }
    return all;
}
