// MultiByteToWideChar and WideCharToMultiByte with Windows' conventions
// (arguments, flags, sizes, errors) for code page 950 as this system means
// it and for UTF-8. Every platform converts through these.
// Nothing here locks or allocates: conversion runs for every typed key.
#include "platform/cp950/convert.h"
#include "platform/cp950/cp950.h"

#include <climits>
#include <cstring>
#include <string>

namespace {

// MB_PRECOMPOSED, MB_COMPOSITE, MB_USEGLYPHCHARS, MB_ERR_INVALID_CHARS.
constexpr DWORD kBig5ToWideFlags = 0x0000000F;
// WC_DISCARDNS, WC_SEPCHARS, WC_DEFAULTCHAR, WC_COMPOSITECHECK, WC_NO_BEST_FIT_CHARS.
constexpr DWORD kWideToBig5Flags = 0x00000670;

constexpr DWORD kInvalid = 0xFFFFFFFF; // a sequence that is no character
constexpr DWORD kReplacement = 0xFFFD; // what UTF-8 makes of one
constexpr BYTE kBig5Default = '?';     // an unknown Big5 character
constexpr DWORD kBig5DefaultWide = kBig5Default;

enum Outcome { kDone, kNoRoom, kUntranslatable };

// Stores units while there is room and counts them all; with no buffer it
// only counts, which is how callers learn the size they need.
template <typename Unit> struct Sink {
    Unit *target;
    int capacity;
    long long count;

    bool put(DWORD unit) {
        if (target) {
            if (count >= capacity)
                return false;
            target[count] = (Unit)unit;
        }
        count++;
        return true;
    }
};

typedef Sink<WCHAR> WideSink;
typedef Sink<CHAR> ByteSink;

int fail(DWORD error) {
    SetLastError(error);
    return 0;
}

int finish(Outcome outcome, long long count) {
    if (outcome == kUntranslatable)
        return fail(ERROR_NO_UNICODE_TRANSLATION);
    if (outcome == kNoRoom || count > INT_MAX)
        return fail(ERROR_INSUFFICIENT_BUFFER);
    return (int)count;
}

// ---- Into UTF-16 -------------------------------------------------------

bool putUtf16(WideSink &out, DWORD codePoint) {
    if (codePoint <= 0xFFFF)
        return out.put(codePoint);
    codePoint -= 0x10000;
    return out.put(0xD800 + (codePoint >> 10)) && out.put(0xDC00 + (codePoint & 0x3FF));
}

Outcome big5ToWide(const BYTE *source, int length, bool strict, WideSink &out) {
    for (int i = 0; i < length;) {
        if (source[i] < 0x80) {
            if (!out.put(source[i++]))
                return kNoRoom;
            continue;
        }
        DWORD codePoints[2];
        int consumed;
        int count = cp950_decode(source + i, length - i, codePoints, &consumed);
        i += consumed;
        if (count == 0) {
            if (strict)
                return kUntranslatable;
            codePoints[0] = kBig5DefaultWide;
            count = 1;
        }
        for (int k = 0; k < count; k++)
            if (!putUtf16(out, codePoints[k]))
                return kNoRoom;
    }
    return kDone;
}

// Reads one UTF-8 character and returns the bytes it took. A malformed
// sequence reads as kInvalid and takes its longest well-formed prefix, or
// one byte, so that each fault becomes one replacement character.
int readUtf8(const BYTE *source, int length, DWORD *codePoint) {
    BYTE first = source[0];
    int needed;
    BYTE low = 0x80, high = 0xBF;
    if (first < 0x80) {
        *codePoint = first;
        return 1;
    } else if (first >= 0xC2 && first <= 0xDF) {
        needed = 1;
    } else if (first >= 0xE0 && first <= 0xEF) {
        needed = 2;
        low = first == 0xE0 ? 0xA0 : 0x80;  // no overlong forms
        high = first == 0xED ? 0x9F : 0xBF; // no surrogates
    } else if (first >= 0xF0 && first <= 0xF4) {
        needed = 3;
        low = first == 0xF0 ? 0x90 : 0x80;  // no overlong forms
        high = first == 0xF4 ? 0x8F : 0xBF; // nothing above U+10FFFF
    } else {
        *codePoint = kInvalid;
        return 1;
    }
    DWORD value = first & (0x3F >> needed);
    for (int i = 1; i <= needed; i++) {
        if (i >= length || source[i] < low || source[i] > high) {
            *codePoint = kInvalid;
            return i;
        }
        value = value << 6 | (source[i] & 0x3F);
        low = 0x80;
        high = 0xBF;
    }
    *codePoint = value;
    return needed + 1;
}

Outcome utf8ToWide(const BYTE *source, int length, bool strict, WideSink &out) {
    for (int i = 0; i < length;) {
        DWORD codePoint;
        i += readUtf8(source + i, length - i, &codePoint);
        if (codePoint == kInvalid) {
            if (strict)
                return kUntranslatable;
            codePoint = kReplacement;
        }
        if (!putUtf16(out, codePoint))
            return kNoRoom;
    }
    return kDone;
}

// ---- From UTF-16 -------------------------------------------------------

// Reads one code point, joining a surrogate pair; a lone surrogate reads
// as kInvalid. Returns the units it took.
int readUtf16(const WCHAR *source, int length, DWORD *codePoint) {
    DWORD unit = source[0];
    if (unit < 0xD800 || unit > 0xDFFF) {
        *codePoint = unit;
        return 1;
    }
    if (unit <= 0xDBFF && length > 1 && source[1] >= 0xDC00 && source[1] <= 0xDFFF) {
        *codePoint = 0x10000 + ((unit - 0xD800) << 10) + (source[1] - 0xDC00);
        return 2;
    }
    *codePoint = kInvalid;
    return 1;
}

// The character written for one that code page 950 lacks.
struct DefaultChar {
    BYTE bytes[2];
    int length;
};

DefaultChar defaultCharOf(LPCSTR given) {
    if (!given)
        return DefaultChar{{kBig5Default, 0}, 1};
    BYTE first = (BYTE)given[0];
    if (cp950_isLeadByte(first) && given[1])
        return DefaultChar{{first, (BYTE)given[1]}, 2};
    return DefaultChar{{first, 0}, 1};
}

bool putBytes(ByteSink &out, const BYTE *bytes, int length) {
    for (int i = 0; i < length; i++)
        if (!out.put(bytes[i]))
            return false;
    return true;
}

Outcome wideToBig5(const WCHAR *source, int length, const DefaultChar &fallback, BOOL *usedDefault,
                   ByteSink &out) {
    for (int i = 0; i < length;) {
        if (source[i] < 0x80) {
            if (!out.put(source[i++]))
                return kNoRoom;
            continue;
        }
        DWORD codePoint;
        i += readUtf16(source + i, length - i, &codePoint);
        // Combining marks lie in the BMP, so one unit of look-ahead is enough.
        DWORD next = i < length ? source[i] : 0;
        BYTE bytes[2];
        bool usedNext = false;
        int count = codePoint == kInvalid ? 0 : cp950_encode(codePoint, next, bytes, &usedNext);
        if (usedNext)
            i++;
        if (count == 0) {
            *usedDefault = TRUE;
            if (!putBytes(out, fallback.bytes, fallback.length))
                return kNoRoom;
        } else if (!putBytes(out, bytes, count)) {
            return kNoRoom;
        }
    }
    return kDone;
}

int encodeUtf8(DWORD codePoint, BYTE bytes[4]) {
    if (codePoint < 0x80) {
        bytes[0] = (BYTE)codePoint;
        return 1;
    }
    if (codePoint < 0x800) {
        bytes[0] = (BYTE)(0xC0 | codePoint >> 6);
        bytes[1] = (BYTE)(0x80 | (codePoint & 0x3F));
        return 2;
    }
    if (codePoint < 0x10000) {
        bytes[0] = (BYTE)(0xE0 | codePoint >> 12);
        bytes[1] = (BYTE)(0x80 | (codePoint >> 6 & 0x3F));
        bytes[2] = (BYTE)(0x80 | (codePoint & 0x3F));
        return 3;
    }
    bytes[0] = (BYTE)(0xF0 | codePoint >> 18);
    bytes[1] = (BYTE)(0x80 | (codePoint >> 12 & 0x3F));
    bytes[2] = (BYTE)(0x80 | (codePoint >> 6 & 0x3F));
    bytes[3] = (BYTE)(0x80 | (codePoint & 0x3F));
    return 4;
}

Outcome wideToUtf8(const WCHAR *source, int length, bool strict, ByteSink &out) {
    for (int i = 0; i < length;) {
        DWORD codePoint;
        i += readUtf16(source + i, length - i, &codePoint);
        if (codePoint == kInvalid) {
            if (strict)
                return kUntranslatable;
            codePoint = kReplacement;
        }
        BYTE bytes[4];
        if (!putBytes(out, bytes, encodeUtf8(codePoint, bytes)))
            return kNoRoom;
    }
    return kDone;
}

// ---- Arguments ---------------------------------------------------------

// Windows' checks common to both directions; returns 0 or the error.
DWORD checkBuffers(const void *source, int sourceLength, const void *target, int targetLength) {
    if (!source || sourceLength == 0 || sourceLength < -1 || targetLength < 0 ||
        (targetLength > 0 && !target) || source == target)
        return ERROR_INVALID_PARAMETER;
    return 0;
}

DWORD checkToWideFlags(Cp950Encoding encoding, DWORD flags) {
    DWORD allowed = encoding == Cp950Encoding::utf8 ? MB_ERR_INVALID_CHARS : kBig5ToWideFlags;
    return (flags & ~allowed) ? ERROR_INVALID_FLAGS : 0;
}

DWORD checkToBytesFlags(Cp950Encoding encoding, DWORD flags, LPCSTR defaultChar,
                        LPBOOL usedDefault) {
    if (encoding == Cp950Encoding::utf8 && (defaultChar || usedDefault))
        return ERROR_INVALID_PARAMETER;
    DWORD allowed = encoding == Cp950Encoding::utf8 ? WC_ERR_INVALID_CHARS : kWideToBig5Flags;
    return (flags & ~allowed) ? ERROR_INVALID_FLAGS : 0;
}

} // namespace

