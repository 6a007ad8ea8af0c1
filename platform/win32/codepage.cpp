// Code page 950 conversion on Windows through the project's Big5-HKSCS
// table, so that it converts as on every other platform; every other code
// page is Windows' own.
#define TAVO_WIN32_DIRECT
#include "platform/platform.h"
#include "platform/cp950/convert.h"
#include "platform/cp950/cp950.h"

namespace {

constexpr UINT kBig5CodePage = 950;

} // namespace

int WINAPI tavo_MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR source, int sourceLength,
                                    LPWSTR target, int targetLength) {
    if (codePage != kBig5CodePage)
        return MultiByteToWideChar(codePage, flags, source, sourceLength, target, targetLength);
    return cp950_toWide(Cp950Encoding::big5, flags, source, sourceLength, target, targetLength);
}

int WINAPI tavo_WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR source, int sourceLength,
                                    LPSTR target, int targetLength, LPCSTR defaultChar,
                                    LPBOOL usedDefaultChar) {
    if (codePage != kBig5CodePage)
        return WideCharToMultiByte(codePage, flags, source, sourceLength, target, targetLength,
                                   defaultChar, usedDefaultChar);
    return cp950_fromWide(Cp950Encoding::big5, flags, source, sourceLength, target, targetLength,
                          defaultChar, usedDefaultChar);
}

BOOL WINAPI tavo_IsDBCSLeadByteEx(UINT codePage, BYTE testChar) {
    if (codePage != kBig5CodePage)
        return IsDBCSLeadByteEx(codePage, testChar);
    return cp950_isLeadByte(testChar);
}
