// What the sound layer has done, for benchmarks and tests that time it
// from outside: not part of the Windows interface.
#ifndef TAVO_POSIX_SOUND_PROBE_H
#define TAVO_POSIX_SOUND_PROBE_H

#include <cstdint>

struct TavoSoundProbe {
    uint64_t started;     // sounds handed to the output
    uint64_t lastStartNs; // when the last was, on the steady clock
    uint64_t ended;       // sounds that ended or were cut off
    uint64_t lastEndNs;
    char lastName[48];    // the last started: its INAM tag ("nei5") or "resource 514"
};

extern "C" void tavo_soundProbe(TavoSoundProbe *probe);

#endif
