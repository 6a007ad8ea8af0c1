// The registry calls, over HKEY_CURRENT_USER alone (the other roots have
// nothing: opening under them finds nothing and writing is refused). Key
// and value names compare without regard to ASCII case. An HKEY is the
// address of the open key's path, kept in a table of open keys so that a
// closed or made-up key is refused. String data is kept in UTF-16, as on
// Windows, and the ANSI calls convert it from and to code page 950.
#include "platform/posix/registry_store.h"

#include <cstring>
#include <memory>
#include <unordered_map>

namespace {

using posix::foldName;
using posix::RegistryTree;

struct OpenKeys {
    std::mutex lock;
    std::unordered_map<HKEY, std::unique_ptr<std::string>> paths;
};

OpenKeys &openKeys() {
    static OpenKeys *instance = new OpenKeys;
    return *instance;
}

// The predefined keys other than HKEY_CURRENT_USER: every value of the
// form HKEY_CLASSES_ROOT + n, n below 256.
bool isOtherRoot(HKEY key) {
    return key != HKEY_CURRENT_USER &&
           (reinterpret_cast<ULONG_PTR>(key) & ~ULONG_PTR{0xFF}) ==
               (reinterpret_cast<ULONG_PTR>(HKEY_CLASSES_ROOT) & ~ULONG_PTR{0xFF});
}

// The path of an open key (or of HKEY_CURRENT_USER, the empty path).
// otherRoot is returned for the other roots, ERROR_INVALID_HANDLE for a
// key that is not open.
LONG pathOf(HKEY key, std::string &path, LONG otherRoot) {
    if (key == HKEY_CURRENT_USER) {
        path.clear();
        return ERROR_SUCCESS;
    }
    if (isOtherRoot(key))
        return otherRoot;
    OpenKeys &keys = openKeys();
    std::lock_guard guard(keys.lock);
    auto found = keys.paths.find(key);
    if (found == keys.paths.end())
        return ERROR_INVALID_HANDLE;
    path = *found->second;
    return ERROR_SUCCESS;
}

// base and the components of a relative path, joined by backslashes;
// empty components are dropped.
std::string joinPath(std::string path, const std::string &relative) {
    size_t start = 0;
    while (start <= relative.size()) {
        size_t end = relative.find('\\', start);
        if (end == std::string::npos)
            end = relative.size();
        if (end > start)
            path += (path.empty() ? "" : "\\") + relative.substr(start, end - start);
        start = end + 1;
    }
    return path;
}

bool keyExists(const RegistryTree &tree, const std::string &path) {
    return path.empty() || tree.count(foldName(path));
}

// Adds path and every key above it.
LONG addKeys(RegistryTree &tree, const std::string &path) {
    for (size_t end = 0; end != std::string::npos;) {
        end = path.find('\\', end + 1);
        std::string prefix = path.substr(0, end);
        posix::RegistryKey &key = tree[foldName(prefix)];
        if (key.path.empty())
            key.path = prefix;
    }
    return ERROR_SUCCESS;
}

HKEY registerKey(const std::string &path) {
    auto owned = std::make_unique<std::string>(path);
    auto key = reinterpret_cast<HKEY>(owned.get());
    OpenKeys &keys = openKeys();
    std::lock_guard guard(keys.lock);
    keys.paths.emplace(key, std::move(owned));
    return key;
}

LONG openKey(HKEY parent, const std::string &relative, bool create, PHKEY result,
             LPDWORD disposition) {
    if (!result)
        return ERROR_INVALID_PARAMETER;
    std::string path;
    LONG error = pathOf(parent, path, create ? ERROR_ACCESS_DENIED : ERROR_FILE_NOT_FOUND);
    if (error != ERROR_SUCCESS)
        return error;
    path = joinPath(path, relative);
    auto guard = posix::lockRegistry();
    bool exists = keyExists(posix::currentRegistry(), path);
    if (!exists && !create)
        return ERROR_FILE_NOT_FOUND;
    if (!exists) {
        error = posix::changeRegistry([&](RegistryTree &tree) { return addKeys(tree, path); });
        if (error != ERROR_SUCCESS)
            return error;
    }
    if (disposition)
        *disposition = exists ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
    *result = registerKey(path);
    return ERROR_SUCCESS;
}

bool isString(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// String data between code page 950 bytes and UTF-16 bytes.
std::vector<BYTE> wideFromAnsi(const BYTE *data, DWORD bytes) {
    auto *text = reinterpret_cast<LPCSTR>(data);
    int units =
        bytes ? MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(bytes), nullptr, 0) : 0;
    std::u16string wide(units > 0 ? units : 0, u'\0');
    if (units > 0)
        MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(bytes), wide.data(), units);
    const auto *begin = reinterpret_cast<const BYTE *>(wide.data());
    return std::vector<BYTE>(begin, begin + wide.size() * sizeof(WCHAR));
}

