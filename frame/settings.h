// The seven user settings, kept in the registry under the module's UI
// class name and held in globData.
#ifndef TAVO_FRAME_SETTINGS_H
#define TAVO_FRAME_SETTINGS_H

#include "platform/platform.h"

#define SETTINGS_KEY TEXT("Software\\Microsoft\\Windows\\CurrentVersion")
#define IDD_SETTINGS 256
#define IDC_FIRST_SETTING 256 // check box 256 + n: the (n + 1)-th setting

void LoadUserSettings(void);
void SaveUserSettings(void);
DWORD LoadDWordSetting(HKEY key, LPCTSTR name, DWORD defaultValue);
INT_PTR CALLBACK ConfigDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

#endif
