// Bytes as a user at the keyboard: each byte of an input is a key typed,
// a braille chord, a setting flipped behind the module's back, or
// something the application does to the context. Shared by the fuzz
// targets that drive the modules and by the soak test.
#ifndef TAVO_FUZZ_KEY_INPUT_H
#define TAVO_FUZZ_KEY_INPUT_H

#include "host/session.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace robust {

// A scratch system directory (with the module's phrase database), Windows
// directory and registry for a process that drives a module; everything
// is removed when it goes.
class ScratchMachine {
public:
    // databaseDir: where the build put the phrase databases.
    ScratchMachine(const std::string &module, const std::string &databaseDir);
    ~ScratchMachine();
    ScratchMachine(const ScratchMachine &) = delete;
    ScratchMachine &operator=(const ScratchMachine &) = delete;

    const std::string &folder() const { return root; }
    std::string userDictionary() const;
    // The module's settings key under HKEY_CURRENT_USER.
    const std::string &settingsKey() const { return key; }
    // Writes a registry value of the module's settings.
    void setSetting(const char *name, uint32_t value) const;

private:
    std::string root;
    std::string module;
    std::string key;
};

// The settings a byte can flip, in the order of the registry's table.
extern const char *const kSettingNames[7];

// Plays bytes into an open session.
class KeyPlayer {
public:
    KeyPlayer(host::Session &session, const ScratchMachine &machine);

    void play(const uint8_t *data, size_t size);
    void play(uint8_t byte);
    // Every key up again, the settings back to their defaults.
    void reset();

private:
    void flipSetting(unsigned which);
    void applicationAction(unsigned which);
    void chord(unsigned dots);

    host::Session &session;
    const ScratchMachine &machine;
    uint32_t settings[7];
    unsigned box = 0;       // the dialog's next box to click
    bool tightRoom = false; // the next key's messages get room for one
};

} // namespace robust

#endif
