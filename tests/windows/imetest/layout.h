// The module's keyboard layout: installing it as the setup program does,
// finding it again, and making it the test thread's layout.
#ifndef TAVO_IMETEST_LAYOUT_H
#define TAVO_IMETEST_LAYOUT_H

#include <windows.h>

#include <string>

namespace imetest {

// ImmInstallIMEW: the layout's identifier (for example "E0200C04") or
// empty with error.
std::wstring installLayout(const std::wstring &imeFile, const std::wstring &text,
                           std::wstring &error);

// The identifier of the installed layout whose input method is imeFile
// (a file name such as "vexa.ime"), or empty.
std::wstring findLayout(const std::wstring &imeFile);

// Loads and activates the layout for this thread; null with error.
HKL activateLayout(const std::wstring &identifier, std::wstring &error);

} // namespace imetest

#endif
