// Files named on the command line, opened through the platform layer.
#ifndef TAVO_TOOLS_TOOL_FILES_H
#define TAVO_TOOLS_TOOL_FILES_H

#include <string>

#include "platform/platform.h"

// A UTF-8 file name as the wide name that CreateFileW takes.
std::basic_string<WCHAR> toolWidePath(const std::string &path);

// Opens an existing file for reading, shared with other readers.
HANDLE toolOpenForReading(const std::string &path);

// Reads a whole file; on failure returns false with error saying why.
bool toolReadFile(const std::string &path, std::string &contents, std::string &error);

// Why the last file operation failed, in words.
std::string toolLastError();

#endif
