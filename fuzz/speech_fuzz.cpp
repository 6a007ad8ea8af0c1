// The speech library's reading of arbitrary Big5 text: the text is turned
// into reading codes through the library's dictionary and said by its
// worker from a small voice, cut off by the next text or by a stop.
#include "fuzz/key_input.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

typedef int(WINAPI *ReadFunction)(const char *);
typedef int(WINAPI *StopFunction)(void);

struct Library {
    robust::ScratchMachine machine{"ruda", TAVO_DATABASE_DIR};
    HMODULE module = nullptr;
    ReadFunction read = nullptr;
    StopFunction stop = nullptr;

    Library() {
        module = LoadLibraryA(TAVO_SPEECH_LIBRARY);
        if (!module) {
            std::fprintf(stderr, "cannot load %s\n", TAVO_SPEECH_LIBRARY);
            std::abort();
        }
        read = (ReadFunction)(void (*)(void))GetProcAddress(module, "speech_read");
        stop = (StopFunction)(void (*)(void))GetProcAddress(module, "speech_stop");
    }
};

// Loaded once and never unloaded: the worker runs for the whole process.
Library &library() {
    static Library *loaded = new Library;
    return *loaded;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    Library &speech = library();
    // The input is one text, or several separated by zero bytes; a text
    // that begins with 0x01 is followed by a stop.
    std::string input((const char *)data, size);
    for (size_t at = 0; at <= input.size();) {
        size_t end = input.find('\0', at);
        if (end == std::string::npos)
            end = input.size();
        std::string text = input.substr(at, end - at);
        if (speech.read(text.c_str()) != 1)
            __builtin_trap();
        if (!text.empty() && text[0] == '\x01' && speech.stop() != 1)
            __builtin_trap();
        at = end + 1;
    }
    return 0;
}
