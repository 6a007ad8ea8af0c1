// Opening the files named on a tool's command line.
#include "tools/common/tool_files.h"

std::basic_string<WCHAR> toolWidePath(const std::string &path) {
    std::basic_string<WCHAR> wide;
    if (path.empty())
        return wide;
    int length = MultiByteToWideChar(CP_UTF8, 0, path.data(), (int)path.size(), NULL, 0);
    wide.resize(length);
    MultiByteToWideChar(CP_UTF8, 0, path.data(), (int)path.size(), wide.data(), length);
    return wide;
}

HANDLE toolOpenForReading(const std::string &path) {
    return CreateFileW(toolWidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, NULL,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
}

std::string toolLastError() {
    switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return "no such file";
    case ERROR_ACCESS_DENIED:
        return "access denied";
    case ERROR_SHARING_VIOLATION:
        return "in use by another program";
    default:
        return "error " + std::to_string(GetLastError());
    }
}

bool toolReadFile(const std::string &path, std::string &contents, std::string &error) {
    HANDLE file = toolOpenForReading(path);
    if (file == INVALID_HANDLE_VALUE) {
        error = "cannot open: " + toolLastError();
        return false;
    }
    contents.clear();
    char buffer[65536];
    DWORD read = 0;
    BOOL ok;
    while ((ok = ReadFile(file, buffer, sizeof(buffer), &read, NULL)) && read > 0)
        contents.append(buffer, read);
    if (!ok)
        error = "cannot read: " + toolLastError();
    CloseHandle(file);
    return ok;
}
