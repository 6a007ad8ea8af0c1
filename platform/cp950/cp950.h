// Code page 950 as this system means it: Big5 with the Hong Kong
// supplement (HKSCS-2008), so that everyday Cantonese characters such as
// 嘅 and 咗 convert. The tables come from the C library's BIG5-HKSCS
// converter at build time; these functions make no operating-system calls
// and convert the same on every platform.
//
// Bytes 0x00..0x7F are ASCII, 0x80 is U+0080 and 0xFF is U+F8F8 as in
// Windows' code page 950; 0x81..0xFE lead a two-byte character.
#ifndef TAVO_CP950_H
#define TAVO_CP950_H

#include "platform/platform.h"

inline bool cp950_isLeadByte(BYTE b) {
    return b >= 0x81 && b <= 0xFE;
}

inline bool cp950_isTrailByte(BYTE b) {
    return (b >= 0x40 && b <= 0x7E) || (b >= 0xA1 && b <= 0xFE);
}

// Decodes the character at the start of `bytes` (length >= 1). Writes up
// to two code points (a few pairs stand for a letter and a combining mark)
// and returns how many; *consumed tells how many bytes the character took.
// Returns 0 for a byte or pair that has no character: *consumed is then 2
// when the second byte is a valid trail byte (the pair is skipped as one
// unknown character) and 1 otherwise (the next byte starts afresh).
int cp950_decode(const BYTE *bytes, int length, DWORD codePoints[2], int *consumed);

// Encodes `codePoint` into `bytes` and returns the number of bytes (1 or
// 2), or 0 if code page 950 has no such character. `next` is the code
// point that follows (0 if none): when the two form a sequence that has a
// code of its own, that code is written and *usedNext is set.
int cp950_encode(DWORD codePoint, DWORD next, BYTE bytes[2], bool *usedNext);

#endif
