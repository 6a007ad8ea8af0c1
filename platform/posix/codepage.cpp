// MultiByteToWideChar, WideCharToMultiByte and the lead-byte tests for
// the code pages the system uses: 950 (which is also the ANSI and OEM code
// page, as on a Hong Kong Windows) and UTF-8 (see platform/cp950/convert.h).
#include "platform/platform.h"
#include "platform/cp950/convert.h"
#include "platform/cp950/cp950.h"

namespace {

enum CodePageKind { kNoCodePage, kBig5, kUtf8 };

CodePageKind kindOf(UINT codePage) {
    switch (codePage) {
    case 950:
    case CP_ACP:
    case CP_OEMCP:
        return kBig5;
    case CP_UTF8:
        return kUtf8;
    default:
        return kNoCodePage;
    }
}

Cp950Encoding encodingOf(CodePageKind kind) {
    return kind == kUtf8 ? Cp950Encoding::utf8 : Cp950Encoding::big5;
}

} // namespace

int WINAPI MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR source, int sourceLength,
                               LPWSTR target, int targetLength) {
    CodePageKind kind = kindOf(codePage);
    if (kind == kNoCodePage) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return cp950_toWide(encodingOf(kind), flags, source, sourceLength, target, targetLength);
}

int WINAPI WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR source, int sourceLength,
                               LPSTR target, int targetLength, LPCSTR defaultChar,
                               LPBOOL usedDefaultChar) {
    CodePageKind kind = kindOf(codePage);
    if (kind == kNoCodePage) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return cp950_fromWide(encodingOf(kind), flags, source, sourceLength, target, targetLength,
                          defaultChar, usedDefaultChar);
}

BOOL WINAPI IsDBCSLeadByteEx(UINT codePage, BYTE testChar) {
    switch (kindOf(codePage)) {
    case kBig5:
        return cp950_isLeadByte(testChar);
    case kUtf8:
        return FALSE;
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
}

BOOL WINAPI IsDBCSLeadByte(BYTE testChar) {
    return IsDBCSLeadByteEx(CP_ACP, testChar);
}
