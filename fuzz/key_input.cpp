// Bytes played into a session as keys, chords, settings and the
// application's own calls.
#include "fuzz/key_input.h"

#include "host/dialog.h"
#include "host/script.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <vector>

namespace robust {

namespace {

// The keys a byte below 0x60 types: everything the modules take while
// idle, composing, choosing, querying and in the option menu, and some
// that they leave to the application.
const char *const kKeyTokens[96] = {
    "a",          "b",        "c",        "d",           "e",        "f",
    "g",          "h",        "i",        "j",           "k",        "l",
    "m",          "n",        "o",        "p",           "q",        "r",
    "s",          "t",        "u",        "v",           "w",        "x",
    "y",          "z",        "0",        "1",           "2",        "3",
    "4",          "5",        "6",        "7",           "8",        "9",
    "<Space>",    "<Enter>",  "<Esc>",    "<Backspace>", "<Tab>",    "<Left>",
    "<Right>",    "<Up>",     "<Down>",   "<Home>",      "<End>",    "<PageUp>",
    "<PageDown>", "<Insert>", "<Delete>", "!",           "@",        "#",
    "$",          "%",        "^",        "&",           "*",        "(",
    "Q",          "W",        "E",        "R",           "T",        "Y",
    "U",          "I",        "O",        "P",           "<Ctrl+`>", "<Ctrl+Shift+`>",
    "`",          "-",        "=",        "[",           "]",        ";",
    "'",          ",",        ".",        "/",           "\\",       ")",
    "_",          "+",        "~",        ":",           "\"",       "<",
    ">",          "?",        "{",        "}",           "|",        "<F1>",
};

const unsigned char kDotKeys[8] = {'F', 'D', 'S', 'J', 'K', 'L', 'A', 'G'};

const uint32_t kDefaults[7] = {0, 0, 0, 0, 0, 0, 24};
const uint32_t kFontSizes[6] = {24, 12, 48, 128, 0, 4000000000u};

// The key events of every token, parsed once.
const std::vector<std::vector<host::KeyEvent>> &keyTable() {
    static const std::vector<std::vector<host::KeyEvent>> table = [] {
        std::vector<std::vector<host::KeyEvent>> events;
        for (const char *token : kKeyTokens) {
            auto parsed = host::parseToken(token);
            if (!parsed)
                throw std::logic_error(std::string("key token not understood: ") + token);
            events.push_back(*parsed);
        }
        return events;
    }();
    return table;
}

// Folders of machines that are never destroyed (the fuzz targets keep
// theirs for the whole run) go when the process exits.
void removeAtExit(const std::string &folder) {
    static std::vector<std::string> *folders = [] {
        std::atexit([] {
            std::error_code ignored;
            for (const std::string &path : *folders)
                std::filesystem::remove_all(path, ignored);
        });
        return new std::vector<std::string>;
    }();
    folders->push_back(folder);
}

std::string makeFolder() {
    const char *base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : nullptr;
    std::string pattern =
        (base ? std::string(base) : std::filesystem::temp_directory_path().string()) +
        "/tavo-robust-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (!mkdtemp(name.data()))
        throw std::runtime_error("cannot make a scratch folder");
    removeAtExit(name.data());
    return name.data();
}

} // namespace

const char *const kSettingNames[7] = {"Dot Keys",        "Speech",
                                      "Reverse Video",   "Verbose Composition",
                                      "Braille Display", "Braille Explanation",
                                      "Font Size"};

ScratchMachine::ScratchMachine(const std::string &moduleName, const std::string &databaseDir)
    : root(makeFolder()), module(moduleName),
      key("Software\\Microsoft\\Windows\\CurrentVersion\\" +
          std::string(moduleName == "vexa" ? "VEXAIME" : "RUDAIME")) {
    namespace fs = std::filesystem;
    fs::create_directories(root + "/system");
    fs::create_directories(root + "/windows");
    fs::create_symlink(databaseDir + "/" + module + ".idb", root + "/system/" + module + ".idb");
    if (fs::exists(databaseDir + "/test-voice.vdb"))
        fs::create_symlink(databaseDir + "/test-voice.vdb", root + "/system/tavo_spk.vdb");
    setenv("TAVO_SYSTEM_DIR", (root + "/system").c_str(), 1);
    setenv("TAVO_WINDOWS_DIR", (root + "/windows").c_str(), 1);
    setenv("TAVO_REGISTRY", (root + "/registry").c_str(), 1);
    setenv("TAVO_SOUND", "silent", 1);
    setenv("TAVO_SOUND_TIMESCALE", "0.0001", 1);
}

ScratchMachine::~ScratchMachine() {
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
}

std::string ScratchMachine::userDictionary() const {
    return root + "/windows/" + module + ".dic";
}

void ScratchMachine::setSetting(const char *name, uint32_t value) const {
    HKEY handle = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE,
                        nullptr, &handle, nullptr) != ERROR_SUCCESS)
        return;
    // A value already there is not written again: a write rewrites the
    // whole registry file, and the scenarios set every setting each time.
    uint32_t current = 0;
    DWORD type = 0, size = sizeof current;
    if (RegQueryValueExA(handle, name, nullptr, &type, reinterpret_cast<BYTE *>(&current),
                         &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof current || current != value)
        RegSetValueExA(handle, name, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&value),
                       sizeof value);
    RegCloseKey(handle);
}

