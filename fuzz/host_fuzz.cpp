// Whole key sequences through the host in one module (TAVO_FUZZ_MODULE):
// every key the module takes, dot-key chords, the option menu, the
// settings dialog, and settings flipped behind its back. After each input
// the context must hold no lock, and deselecting it must end any
// composition the application was shown.
#include "fuzz/key_input.h"
#include "host/built_modules.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

struct Driver {
    robust::ScratchMachine machine{TAVO_FUZZ_MODULE, TAVO_DATABASE_DIR};
    host::Session session;
    std::unique_ptr<robust::KeyPlayer> player;

    Driver() {
        std::string error;
        if (!session.open(host::builtModulePath(TAVO_FUZZ_MODULE), error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            std::abort();
        }
        player = std::make_unique<robust::KeyPlayer>(session, machine);
    }
};

// Made once: loading a module per input would measure the loader.
Driver &driver() {
    static Driver *made = new Driver;
    return *made;
}

bool locksAreFree(HIMC imc) {
    if (ImmGetIMCLockCount(imc) != 0)
        return false;
    LPINPUTCONTEXT context = ImmLockIMC(imc);
    if (context == nullptr)
        return false;
    bool free =
        ImmGetIMCCLockCount(context->hCompStr) == 0 && ImmGetIMCCLockCount(context->hPrivate) == 0;
    ImmUnlockIMC(imc);
    return free;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    Driver &d = driver();
    d.player->play(data, size);
    if (!locksAreFree(d.session.context()))
        __builtin_trap();
    d.player->reset();
    // A fresh context for the next input.
    d.session.select(false);
    if (d.session.application().isComposing())
        __builtin_trap();
    d.session.select(true);
    return 0;
}
