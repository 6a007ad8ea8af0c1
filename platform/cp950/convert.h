// Conversion between UTF-16 and code page 950 (Big5-HKSCS, see cp950.h)
// or UTF-8, with the conventions of Windows' MultiByteToWideChar and
// WideCharToMultiByte: the same arguments, flags, sizes and errors (set
// with SetLastError). Each platform's conversion calls go through these,
// so that every build converts identically.
#ifndef TAVO_CP950_CONVERT_H
#define TAVO_CP950_CONVERT_H

#include "platform/platform.h"

enum class Cp950Encoding { big5, utf8 };

int cp950_toWide(Cp950Encoding encoding, DWORD flags, LPCSTR source, int sourceLength,
                 LPWSTR target, int targetLength);

int cp950_fromWide(Cp950Encoding encoding, DWORD flags, LPCWSTR source, int sourceLength,
                   LPSTR target, int targetLength, LPCSTR defaultChar, LPBOOL usedDefaultChar);

#endif
