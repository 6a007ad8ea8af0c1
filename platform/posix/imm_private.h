// What the input-context files share: the table of live contexts and the
// host's callbacks.
#ifndef TAVO_POSIX_IMM_PRIVATE_H
#define TAVO_POSIX_IMM_PRIVATE_H

#include "platform/posix/imm_host.h"

namespace posix {

// What the platform keeps about a context beside its INPUTCONTEXT.
struct ContextFacts {
    HWND window = nullptr;
    bool unicode = false;
};

// The facts of a live context; false with ERROR_INVALID_HANDLE otherwise.
bool findContext(HIMC imc, ContextFacts *facts);

// A copy of the host's callbacks, safe to call without any lock held.
TAVO_IMMHOOKS immHooks();

} // namespace posix

#endif
