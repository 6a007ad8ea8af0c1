// ImmGenerateMessage: the messages a module left in a context's message
// buffer are sent, in order, to the context's window, whose default
// handling passes them on to the input method's UI window. They are taken out (and
// the count reset) before the first is sent, so a receiver that makes the
// module add messages neither loses them nor sees old ones again.
#include "platform/posix/failure_injection.h"
#include "platform/posix/imm_private.h"

#include <algorithm>
#include <vector>

namespace {

// Takes the pending messages out of a locked context. A count beyond what
// the buffer holds is cut to what is really there.
std::vector<TRANSMSG> takeMessages(INPUTCONTEXT &context) {
    std::vector<TRANSMSG> messages;
    DWORD count = context.dwNumMsgBuf;
    context.dwNumMsgBuf = 0;
    if (count == 0)
        return messages;
    auto *buffer = static_cast<const TRANSMSG *>(ImmLockIMCC(context.hMsgBuf));
    if (!buffer)
        return messages;
    DWORD held = ImmGetIMCCSize(context.hMsgBuf) / sizeof(TRANSMSG);
    messages.assign(buffer, buffer + std::min(count, held));
    ImmUnlockIMCC(context.hMsgBuf);
    return messages;
}

} // namespace

BOOL WINAPI ImmGenerateMessage(HIMC imc) {
    std::vector<TRANSMSG> messages;
    HWND window = nullptr;
    {
        // Taking the messages out is the manager's own work, which a test's
        // failures of the module's calls leave alone.
        posix::FailurePause managerWork;
        LPINPUTCONTEXT context = ImmLockIMC(imc);
        if (!context)
            return FALSE;
        messages = takeMessages(*context);
        window = context->hWnd;
        ImmUnlockIMC(imc);
    }
    for (const TRANSMSG &message : messages)
        SendMessageW(window, message.message, message.wParam, message.lParam);
    return TRUE;
}