// A last odd byte is taken as a unit of its own, so that no byte is lost.
std::vector<BYTE> ansiFromWide(const std::vector<BYTE> &data) {
    std::u16string wide((data.size() + 1) / sizeof(WCHAR), u'\0');
    if (!data.empty())
        std::memcpy(wide.data(), data.data(), data.size());
    int units = static_cast<int>(wide.size());
    int bytes =
        units ? WideCharToMultiByte(CP_ACP, 0, wide.data(), units, nullptr, 0, nullptr, nullptr)
              : 0;
    std::vector<BYTE> ansi(bytes > 0 ? bytes : 0);
    if (bytes > 0)
        WideCharToMultiByte(CP_ACP, 0, wide.data(), units, reinterpret_cast<LPSTR>(ansi.data()),
                            bytes, nullptr, nullptr);
    return ansi;
}

// A copy of a value; ERROR_FILE_NOT_FOUND when there is none.
LONG findValue(const std::string &path, const std::string &name, posix::RegistryValue &value) {
    auto guard = posix::lockRegistry();
    const RegistryTree &tree = posix::currentRegistry();
    auto key = tree.find(foldName(path));
    if (key == tree.end())
        return ERROR_FILE_NOT_FOUND;
    auto found = key->second.values.find(foldName(name));
    if (found == key->second.values.end())
        return ERROR_FILE_NOT_FOUND;
    value = found->second;
    return ERROR_SUCCESS;
}

LONG queryValue(HKEY key, const std::string &name, LPDWORD type, LPBYTE data, LPDWORD bytes,
                bool wide) {
    if (data && !bytes)
        return ERROR_INVALID_PARAMETER;
    std::string path;
    posix::RegistryValue value;
    LONG error = pathOf(key, path, ERROR_FILE_NOT_FOUND);
    if (error == ERROR_SUCCESS)
        error = findValue(path, name, value);
    if (error != ERROR_SUCCESS)
        return error;
    if (!wide && isString(value.type))
        value.data = ansiFromWide(value.data);
    if (type)
        *type = value.type;
    if (!bytes)
        return ERROR_SUCCESS;
    DWORD size = static_cast<DWORD>(value.data.size());
    bool fits = *bytes >= size;
    *bytes = size;
    if (!data)
        return ERROR_SUCCESS;
    if (!fits)
        return ERROR_MORE_DATA;
    if (size)
        std::memcpy(data, value.data.data(), size);
    return ERROR_SUCCESS;
}

LONG setValue(HKEY key, const std::string &name, DWORD type, const BYTE *data, DWORD bytes,
              bool wide) {
    if (!data && bytes)
        return ERROR_INVALID_PARAMETER;
    std::string path;
    LONG error = pathOf(key, path, ERROR_ACCESS_DENIED);
    if (error != ERROR_SUCCESS)
        return error;
    posix::RegistryValue value;
    value.name = name;
    value.type = type;
    if (!wide && isString(type))
        value.data = wideFromAnsi(data, bytes);
    else if (bytes)
        value.data.assign(data, data + bytes);
    auto guard = posix::lockRegistry();
    return posix::changeRegistry([&](RegistryTree &tree) {
        // A key removed from the file meanwhile is made again.
        addKeys(tree, path);
        tree[foldName(path)].values[foldName(name)] = value;
        return ERROR_SUCCESS;
    });
}

LONG deleteValue(HKEY key, const std::string &name) {
    std::string path;
    LONG error = pathOf(key, path, ERROR_ACCESS_DENIED);
    if (error != ERROR_SUCCESS)
        return error;
    auto guard = posix::lockRegistry();
    return posix::changeRegistry([&](RegistryTree &tree) -> LONG {
        auto found = tree.find(foldName(path));
        if (found == tree.end() || !found->second.values.erase(foldName(name)))
            return ERROR_FILE_NOT_FOUND;
        return ERROR_SUCCESS;
    });
}

// A wide name in UTF-8; false when it is not valid UTF-16.
bool utf8FromWide(LPCWSTR name, int units, std::string &out) {
    int bytes = units ? WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, name, units, nullptr, 0,
                                            nullptr, nullptr)
                      : 0;
    if (units && bytes <= 0)
        return false;
    out.assign(bytes, '\0');
    if (bytes)
        WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, name, units, out.data(), bytes, nullptr,
                            nullptr);
    return true;
}

