// What the input-method manager's files share: the table of live contexts,
// the module in use, and each thread's windows and state.
#ifndef TAVO_POSIX_IMM_PRIVATE_H
#define TAVO_POSIX_IMM_PRIVATE_H

#include "platform/posix/imm_host.h"

#include <vector>

namespace posix {

// What the platform keeps about a context beside its INPUTCONTEXT.
struct ContextFacts {
    HWND window = nullptr;
    bool unicode = false;
    DWORD thread = 0; // the thread that made it
};

// The facts of a live context; false with ERROR_INVALID_HANDLE otherwise.
bool findContext(HIMC imc, ContextFacts *facts);
// The live contexts made by a thread.
std::vector<HIMC> contextsOfThread(DWORD thread);

// A copy of the module in use; false when there is none.
bool imeModule(TAVO_IMEMODULE &module);

// Tells the module (NotifyIME with NI_CONTEXTUPDATED and contextUpdate),
// then the context's window (WM_IME_NOTIFY with notice), that something
// of imc changed.
void announceChange(HIMC imc, HWND window, DWORD contextUpdate, WPARAM notice);

// The calling thread's input-method state (imm_window.cpp): whether the
// module has its contexts, whether the status window is to show, and the
// UI window (null when there is none).
bool imeSelected();
void setImeSelected(bool selected);
bool statusWindowOpen();
HWND uiWindow();
// Makes the thread's UI window from the module's class, owned by the
// default IME window, if there is none yet; destroys it.
void makeUiWindow();
void dropUiWindow();
// Keeps every UI window's IMMGWL_IMC slot off a context that goes away.
void forgetContextInUi(HIMC imc);

// Activation of a window's context (imm_activate.cpp).
void activateContextOf(HWND window);
void deactivateContextOf(HWND window);

} // namespace posix

#endif
