// The module made the platform's input method, its selection for the
// thread, and the thread's keyboard state.
#include "host/manager.h"

#include "platform/posix/imm_host.h"

#include <iterator>

namespace host {

namespace {

constexpr BYTE kDown = 0x80;
constexpr BYTE kToggled = 0x01;

// The left-hand key of a generic modifier, or 0.
unsigned char leftHand(unsigned char key) {
    switch (key) {
    case VK_SHIFT:
        return VK_LSHIFT;
    case VK_CONTROL:
        return VK_LCONTROL;
    case VK_MENU:
        return VK_LMENU;
    default:
        return 0;
    }
}

} // namespace

Manager::~Manager() {
    unload();
}

void Manager::tellPlatform() {
    TAVO_IMEMODULE module = {};
    module.instance = ime.instance();
    module.info = ime.imeInfo();
    ime.uiClassWide().copy(module.uiClass, std::size(module.uiClass) - 1);
    module.ImeSelect = ime.exports().ImeSelect;
    module.ImeSetActiveContext = ime.exports().ImeSetActiveContext;
    module.NotifyIME = ime.exports().NotifyIME;
    tavo_SetImeModule(&module);
}

bool Manager::load(const std::string &modulePath, std::string &error) {
    unload();
    if (!ime.load(modulePath, error))
        return false;
    tellPlatform();
    clearKeys();
    return true;
}

void Manager::unload() {
    if (!ime.loaded())
        return;
    select(false);
    tavo_SetImeModule(nullptr);
    ime.unload();
}

BOOL Manager::select(bool selected) {
    if (!ime.loaded())
        return FALSE;
    isSelected = selected;
    return tavo_SelectIme(selected);
}

BOOL Manager::configure(HWND owner, DWORD mode) {
    return ime.loaded() ? ime.exports().ImeConfigure(nullptr, owner, mode, nullptr) : FALSE;
}

void Manager::setKey(unsigned char virtualKey, bool down) {
    auto set = [down, this](unsigned char key) {
        keys[key] = static_cast<BYTE>((down ? kDown : 0) | (keys[key] & kToggled));
    };
    set(virtualKey);
    if (unsigned char left = leftHand(virtualKey))
        set(left);
    SetKeyboardState(keys.data());
}

void Manager::setToggled(unsigned char virtualKey, bool on) {
    keys[virtualKey] = static_cast<BYTE>((keys[virtualKey] & kDown) | (on ? kToggled : 0));
    SetKeyboardState(keys.data());
}

void Manager::clearKeys() {
    keys.fill(0);
    SetKeyboardState(keys.data());
}

UINT Manager::keyCode(unsigned char virtualKey) const {
    if (ime.unicode()) {
        WCHAR character[2] = {};
        if (ToUnicode(virtualKey, 0, keys.data(), character, 2, 0) != 1)
            character[0] = 0;
        return static_cast<UINT>(character[0]) << 16 | virtualKey;
    }
    WORD character = 0;
    if (ToAscii(virtualKey, 0, keys.data(), &character, 0) != 1)
        character = 0;
    return static_cast<UINT>(character & 0xFF) << 8 | virtualKey;
}

} // namespace host
