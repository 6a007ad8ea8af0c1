// Modal dialogs without a screen. DialogBoxParam builds the dialog's
// controls from the module's template, lets the procedure initialise them,
// then hands the dialog to the host's driver, which ticks boxes and
// presses buttons; a dialog the driver leaves open is cancelled.
#include "platform/posix/dialog_host.h"
#include "platform/posix/dialog_template.h"
#include "platform/posix/errors.h"

#include <algorithm>
#include <mutex>
#include <set>
#include <string>

namespace {

struct Control {
    posix::DialogItem item;
    UINT check = BST_UNCHECKED;
};

struct Dialog {
    posix::DialogTemplate form;
    std::vector<Control> controls;
    DLGPROC procedure = nullptr;
    bool ended = false;
    INT_PTR result = 0;
};

std::mutex registryLock;
std::set<Dialog *> openDialogs;
TAVO_DIALOGDRIVER dialogDriver;
void *dialogDriverUser;

HWND handleOf(const void *object) {
    return reinterpret_cast<HWND>(const_cast<void *>(object));
}

// The open dialog behind a handle, or null.
Dialog *dialogOf(HWND handle) {
    std::lock_guard<std::mutex> hold(registryLock);
    auto found = openDialogs.find(reinterpret_cast<Dialog *>(handle));
    if (found != openDialogs.end())
        return *found;
    return posix::failing<Dialog *>(nullptr, ERROR_INVALID_WINDOW_HANDLE);
}

Control *controlOf(HWND handle, int id) {
    Dialog *dialog = dialogOf(handle);
    if (!dialog)
        return nullptr;
    for (Control &control : dialog->controls)
        if (control.item.id == id)
            return &control;
    return posix::failing<Control *>(nullptr, ERROR_CONTROL_ID_NOT_FOUND);
}

bool isButton(const Control &control) {
    return control.item.className == u"Button";
}

// The state an automatic button takes when it is clicked.
void clickButton(Control &control) {
    if (!isButton(control))
        return;
    switch (control.item.style & BS_TYPEMASK) {
    case BS_AUTOCHECKBOX:
        control.check = control.check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
        break;
    case BS_AUTO3STATE:
        control.check = (control.check + 1) % 3;
        break;
    case BS_AUTORADIOBUTTON:
        control.check = BST_CHECKED;
        break;
    default:
        break;
    }
}

HRSRC findDialog(HINSTANCE instance, LPCSTR name) {
    return FindResourceA(instance, name, MAKEINTRESOURCEA(5));
}

HRSRC findDialog(HINSTANCE instance, LPCWSTR name) {
    return FindResourceW(instance, name, MAKEINTRESOURCEW(5));
}

// Builds the dialog from its template; false when there is none to read.
template <class Char> bool createDialog(HINSTANCE instance, const Char *name, Dialog &dialog) {
    HRSRC resource = findDialog(instance, name);
    if (!resource)
        return false;
    HGLOBAL data = LoadResource(instance, resource);
    if (!posix::readDialogTemplate(LockResource(data), SizeofResource(instance, resource),
                                   dialog.form))
        return posix::failWith(ERROR_RESOURCE_DATA_NOT_FOUND);
    for (const posix::DialogItem &item : dialog.form.items)
        dialog.controls.push_back(Control{item});
    return true;
}

// The control that takes the focus first: the first tab stop.
WPARAM firstTabStop(const Dialog &dialog) {
    constexpr DWORD kTabStop = 0x00010000;
    for (const Control &control : dialog.controls)
        if (control.item.style & kTabStop)
            return WPARAM(handleOf(&control));
    return 0;
}

// The modal part: initialisation, the driver, and the cancel that ends a
// dialog nobody closed.
INT_PTR run(Dialog &dialog, LPARAM param) {
    HWND handle = handleOf(&dialog);
    TAVO_DIALOGDRIVER driver;
    void *user;
    {
        std::lock_guard<std::mutex> hold(registryLock);
        openDialogs.insert(&dialog);
        driver = dialogDriver;
        user = dialogDriverUser;
    }
    dialog.procedure(handle, WM_INITDIALOG, firstTabStop(dialog), param);
    if (!dialog.ended && driver)
        driver(user, handle);
    if (!dialog.ended)
        dialog.procedure(handle, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    if (!dialog.ended)
        dialog.result = IDCANCEL; // a procedure that ignores Escape can't keep us waiting
    std::lock_guard<std::mutex> hold(registryLock);
    openDialogs.erase(&dialog);
    return dialog.result;
}

template <class Char>
INT_PTR dialogBox(HINSTANCE instance, const Char *name, DLGPROC procedure, LPARAM param) {
    if (!procedure)
        return posix::failing<INT_PTR>(-1, ERROR_INVALID_PARAMETER);
    Dialog dialog;
    dialog.procedure = procedure;
    if (!createDialog(instance, name, dialog))
        return -1;
    return run(dialog, param);
}

} // namespace

INT_PTR WINAPI DialogBoxParamA(HINSTANCE instance, LPCSTR name, HWND, DLGPROC procedure,
                               LPARAM param) {
    return dialogBox(instance, name, procedure, param);
}

INT_PTR WINAPI DialogBoxParamW(HINSTANCE instance, LPCWSTR name, HWND, DLGPROC procedure,
                               LPARAM param) {
    return dialogBox(instance, name, procedure, param);
}

BOOL WINAPI EndDialog(HWND handle, INT_PTR result) {
    Dialog *dialog = dialogOf(handle);
    if (!dialog)
        return FALSE;
    dialog->ended = true;
    dialog->result = result;
    return TRUE;
}

HWND WINAPI GetDlgItem(HWND dialog, int id) {
    Control *control = controlOf(dialog, id);
    return control ? handleOf(control) : nullptr;
}

BOOL WINAPI CheckDlgButton(HWND dialog, int id, UINT check) {
    Control *control = controlOf(dialog, id);
    if (!control)
        return FALSE;
    if (isButton(*control))
        control->check = check;
    return TRUE;
}

UINT WINAPI IsDlgButtonChecked(HWND dialog, int id) {
    Control *control = controlOf(dialog, id);
    return control ? control->check : BST_UNCHECKED;
}

UINT WINAPI GetDlgItemTextW(HWND dialog, int id, LPWSTR buffer, int size) {
    if (!buffer || size <= 0)
        return 0;
    Control *control = controlOf(dialog, id);
    std::u16string text = control ? control->item.text : std::u16string();
    size_t count = std::min(text.size(), size_t(size - 1));
    text.copy(buffer, count);
    buffer[count] = 0;
    return UINT(count);
}

UINT WINAPI GetDlgItemTextA(HWND dialog, int id, LPSTR buffer, int size) {
    if (!buffer || size <= 0)
        return 0;
    Control *control = controlOf(dialog, id);
    std::string text;
    if (control && !control->item.text.empty()) {
        LPCWSTR wide = control->item.text.c_str();
        text.resize(WideCharToMultiByte(CP_ACP, 0, wide, -1, NULL, 0, NULL, NULL));
        WideCharToMultiByte(CP_ACP, 0, wide, -1, text.data(), int(text.size()), NULL, NULL);
        text.resize(text.empty() ? 0 : text.size() - 1);
    }
    size_t count = std::min(text.size(), size_t(size - 1));
    text.copy(buffer, count);
    buffer[count] = 0;
    return UINT(count);
}

void tavo_SetDialogDriver(TAVO_DIALOGDRIVER driver, void *user) {
    std::lock_guard<std::mutex> hold(registryLock);
    dialogDriver = driver;
    dialogDriverUser = driver ? user : nullptr;
}

LPCWSTR tavo_DialogCaption(HWND handle) {
    Dialog *dialog = dialogOf(handle);
    return dialog ? dialog->form.caption.c_str() : nullptr;
}

int tavo_DialogControls(HWND handle, TAVO_DIALOGCONTROL *controls, int room) {
    Dialog *dialog = dialogOf(handle);
    if (!dialog)
        return -1;
    int count = int(dialog->controls.size());
    for (int i = 0; i < count && i < room && controls; ++i) {
        const Control &control = dialog->controls[i];
        controls[i] = {control.item.id,
                       control.item.style,
                       control.item.className.c_str(),
                       control.item.hasOrdinal ? nullptr : control.item.text.c_str(),
                       control.item.textOrdinal,
                       control.check};
    }
    return count;
}

BOOL tavo_PressDialogButton(HWND handle, int id) {
    Dialog *dialog = dialogOf(handle);
    Control *control = controlOf(handle, id);
    if (!dialog || !control || dialog->ended)
        return FALSE;
    clickButton(*control);
    dialog->procedure(handle, WM_COMMAND, MAKEWPARAM(WORD(id), BN_CLICKED),
                      LPARAM(handleOf(control)));
    return TRUE;
}
