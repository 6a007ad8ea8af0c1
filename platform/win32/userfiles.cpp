// The user's files on Windows. The system keeps its data files in the
// Windows and system directories, which only an administrator may write
// to; a user dictionary compiled there would never be written and the
// user's phrases would be lost without a word. So a file that the system
// opens in either directory lives in the user's own folder, %APPDATA%\Tavo,
// as Windows itself keeps files that older programs write to its folders:
// - opened for writing, or created, it is the user's copy (the folder is
//   made when needed);
// - opened for reading, the user's copy when there is one, else the file
//   in the directory itself (the phrase databases and the voice that the
//   setup installed).
// Everywhere else, and without %APPDATA%, files are Windows' own.
#define TAVO_WIN32_DIRECT
#include "platform/platform.h"

#include <string>

namespace {

constexpr WCHAR kUserFolder[] = L"Tavo";
constexpr DWORD kWriteAccess = GENERIC_WRITE | GENERIC_ALL | FILE_WRITE_DATA | FILE_APPEND_DATA |
                               FILE_WRITE_ATTRIBUTES | FILE_WRITE_EA | DELETE | WRITE_DAC |
                               WRITE_OWNER;

std::wstring fromWindows(UINT(WINAPI *get)(LPWSTR, UINT)) {
    WCHAR path[MAX_PATH];
    UINT length = get(path, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(path, length) : std::wstring();
}

std::wstring userFolder() {
    WCHAR path[MAX_PATH];
    DWORD length = GetEnvironmentVariableW(L"APPDATA", path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return std::wstring();
    std::wstring folder(path, length);
    if (folder.back() != L'\\')
        folder += L'\\';
    return folder + kUserFolder;
}

bool sameFolder(const std::wstring &a, const std::wstring &b) {
    auto trimmed = [](std::wstring path) {
        while (path.size() > 3 && (path.back() == L'\\' || path.back() == L'/'))
            path.pop_back();
        return path;
    };
    std::wstring x = trimmed(a), y = trimmed(b);
    return !x.empty() && CompareStringOrdinal(x.c_str(), (int)x.size(), y.c_str(), (int)y.size(),
                                              TRUE) == CSTR_EQUAL;
}

// The user's copy of name when name is a file in the Windows or system
// directory; empty otherwise.
std::wstring userCopyOf(LPCWSTR name) {
    WCHAR full[MAX_PATH];
    LPWSTR file = NULL;
    DWORD length = GetFullPathNameW(name, MAX_PATH, full, &file);
    if (length == 0 || length >= MAX_PATH || file == NULL || *file == 0)
        return std::wstring();
    std::wstring folder(full, file - full);
    if (!sameFolder(folder, fromWindows(GetSystemDirectoryW)) &&
        !sameFolder(folder, fromWindows(GetWindowsDirectoryW)))
        return std::wstring();
    std::wstring user = userFolder();
    return user.empty() ? user : user + L'\\' + file;
}

bool writes(DWORD access, DWORD creation) {
    return (access & kWriteAccess) != 0 || creation != OPEN_EXISTING;
}

} // namespace

HANDLE WINAPI tavo_CreateFileW(LPCWSTR name, DWORD access, DWORD share,
                               LPSECURITY_ATTRIBUTES security, DWORD creation, DWORD flags,
                               HANDLE templateFile) {
    std::wstring user = name != NULL ? userCopyOf(name) : std::wstring();
    if (user.empty())
        return CreateFileW(name, access, share, security, creation, flags, templateFile);
    if (writes(access, creation)) {
        CreateDirectoryW(userFolder().c_str(), NULL);
        return CreateFileW(user.c_str(), access, share, security, creation, flags, templateFile);
    }
    HANDLE file = CreateFileW(user.c_str(), access, share, security, creation, flags, templateFile);
    DWORD error = GetLastError();
    if (file != INVALID_HANDLE_VALUE ||
        (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND))
        return file;
    return CreateFileW(name, access, share, security, creation, flags, templateFile);
}

HANDLE WINAPI tavo_CreateFileA(LPCSTR name, DWORD access, DWORD share,
                               LPSECURITY_ATTRIBUTES security, DWORD creation, DWORD flags,
                               HANDLE templateFile) {
    if (name == NULL)
        return CreateFileA(name, access, share, security, creation, flags, templateFile);
    int length = MultiByteToWideChar(CP_ACP, 0, name, -1, NULL, 0);
    if (length <= 0)
        return CreateFileA(name, access, share, security, creation, flags, templateFile);
    std::wstring wide(length, L'\0');
    MultiByteToWideChar(CP_ACP, 0, name, -1, wide.data(), length);
    return tavo_CreateFileW(wide.c_str(), access, share, security, creation, flags, templateFile);
}
