// File names between the system's flavours (ANSI = code page 950, wide =
// UTF-16) and the UTF-8 names of the file system.
#ifndef TAVO_POSIX_NAMES_H
#define TAVO_POSIX_NAMES_H

#include "platform/platform.h"

#include <string>

namespace posix {

// The file-system name of an ANSI or wide name. False, with the last
// error set, for a null name or one that has no exact conversion (a
// name is never guessed at: a wrong guess could open another file).
bool fileNameFromA(LPCSTR name, std::string &fileName);
bool fileNameFromW(LPCWSTR name, std::string &fileName);

// A file-system name as the system sees it. Characters without an ANSI
// form become '?', as on Windows.
std::u16string wideFromFileName(const std::string &fileName);
std::string ansiFromFileName(const std::string &fileName);

} // namespace posix

#endif
