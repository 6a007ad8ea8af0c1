// Dialogs (USER32).
#ifndef TAVO_POSIX_WIN32_DIALOGS_H
#define TAVO_POSIX_WIN32_DIALOGS_H

#include "platform/posix/win32/base.h"

// ---- Dialogs -----------------------------------------------------------
// Modal dialogs built from a module's RT_DIALOG resource (the extended
// template). There is no screen: once the procedure has seen
// WM_INITDIALOG, the driver the host registered (platform/posix/
// dialog_host.h) works the controls; a dialog still open after that, or
// with no driver at all, is cancelled as the Escape key would.

typedef INT_PTR(CALLBACK *DLGPROC)(HWND, UINT, WPARAM, LPARAM);

#define WM_INITDIALOG 0x0110
#define WM_COMMAND 0x0111

#define MAKEWPARAM(l, h) ((WPARAM)(DWORD)MAKELONG(l, h))

#define IDOK 1
#define IDCANCEL 2

#define BN_CLICKED 0

#define BS_PUSHBUTTON 0x0000
#define BS_DEFPUSHBUTTON 0x0001
#define BS_CHECKBOX 0x0002
#define BS_AUTOCHECKBOX 0x0003
#define BS_RADIOBUTTON 0x0004
#define BS_3STATE 0x0005
#define BS_AUTO3STATE 0x0006
#define BS_AUTORADIOBUTTON 0x0009
#define BS_TYPEMASK 0x000F

#define BST_UNCHECKED 0x0000
#define BST_CHECKED 0x0001
#define BST_INDETERMINATE 0x0002

#define DS_SETFONT 0x0040
#define DS_SHELLFONT 0x0048

#define ERROR_INVALID_WINDOW_HANDLE 1400L
#define ERROR_CONTROL_ID_NOT_FOUND 1421L

INT_PTR WINAPI DialogBoxParamA(HINSTANCE instance, LPCSTR name, HWND owner, DLGPROC procedure,
                               LPARAM param);
INT_PTR WINAPI DialogBoxParamW(HINSTANCE instance, LPCWSTR name, HWND owner, DLGPROC procedure,
                               LPARAM param);
BOOL WINAPI EndDialog(HWND dialog, INT_PTR result);
HWND WINAPI GetDlgItem(HWND dialog, int id);
BOOL WINAPI CheckDlgButton(HWND dialog, int id, UINT check);
UINT WINAPI IsDlgButtonChecked(HWND dialog, int id);
UINT WINAPI GetDlgItemTextA(HWND dialog, int id, LPSTR buffer, int size);
UINT WINAPI GetDlgItemTextW(HWND dialog, int id, LPWSTR buffer, int size);

#define DialogBoxParam TAVO_AW(DialogBoxParam)
#define GetDlgItemText TAVO_AW(GetDlgItemText)

#endif
