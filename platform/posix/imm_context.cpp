// Input contexts. An HIMC is the handle of a movable global block holding
// the INPUTCONTEXT, so ImmLockIMC counts locks as the blocks do; a table
// of live contexts keeps made-up or destroyed handles from being used, and
// holds each context's window, thread and text flavour. Also the module in
// use, as the host gives it.
#include "platform/posix/failure_injection.h"
#include "platform/posix/imm_private.h"

#include <iterator>
#include <mutex>
#include <unordered_map>

namespace {

struct ContextTable {
    std::mutex lock;
    std::unordered_map<HIMC, posix::ContextFacts> contexts;
    TAVO_IMEMODULE module = {};
    bool hasModule = false;
    DWORD privateSize = 0;
    bool unicode = false;
};

// Never destroyed, so that contexts freed during static destruction still
// find it.
ContextTable &table() {
    static ContextTable *instance = new ContextTable;
    return *instance;
}

HGLOBAL asGlobal(HIMC imc) {
    return reinterpret_cast<HGLOBAL>(imc);
}

// A block holding a zeroed record of the given size whose first DWORD
// says that size, as the manager makes them.
HIMCC createSizedBlock(DWORD size) {
    HIMCC block = ImmCreateIMCC(size);
    if (auto *dwSize = static_cast<DWORD *>(ImmLockIMCC(block))) {
        *dwSize = size;
        ImmUnlockIMCC(block);
    }
    return block;
}

void destroyBlocks(const INPUTCONTEXT &context) {
    for (HIMCC block : {context.hCompStr, context.hCandInfo, context.hGuideLine, context.hPrivate,
                        context.hMsgBuf})
        if (block)
            ImmDestroyIMCC(block);
}

// Fills a fresh context's blocks; false (with every block freed) when
// memory runs out.
bool createBlocks(INPUTCONTEXT &context, DWORD privateSize) {
    context.hCompStr = createSizedBlock(sizeof(COMPOSITIONSTRING));
    context.hCandInfo = createSizedBlock(sizeof(CANDIDATEINFO));
    context.hGuideLine = createSizedBlock(sizeof(GUIDELINE));
    context.hPrivate = ImmCreateIMCC(privateSize);
    context.hMsgBuf = ImmCreateIMCC(0);
    if (context.hCompStr && context.hCandInfo && context.hGuideLine && context.hPrivate &&
        context.hMsgBuf)
        return true;
    destroyBlocks(context);
    return false;
}

} // namespace

namespace posix {

bool findContext(HIMC imc, ContextFacts *facts) {
    ContextTable &t = table();
    std::lock_guard guard(t.lock);
    auto found = t.contexts.find(imc);
    if (found == t.contexts.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    if (facts)
        *facts = found->second;
    return true;
}

std::vector<HIMC> contextsOfThread(DWORD thread) {
    ContextTable &t = table();
    std::lock_guard guard(t.lock);
    std::vector<HIMC> found;
    for (const auto &[imc, facts] : t.contexts)
        if (facts.thread == thread)
            found.push_back(imc);
    return found;
}

bool imeModule(TAVO_IMEMODULE &module) {
    ContextTable &t = table();
    std::lock_guard guard(t.lock);
    module = t.module;
    return t.hasModule;
}

} // namespace posix

void tavo_SetImeModule(const TAVO_IMEMODULE *module) {
    {
        ContextTable &t = table();
        std::lock_guard guard(t.lock);
        t.module = module ? *module : TAVO_IMEMODULE{};
        t.module.uiClass[std::size(t.module.uiClass) - 1] = 0;
        t.hasModule = module != nullptr;
    }
    posix::dropUiWindow();
    tavo_SetImeInfo(module ? &module->info : nullptr);
}

void tavo_SetImeInfo(const IMEINFO *info) {
    ContextTable &t = table();
    std::lock_guard guard(t.lock);
    t.privateSize = info ? info->dwPrivateDataSize : 0;
    t.unicode = info && (info->fdwProperty & IME_PROP_UNICODE);
}

HIMC tavo_CreateInputContext(HWND window, DWORD privateSize) {
    HGLOBAL record = GlobalAlloc(GHND, sizeof(INPUTCONTEXT));
    auto *context = static_cast<INPUTCONTEXT *>(GlobalLock(record));
    if (!context) {
        GlobalFree(record);
        return nullptr;
    }
    context->hWnd = window;
    bool made = createBlocks(*context, privateSize);
    GlobalUnlock(record);
    if (!made) {
        GlobalFree(record);
        return nullptr;
    }
    auto imc = reinterpret_cast<HIMC>(record);
    {
        ContextTable &t = table();
        std::lock_guard guard(t.lock);
        t.contexts[imc] = posix::ContextFacts{window, t.unicode, GetCurrentThreadId()};
    }
    TAVO_IMEMODULE module;
    if (posix::imeSelected() && posix::imeModule(module) && module.ImeSelect)
        module.ImeSelect(imc, TRUE);
    return imc;
}

BOOL tavo_SetContextUnicode(HIMC imc, BOOL unicode) {
    ContextTable &t = table();
    std::lock_guard guard(t.lock);
    auto found = t.contexts.find(imc);
    if (found == t.contexts.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    found->second.unicode = unicode;
    return TRUE;
}

HIMC WINAPI ImmCreateContext(void) {
    DWORD privateSize;
    {
        ContextTable &t = table();
        std::lock_guard guard(t.lock);
        privateSize = t.privateSize;
    }
    return tavo_CreateInputContext(nullptr, privateSize);
}

BOOL WINAPI ImmDestroyContext(HIMC imc) {
    posix::ContextFacts facts;
    TAVO_IMEMODULE module;
    if (posix::findContext(imc, &facts) && facts.thread == GetCurrentThreadId() &&
        posix::imeSelected() && posix::imeModule(module) && module.ImeSelect)
        module.ImeSelect(imc, FALSE);
    posix::forgetContextInUi(imc);
    {
        ContextTable &t = table();
        std::lock_guard guard(t.lock);
        if (!t.contexts.erase(imc)) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
    }
    if (auto *context = static_cast<INPUTCONTEXT *>(GlobalLock(asGlobal(imc)))) {
        destroyBlocks(*context);
        GlobalUnlock(asGlobal(imc));
    }
    GlobalFree(asGlobal(imc));
    return TRUE;
}

LPINPUTCONTEXT WINAPI ImmLockIMC(HIMC imc) {
    posix::FailurePoint point(TAVO_FAIL_LOCKS);
    if (point.fails())
        return nullptr;
    if (!posix::findContext(imc, nullptr))
        return nullptr;
    return static_cast<LPINPUTCONTEXT>(GlobalLock(asGlobal(imc)));
}

BOOL WINAPI ImmUnlockIMC(HIMC imc) {
    if (!posix::findContext(imc, nullptr))
        return FALSE;
    // TRUE whenever a lock was released, also the last one.
    SetLastError(NO_ERROR);
    return GlobalUnlock(asGlobal(imc)) || GetLastError() == NO_ERROR;
}

DWORD WINAPI ImmGetIMCLockCount(HIMC imc) {
    if (!posix::findContext(imc, nullptr))
        return 0;
    return GlobalFlags(asGlobal(imc)) & GMEM_LOCKCOUNT;
}

HIMC WINAPI ImmGetContext(HWND window) {
    ContextTable &t = table();
    std::lock_guard guard(t.lock);
    for (const auto &[imc, facts] : t.contexts)
        if (window && facts.window == window)
            return imc;
    return nullptr;
}

BOOL WINAPI ImmReleaseContext(HWND, HIMC) {
    return TRUE;
}
