// What the host program learns of a modal dialog and how it works one.
// There is no screen: when a dialog has seen WM_INITDIALOG, the driver the
// host registered is called with it once; the driver reads the controls,
// ticks boxes and presses buttons. A dialog still open when the driver
// returns, or shown with no driver registered, is cancelled (IDCANCEL
// sent to its procedure, as the Escape key would).
#ifndef TAVO_POSIX_DIALOG_HOST_H
#define TAVO_POSIX_DIALOG_HOST_H

#include "platform/platform.h"

typedef void (*TAVO_DIALOGDRIVER)(void *user, HWND dialog);

// One control of a dialog, for showing it as text. text is null when the
// template names a resource instead (an icon): textOrdinal then holds it.
typedef struct tagTAVO_DIALOGCONTROL {
    int id;
    DWORD style;
    LPCWSTR className; // "Button", "Static", ... or the template's class name
    LPCWSTR text;
    WORD textOrdinal;
    UINT check; // BST_*; BST_UNCHECKED for controls that aren't buttons
} TAVO_DIALOGCONTROL;

// Replaces the driver (null removes it). user is passed back to it.
void tavo_SetDialogDriver(TAVO_DIALOGDRIVER driver, void *user);

// The caption of an open dialog, or null. Valid while the dialog is open.
LPCWSTR tavo_DialogCaption(HWND dialog);

// Copies up to room controls of an open dialog in template order and
// returns how many it has (-1 for no open dialog). The texts stay valid
// while the dialog is open.
int tavo_DialogControls(HWND dialog, TAVO_DIALOGCONTROL *controls, int room);

// Clicks control id: an automatic check box or radio button changes its
// state first, then the procedure gets WM_COMMAND with BN_CLICKED. FALSE
// when the dialog has ended or has no such control.
BOOL tavo_PressDialogButton(HWND dialog, int id);

#endif
