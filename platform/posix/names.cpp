// Conversion of file names through the code page functions.
#include "platform/posix/names.h"

namespace posix {

namespace {

bool isHighSurrogate(WCHAR c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool isLowSurrogate(WCHAR c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// A surrogate without its partner has no UTF-8 form.
bool hasLoneSurrogate(const std::u16string &text) {
    for (size_t i = 0; i < text.size(); ++i) {
        if (isHighSurrogate(text[i]) && i + 1 < text.size() && isLowSurrogate(text[i + 1]))
            ++i;
        else if (isHighSurrogate(text[i]) || isLowSurrogate(text[i]))
            return true;
    }
    return false;
}

std::u16string wideFromBytes(UINT codePage, DWORD flags, const std::string &text) {
    if (text.empty())
        return {};
    int length = MultiByteToWideChar(codePage, flags, text.data(), int(text.size()), nullptr, 0);
    std::u16string wide(length > 0 ? length : 0, u'\0');
    if (length > 0)
        MultiByteToWideChar(codePage, flags, text.data(), int(text.size()), wide.data(), length);
    return wide;
}

std::string bytesFromWide(UINT codePage, const std::u16string &wide) {
    if (wide.empty())
        return {};
    int length = WideCharToMultiByte(codePage, 0, wide.data(), int(wide.size()), nullptr, 0,
                                     nullptr, nullptr);
    std::string text(length > 0 ? length : 0, '\0');
    if (length > 0)
        WideCharToMultiByte(codePage, 0, wide.data(), int(wide.size()), text.data(), length,
                            nullptr, nullptr);
    return text;
}

// A backslash separates folders on Windows as a slash does; it is turned
// into a slash after decoding, where no Big5 trail byte can be mistaken
// for one.
bool fileNameFromWide(std::u16string wide, std::string &fileName) {
    if (hasLoneSurrogate(wide)) {
        SetLastError(ERROR_INVALID_NAME);
        return false;
    }
    for (char16_t &c : wide)
        if (c == u'\\')
            c = u'/';
    fileName = bytesFromWide(CP_UTF8, wide);
    return true;
}

} // namespace

bool fileNameFromA(LPCSTR name, std::string &fileName) {
    if (!name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    std::string ansi(name);
    std::u16string wide = wideFromBytes(CP_ACP, MB_ERR_INVALID_CHARS, ansi);
    if (wide.empty() && !ansi.empty()) {
        SetLastError(ERROR_INVALID_NAME);
        return false;
    }
    return fileNameFromWide(wide, fileName);
}

bool fileNameFromW(LPCWSTR name, std::string &fileName) {
    if (!name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    return fileNameFromWide(std::u16string(name), fileName);
}

std::u16string wideFromFileName(const std::string &fileName) {
    return wideFromBytes(CP_UTF8, 0, fileName);
}

std::string ansiFromFileName(const std::string &fileName) {
    return bytesFromWide(CP_ACP, wideFromFileName(fileName));
}

} // namespace posix