// A name in UTF-8; a null name is the empty one (the key's default
// value, or the key itself). False for a name that does not convert.
bool utf8Name(LPCWSTR name, std::string &out) {
    out.clear();
    return !name || utf8FromWide(name, lstrlenW(name), out);
}

bool utf8Name(LPCSTR name, std::string &out) {
    out.clear();
    if (!name || !*name)
        return true;
    int units = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, name, -1, nullptr, 0);
    if (units <= 0)
        return false;
    std::u16string wide(units, u'\0');
    MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, name, -1, wide.data(), units);
    return utf8FromWide(wide.data(), units - 1, out);
}

template <class Char>
LONG createKey(HKEY key, const Char *subKey, PHKEY result, LPDWORD disposition) {
    std::string relative;
    if (!subKey || !utf8Name(subKey, relative))
        return ERROR_INVALID_PARAMETER;
    return openKey(key, relative, true, result, disposition);
}

template <class Char> LONG openExisting(HKEY key, const Char *subKey, PHKEY result) {
    std::string relative;
    if (!utf8Name(subKey, relative))
        return ERROR_INVALID_PARAMETER;
    return openKey(key, relative, false, result, nullptr);
}

template <class Char>
LONG queryNamed(HKEY key, const Char *name, LPDWORD type, LPBYTE data, LPDWORD bytes) {
    std::string utf8;
    if (!utf8Name(name, utf8))
        return ERROR_FILE_NOT_FOUND;
    return queryValue(key, utf8, type, data, bytes, sizeof(Char) == 2);
}

template <class Char>
LONG setNamed(HKEY key, const Char *name, DWORD type, const BYTE *data, DWORD bytes) {
    std::string utf8;
    if (!utf8Name(name, utf8))
        return ERROR_INVALID_PARAMETER;
    return setValue(key, utf8, type, data, bytes, sizeof(Char) == 2);
}

template <class Char> LONG deleteNamed(HKEY key, const Char *name) {
    std::string utf8;
    if (!utf8Name(name, utf8))
        return ERROR_FILE_NOT_FOUND;
    return deleteValue(key, utf8);
}

} // namespace

LONG WINAPI RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD, LPSTR, DWORD, REGSAM,
                            LPSECURITY_ATTRIBUTES, PHKEY result, LPDWORD disposition) {
    return createKey(key, subKey, result, disposition);
}

LONG WINAPI RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD, LPWSTR, DWORD, REGSAM,
                            LPSECURITY_ATTRIBUTES, PHKEY result, LPDWORD disposition) {
    return createKey(key, subKey, result, disposition);
}

LONG WINAPI RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD, REGSAM, PHKEY result) {
    return openExisting(key, subKey, result);
}

LONG WINAPI RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD, REGSAM, PHKEY result) {
    return openExisting(key, subKey, result);
}

LONG WINAPI RegCloseKey(HKEY key) {
    if (key == HKEY_CURRENT_USER || isOtherRoot(key))
        return ERROR_SUCCESS;
    std::unique_ptr<std::string> closing;
    OpenKeys &keys = openKeys();
    std::lock_guard guard(keys.lock);
    auto found = keys.paths.find(key);
    if (found == keys.paths.end())
        return ERROR_INVALID_HANDLE;
    closing = std::move(found->second);
    keys.paths.erase(found);
    return ERROR_SUCCESS;
}

LONG WINAPI RegQueryValueExA(HKEY key, LPCSTR name, LPDWORD, LPDWORD type, LPBYTE data,
                             LPDWORD bytes) {
    return queryNamed(key, name, type, data, bytes);
}

LONG WINAPI RegQueryValueExW(HKEY key, LPCWSTR name, LPDWORD, LPDWORD type, LPBYTE data,
                             LPDWORD bytes) {
    return queryNamed(key, name, type, data, bytes);
}

LONG WINAPI RegSetValueExA(HKEY key, LPCSTR name, DWORD, DWORD type, const BYTE *data,
                           DWORD bytes) {
    return setNamed(key, name, type, data, bytes);
}

LONG WINAPI RegSetValueExW(HKEY key, LPCWSTR name, DWORD, DWORD type, const BYTE *data,
                           DWORD bytes) {
    return setNamed(key, name, type, data, bytes);
}

LONG WINAPI RegDeleteValueA(HKEY key, LPCSTR name) {
    return deleteNamed(key, name);
}

LONG WINAPI RegDeleteValueW(HKEY key, LPCWSTR name) {
    return deleteNamed(key, name);
}