KeyPlayer::KeyPlayer(host::Session &s, const ScratchMachine &m) : session(s), machine(m) {
    for (int i = 0; i < 7; i++)
        settings[i] = kDefaults[i];
    keyTable();
}

void KeyPlayer::play(const uint8_t *data, size_t size) {
    for (size_t i = 0; i < size; i++)
        play(data[i]);
}

void KeyPlayer::play(uint8_t byte) {
    if (byte < 0x60) {
        session.feed(keyTable()[byte]);
        if (tightRoom)
            session.setMessageRoom(32);
        tightRoom = false;
    } else if (byte < 0x68)
        flipSetting(byte - 0x60);
    else if (byte < 0x70)
        applicationAction(byte - 0x68);
    else if (byte < 0x80)
        session.feed(host::KeyEvent{kDotKeys[byte & 7], (byte & 8) != 0});
    else
        chord(byte & 0x7F);
}

void KeyPlayer::flipSetting(unsigned which) {
    which %= 7;
    if (which == 6) {
        unsigned at = 0;
        while (at < 6 && kFontSizes[at] != settings[6])
            at++;
        settings[6] = kFontSizes[(at + 1) % 6];
    } else {
        settings[which] = !settings[which];
    }
    machine.setSetting(kSettingNames[which], settings[which]);
}

void KeyPlayer::applicationAction(unsigned which) {
    switch (which) {
    case 0:
        session.select(false);
        session.select(true);
        break;
    case 1:
        session.activate(false);
        session.activate(true);
        break;
    case 2:
        session.setConversion(session.conversion() ^ IME_CMODE_NATIVE);
        break;
    case 3:
        session.setConversion(session.conversion() ^ IME_CMODE_FULLSHAPE);
        break;
    case 4:
    case 5: {
        // The settings dialog: one box ticked or cleared, then OK or Cancel.
        int button = which == 4 ? IDOK : IDCANCEL;
        int control = 256 + int(box++ % 6);
        host::DialogDriver driver([&](HWND dialog) {
            host::pressDialogButton(dialog, control);
            host::pressDialogButton(dialog, button);
        });
        session.configure();
        break;
    }
    case 6:
        // The next key's messages get room for one only.
        session.setMessageRoom(1);
        tightRoom = true;
        break;
    default:
        session.feed(host::KeyEvent{VK_SHIFT, (session.keyState()[VK_SHIFT] & 0x80) != 0});
        break;
    }
}

void KeyPlayer::chord(unsigned dots) {
    for (int i = 0; i < 7; i++)
        if (dots & (1u << i))
            session.feed(host::KeyEvent{kDotKeys[i], false});
    for (int i = 0; i < 7; i++)
        if (dots & (1u << i))
            session.feed(host::KeyEvent{kDotKeys[i], true});
}

void KeyPlayer::reset() {
    for (int key = 1; key < 256; key++)
        if (session.keyState()[key] & 0x80)
            session.feed(host::KeyEvent{static_cast<unsigned char>(key), true});
    session.setMessageRoom(32);
    tightRoom = false;
    box = 0;
    for (unsigned i = 0; i < 7; i++)
        if (settings[i] != kDefaults[i]) {
            settings[i] = kDefaults[i];
            machine.setSetting(kSettingNames[i], settings[i]);
        }
}

} // namespace robust
