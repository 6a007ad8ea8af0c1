// The module's settings dialog as the input method's menu on the desktop:
// each check box of the dialog is a switch of the menu, with the box's
// text. The dialog is the module's own (ImeConfigure), worked as the
// platform works dialogs: opened, read and cancelled to learn the
// switches, opened, one box ticked or cleared and OK pressed to change
// one, so the module loads and saves its settings itself.
#ifndef TAVO_FRONTENDS_IBUS_SETTINGS_MENU_H
#define TAVO_FRONTENDS_IBUS_SETTINGS_MENU_H

#include "host/manager.h"

#include <string>
#include <vector>

namespace ibus_front {

struct Switch {
    int id; // the check box's control id
    std::string label;
    bool on;

    bool operator==(const Switch &) const = default;
};

// The switches as the dialog shows them now; empty when the dialog can't
// be had.
std::vector<Switch> readSwitches(host::Manager &manager);

// Sets the switch of check box id and confirms; false when there is no
// such box or the dialog can't be had.
bool setSwitch(host::Manager &manager, int id, bool on);

// A control's text without its keyboard mnemonic: "點字鍵盤 (&D)" becomes
// "點字鍵盤", "&Speech" becomes "Speech".
std::string plainLabel(const std::string &text);

} // namespace ibus_front

#endif