int cp950_toWide(Cp950Encoding encoding, DWORD flags, LPCSTR source, int sourceLength,
                 LPWSTR target, int targetLength) {
    DWORD error = checkBuffers(source, sourceLength, target, targetLength);
    if (!error)
        error = checkToWideFlags(encoding, flags);
    if (error)
        return fail(error);
    if (sourceLength == -1)
        sourceLength = (int)std::strlen(source) + 1;
    WideSink out{targetLength ? target : nullptr, targetLength, 0};
    const BYTE *bytes = (const BYTE *)source;
    bool strict = (flags & MB_ERR_INVALID_CHARS) != 0;
    Outcome outcome = encoding == Cp950Encoding::utf8
                          ? utf8ToWide(bytes, sourceLength, strict, out)
                          : big5ToWide(bytes, sourceLength, strict, out);
    return finish(outcome, out.count);
}

int cp950_fromWide(Cp950Encoding encoding, DWORD flags, LPCWSTR source, int sourceLength,
                   LPSTR target, int targetLength, LPCSTR defaultChar, LPBOOL usedDefaultChar) {
    DWORD error = checkBuffers(source, sourceLength, target, targetLength);
    if (!error)
        error = checkToBytesFlags(encoding, flags, defaultChar, usedDefaultChar);
    if (error)
        return fail(error);
    if (sourceLength == -1)
        sourceLength = (int)std::char_traits<WCHAR>::length(source) + 1;
    ByteSink out{targetLength ? target : nullptr, targetLength, 0};
    Outcome outcome;
    if (encoding == Cp950Encoding::utf8) {
        outcome = wideToUtf8(source, sourceLength, (flags & WC_ERR_INVALID_CHARS) != 0, out);
    } else {
        BOOL usedDefault = FALSE;
        outcome = wideToBig5(source, sourceLength, defaultCharOf(defaultChar), &usedDefault, out);
        if (usedDefaultChar)
            *usedDefaultChar = usedDefault;
    }
    return finish(outcome, out.count);
}
