// Working the module's dialogs for the host: the settings dialog's
// controls pressed in order.
#include "host/dialog.h"

#include "host/text.h"
#include "platform/posix/dialog_host.h"

#include <algorithm>

namespace host {

namespace {

std::string utf8(LPCWSTR text) {
    return text ? toUtf8(std::u16string(text)) : std::string();
}

} // namespace

std::string dialogCaption(HWND dialog) {
    return utf8(tavo_DialogCaption(dialog));
}

std::vector<DialogControl> dialogControls(HWND dialog) {
    int count = tavo_DialogControls(dialog, nullptr, 0);
    if (count <= 0)
        return {};
    std::vector<TAVO_DIALOGCONTROL> found(static_cast<size_t>(count));
    count = std::min(count, tavo_DialogControls(dialog, found.data(), count));
    std::vector<DialogControl> controls;
    for (int i = 0; i < count; ++i) {
        std::string text = found[i].text ? utf8(found[i].text)
                                         : "resource " + std::to_string(found[i].textOrdinal);
        controls.push_back(
            {found[i].id, utf8(found[i].className), text, found[i].check, found[i].style});
    }
    return controls;
}

bool pressDialogButton(HWND dialog, int id) {
    return tavo_PressDialogButton(dialog, id) != FALSE;
}

void printDialog(std::FILE *out, HWND dialog) {
    std::fprintf(out, "dialog \"%s\"\n", dialogCaption(dialog).c_str());
    for (const DialogControl &control : dialogControls(dialog))
        std::fprintf(out, "  %5d %-8s %s \"%s\"\n", control.id, control.className.c_str(),
                     control.check == BST_CHECKED ? "[x]" : "   ", control.text.c_str());
}

DialogDriver::DialogDriver(DialogAction action) : act(std::move(action)) {
    tavo_SetDialogDriver(drive, this);
}

DialogDriver::~DialogDriver() {
    tavo_SetDialogDriver(nullptr, nullptr);
}

void DialogDriver::drive(void *user, HWND dialog) {
    auto *driver = static_cast<DialogDriver *>(user);
    if (driver->act)
        driver->act(dialog);
}

} // namespace host
