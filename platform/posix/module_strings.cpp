// LoadString: a string from a module's string table. Windows keeps the
// strings in blocks of sixteen, block (id / 16) + 1 holding ids with the
// same id / 16, each string a length followed by that many UTF-16 units
// and no terminator.
#include "platform/posix/errors.h"

#include <algorithm>
#include <string>

namespace {

constexpr UINT kStringsPerBlock = 16;
constexpr UINT kCodePage = 950;

// The string's units and length; false when the module has no such
// string (an empty string is found, with length 0).
bool findString(HINSTANCE instance, UINT id, const WCHAR *&text, int &length) {
    WORD block = WORD((LOWORD(id) / kStringsPerBlock) + 1);
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(block), MAKEINTRESOURCEW(6));
    if (!found)
        return false;
    auto units = static_cast<const WCHAR *>(LockResource(LoadResource(instance, found)));
    if (!units)
        return false;
    const WCHAR *end = units + SizeofResource(instance, found) / sizeof(WCHAR);
    for (UINT skip = LOWORD(id) % kStringsPerBlock; skip > 0 && units < end; --skip)
        units += 1 + *units;
    // A block that ends early holds no more strings.
    if (units >= end || units + 1 + *units > end)
        return posix::failWith(ERROR_RESOURCE_NAME_NOT_FOUND);
    text = units + 1;
    length = *units;
    return true;
}

bool isHighSurrogate(WCHAR unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

// How many leading bytes of Big5 text fit in room bytes without cutting
// a character in two.
size_t wholeCharacters(const std::string &text, size_t room) {
    size_t end = 0;
    while (end < text.size()) {
        size_t next = end + (IsDBCSLeadByteEx(kCodePage, BYTE(text[end])) ? 2 : 1);
        if (next > room || next > text.size())
            break;
        end = next;
    }
    return end;
}

} // namespace

// A size of 0 asks for the address of the string itself (read-only, not
// terminated) in *buffer, and its length.
int WINAPI LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int size) {
    if (!buffer || size < 0)
        return posix::failing(0, ERROR_INVALID_PARAMETER);
    const WCHAR *text = nullptr;
    int length = 0;
    bool found = findString(instance, id, text, length);
    if (size == 0) {
        if (found)
            *reinterpret_cast<const WCHAR **>(buffer) = text;
        return found ? length : 0;
    }
    int copied = found ? std::min(length, size - 1) : 0;
    // Never half of a surrogate pair.
    if (copied > 0 && copied < length && isHighSurrogate(text[copied - 1]))
        --copied;
    std::char_traits<WCHAR>::copy(buffer, text, size_t(copied));
    buffer[copied] = 0;
    return copied;
}

// The string in code page 950, cut to the buffer at a character's end.
int WINAPI LoadStringA(HINSTANCE instance, UINT id, LPSTR buffer, int size) {
    if (!buffer || size <= 0)
        return posix::failing(0, ERROR_INVALID_PARAMETER);
    const WCHAR *text = nullptr;
    int length = 0;
    std::string ansi;
    if (findString(instance, id, text, length) && length > 0) {
        int bytes = WideCharToMultiByte(kCodePage, 0, text, length, nullptr, 0, nullptr, nullptr);
        ansi.resize(size_t(std::max(bytes, 0)));
        if (bytes > 0)
            WideCharToMultiByte(kCodePage, 0, text, length, ansi.data(), bytes, nullptr, nullptr);
    }
    size_t copied = wholeCharacters(ansi, size_t(size - 1));
    ansi.copy(buffer, copied);
    buffer[copied] = '\0';
    return int(copied);
}
