// String functions of the Windows API, in both flavours.
//
// Case mapping follows what the system relies on: ANSI text changes only
// ASCII letters and never touches the trail byte of a Big5 character;
// wide text changes ASCII, Latin-1 and full-width Latin letters.
#include "platform/platform.h"

#include <type_traits>

namespace {

// CharLower and CharUpper take either a string or, when the pointer's
// high bits are zero, one character in its low word.
bool isSingleCharacter(const void *text) {
    return reinterpret_cast<uintptr_t>(text) < 0x10000;
}

struct Range {
    WCHAR first, last;
};

// Upper-case letters whose lower case is 0x20 above (within each range,
// U+00D7 MULTIPLY SIGN excepted).
constexpr Range kUpperWide[] = {{u'A', u'Z'}, {0x00C0, 0x00DE}, {0xFF21, 0xFF3A}};
constexpr WCHAR kCaseDistance = 0x20;
constexpr WCHAR kMultiplySign = 0x00D7;

bool isUpperWide(WCHAR c) {
    if (c == kMultiplySign)
        return false;
    for (const Range &range : kUpperWide)
        if (c >= range.first && c <= range.last)
            return true;
    return false;
}

WCHAR lowerWide(WCHAR c) {
    return isUpperWide(c) ? WCHAR(c + kCaseDistance) : c;
}

WCHAR upperWide(WCHAR c) {
    return c >= kCaseDistance && isUpperWide(WCHAR(c - kCaseDistance)) ? WCHAR(c - kCaseDistance)
                                                                       : c;
}

CHAR lowerAnsi(CHAR c) {
    return c >= 'A' && c <= 'Z' ? CHAR(c - 'A' + 'a') : c;
}
CHAR upperAnsi(CHAR c) {
    return c >= 'a' && c <= 'z' ? CHAR(c - 'a' + 'A') : c;
}

LPSTR mapAnsi(LPSTR text, CHAR (*map)(CHAR)) {
    if (isSingleCharacter(text))
        return reinterpret_cast<LPSTR>(uintptr_t(BYTE(map(CHAR(LOBYTE(text))))));
    for (CHAR *p = text; *p; ++p) {
        if (IsDBCSLeadByte(BYTE(*p))) {
            if (!p[1])
                break;
            ++p;
        } else {
            *p = map(*p);
        }
    }
    return text;
}

LPWSTR mapWide(LPWSTR text, WCHAR (*map)(WCHAR)) {
    if (isSingleCharacter(text))
        return reinterpret_cast<LPWSTR>(uintptr_t(map(LOWORD(text))));
    for (WCHAR *p = text; *p; ++p)
        *p = map(*p);
    return text;
}

template <class Char> int length(const Char *text) {
    int n = 0;
    if (text)
        while (text[n])
            ++n;
    return n;
}

template <class Char> Char *copy(Char *target, const Char *source) {
    if (!target || !source)
        return nullptr;
    Char *out = target;
    while ((*out++ = *source++))
        ;
    return target;
}

template <class Char> Char *copyN(Char *target, const Char *source, int size) {
    if (!target || !source)
        return nullptr;
    int n = 0;
    for (; n + 1 < size && source[n]; ++n)
        target[n] = source[n];
    if (size > 0)
        target[n] = Char();
    return target;
}

template <class Char> Char *append(Char *target, const Char *source) {
    if (!target || !source)
        return nullptr;
    copy(target + length(target), source);
    return target;
}

// Code-unit order after folding each unit; a null string sorts first.
template <class Char, class Fold> int compare(const Char *first, const Char *second, Fold fold) {
    if (!first || !second)
        return first ? 1 : second ? -1 : 0;
    using Unit = std::make_unsigned_t<Char>;
    for (;; ++first, ++second) {
        Unit a = Unit(fold(*first));
        Unit b = Unit(fold(*second));
        if (a != b)
            return a < b ? -1 : 1;
        if (!a)
            return 0;
    }
}

template <class Char> Char same(Char c) {
    return c;
}

template <class Char> Char foldAscii(Char c) {
    return c >= 'A' && c <= 'Z' ? Char(c - 'A' + 'a') : c;
}

} // namespace

LPSTR WINAPI CharLowerA(LPSTR text) {
    return mapAnsi(text, lowerAnsi);
}
LPWSTR WINAPI CharLowerW(LPWSTR text) {
    return mapWide(text, lowerWide);
}
LPSTR WINAPI CharUpperA(LPSTR text) {
    return mapAnsi(text, upperAnsi);
}
LPWSTR WINAPI CharUpperW(LPWSTR text) {
    return mapWide(text, upperWide);
}

int WINAPI lstrlenA(LPCSTR text) {
    return length(text);
}
int WINAPI lstrlenW(LPCWSTR text) {
    return length(text);
}
LPSTR WINAPI lstrcpyA(LPSTR target, LPCSTR source) {
    return copy(target, source);
}
LPWSTR WINAPI lstrcpyW(LPWSTR target, LPCWSTR source) {
    return copy(target, source);
}

LPSTR WINAPI lstrcpynA(LPSTR target, LPCSTR source, int length) {
    return copyN(target, source, length);
}

LPWSTR WINAPI lstrcpynW(LPWSTR target, LPCWSTR source, int length) {
    return copyN(target, source, length);
}

LPSTR WINAPI lstrcatA(LPSTR target, LPCSTR source) {
    return append(target, source);
}
LPWSTR WINAPI lstrcatW(LPWSTR target, LPCWSTR source) {
    return append(target, source);
}

int WINAPI lstrcmpA(LPCSTR first, LPCSTR second) {
    return compare(first, second, same<CHAR>);
}
int WINAPI lstrcmpW(LPCWSTR first, LPCWSTR second) {
    return compare(first, second, same<WCHAR>);
}

int WINAPI lstrcmpiA(LPCSTR first, LPCSTR second) {
    return compare(first, second, foldAscii<CHAR>);
}

int WINAPI lstrcmpiW(LPCWSTR first, LPCWSTR second) {
    return compare(first, second, foldAscii<WCHAR>);
}

char *_strlwr(char *text) {
    if (text)
        for (char *p = text; *p; ++p)
            *p = lowerAnsi(*p);
    return text;
}
