// Working the module's settings dialog for the menu.
#include "frontends/ibus/settings_menu.h"

#include "host/dialog.h"

#include <regex>

namespace ibus_front {

namespace {

bool isCheckBox(const host::DialogControl &control) {
    if (control.className != "Button")
        return false;
    DWORD kind = control.style & BS_TYPEMASK;
    return kind == BS_CHECKBOX || kind == BS_AUTOCHECKBOX;
}

} // namespace

std::string plainLabel(const std::string &text) {
    static const std::regex mnemonicInBrackets(R"( ?\(&.\)$)");
    std::string label = std::regex_replace(text, mnemonicInBrackets, "");
    std::string plain;
    for (size_t at = 0; at < label.size(); ++at) {
        if (label[at] == '&' && at + 1 < label.size())
            ++at; // "&&" is a literal ampersand, "&S" marks S
        plain += label[at];
    }
    return plain;
}

std::vector<Switch> readSwitches(host::Manager &manager) {
    std::vector<Switch> switches;
    host::DialogDriver driver([&switches](HWND dialog) {
        for (const host::DialogControl &control : host::dialogControls(dialog))
            if (isCheckBox(control))
                switches.push_back(
                    {control.id, plainLabel(control.text), control.check == BST_CHECKED});
    });
    manager.configure(nullptr);
    return switches;
}

bool setSwitch(host::Manager &manager, int id, bool on) {
    bool done = false;
    host::DialogDriver driver([&done, id, on](HWND dialog) {
        for (const host::DialogControl &control : host::dialogControls(dialog))
            if (control.id == id && isCheckBox(control)) {
                if ((control.check == BST_CHECKED) != on)
                    host::pressDialogButton(dialog, id);
                done = host::pressDialogButton(dialog, IDOK);
            }
    });
    return manager.configure(nullptr) && done;
}

} // namespace ibus_front
