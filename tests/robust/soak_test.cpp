// A soak of random keys through each module: keys, chords, the option
// menu and the settings dialog, settings flipped and the user dictionary
// rewritten underneath now and then. Memory in use at the end must be
// within a few percent of what it was after the first thousand keys.
// TAVO_SOAK_KEYS sets the number of keys (the test command runs a short
// soak; the long one is a million).
#include "fuzz/key_input.h"
#include "host/built_modules.h"
#include "platform/posix/failure_injection.h"
#include "platform/posix/gdi_faces.h"

#include <gtest/gtest.h>

#include <malloc.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer's allocator keeps the count of what is in use.
extern "C" size_t __sanitizer_get_current_allocated_bytes(void);
#define TAVO_HEAP_IN_USE() __sanitizer_get_current_allocated_bytes()
#else
#define TAVO_HEAP_IN_USE() mallinfo2().uordblks
#endif

namespace {

long soakKeys() {
    const char *value = std::getenv("TAVO_SOAK_KEYS");
    long keys = value ? std::atol(value) : 0;
    return keys > 0 ? keys : 30000;
}

// A user dictionary of random readings and candidates, written with a
// time later than any database built so far.
void writeUserDictionary(const std::string &path, std::mt19937 &random) {
    static const char *const kCandidates[] = {"\xA7\x41", "\xA6\x6E", "\xA7\x41\xA6\x6E",
                                              "\xAD\xB9|x", "\xA4\x40\xA4\x47"};
    std::ofstream text(path, std::ios::binary | std::ios::trunc);
    int lines = int(random() % 200);
    for (int i = 0; i < lines; i++) {
        std::string key;
        for (int n = 1 + int(random() % 8); n > 0; n--)
            key += "neihoumgsi123456"[random() % 16];
        text << key << ((random() & 1) ? " " : "\t") << kCandidates[random() % 5] << " "
             << kCandidates[random() % 5] << "\n";
    }
    text.close();
    std::filesystem::last_write_time(path, std::filesystem::file_time_type::clock::now() +
                                               std::chrono::seconds(1));
}

class Soak : public ::testing::TestWithParam<std::string> {};

TEST_P(Soak, RandomKeysLeaveMemoryAsItWas) {
    const std::string &module = GetParam();
    if (host::builtModulePath(module).empty())
        GTEST_SKIP() << "the " << module << " module is not built";
    robust::ScratchMachine machine(module, TAVO_DATABASE_DIR);
    host::Session session;
    std::string error;
    ASSERT_TRUE(session.open(host::builtModulePath(module), error)) << error;
    robust::KeyPlayer player(session, machine);
    std::mt19937 random(20261208);

    // Memory is compared at rest: every key up, the defaults back, and a
    // fresh selection of the context.
    auto atRest = [&] {
        player.reset();
        session.select(false);
        session.select(true);
        session.application() = host::Application();
        // The platform's glyph caches are bounded but large; the module's
        // memory is what is compared.
        posix::forgetFaces();
        return std::make_pair(size_t(TAVO_HEAP_IN_USE()), tavo_MovableBlockCount());
    };
    const long keys = soakKeys();
    std::pair<size_t, DWORD> early{0, 0};
    auto start = std::chrono::steady_clock::now();
    for (long key = 0; key < keys; key++) {
        if (key == 1000)
            early = atRest();
        if (key % 5000 == 2500)
            writeUserDictionary(machine.userDictionary(), random);
        if (key % 1000 == 0)
            session.application() = host::Application(); // the host's records, not the module's
        player.play(uint8_t(random()));
        session.pump(); // as the application's message loop does between keys
    }
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::pair<size_t, DWORD> end = atRest();
    std::printf("%s: %ld keys in %.1f s (%.0f keys/s); heap in use after 1,000 keys %zu bytes, "
                "at the end %zu bytes; movable blocks %lu and %lu\n",
                module.c_str(), keys, seconds, keys / seconds, early.first, end.first,
                (unsigned long)early.second, (unsigned long)end.second);
    EXPECT_EQ(end.second, early.second) << "movable blocks leaked";
    EXPECT_LE(end.first, early.first + early.first / 20 + 65536) << "heap grew";
}

INSTANTIATE_TEST_SUITE_P(Modules, Soak, ::testing::Values("vexa", "ruda"),
                         [](const auto &info) { return info.param; });

} // namespace
