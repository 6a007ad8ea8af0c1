// The module's modal dialogs as the host works them: there is no screen,
// so while a dialog is up the host hands it to an action that reads its
// controls and presses its buttons (platform/posix/dialog_host.h).
#ifndef TAVO_HOST_DIALOG_H
#define TAVO_HOST_DIALOG_H

#include "platform/platform.h"

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace host {

struct DialogControl {
    int id;
    std::string className;
    std::string text; // "resource <n>" for a control that shows one
    UINT check;       // BST_CHECKED or not, for buttons
    DWORD style;
};

std::string dialogCaption(HWND dialog);
std::vector<DialogControl> dialogControls(HWND dialog);
// Clicks a control (a check box changes first); false when there is none.
bool pressDialogButton(HWND dialog, int id);
// The dialog as text: caption, then one line per control.
void printDialog(std::FILE *out, HWND dialog);

// What to do with a dialog when it shows. A dialog the action leaves open
// is cancelled.
using DialogAction = std::function<void(HWND dialog)>;

// Makes action the driver of the dialogs shown until the guard goes.
class DialogDriver {
public:
    explicit DialogDriver(DialogAction action);
    DialogDriver(const DialogDriver &) = delete;
    DialogDriver &operator=(const DialogDriver &) = delete;
    ~DialogDriver();

private:
    static void drive(void *user, HWND dialog);
    DialogAction act;
};

} // namespace host

#endif
