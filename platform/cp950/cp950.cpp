// Conversion of single characters between code page 950 and Unicode code
// points, by direct indexing into the generated tables.
#include "platform/cp950/cp950.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "cp950_table.inc"

namespace {

constexpr int kLeadCount = 0xFE - 0x81 + 1;
constexpr int kTrailCount = (0x7E - 0x40 + 1) + (0xFE - 0xA1 + 1);
// Decode entries in the surrogate range, which no character occupies,
// index the table of characters outside the BMP and of sequences.
constexpr uint16_t kEscapeBase = kCp950ExtraBase;
constexpr uint16_t kEscapeEnd = 0xE000;

static_assert(std::size(kCp950Decode) == kLeadCount * kTrailCount);
static_assert(std::size(kCp950EncodeBmp) == 0x10000);
static_assert(kEscapeBase == 0xD800 && std::size(kCp950DecodeExtra) <= kEscapeEnd - kEscapeBase);

// The single bytes that Windows' code page 950 maps outside ASCII.
constexpr BYTE kByte80 = 0x80;
constexpr BYTE kByteFF = 0xFF;
constexpr DWORD kCharFF = 0xF8F8;

int trailIndex(BYTE trail) {
    return trail <= 0x7E ? trail - 0x40 : trail - 0xA1 + (0x7E - 0x40 + 1);
}

DWORD decodeSingle(BYTE b) {
    return b == kByteFF ? kCharFF : b;
}

int decodePair(BYTE lead, BYTE trail, DWORD codePoints[2]) {
    uint16_t entry = kCp950Decode[(lead - 0x81) * kTrailCount + trailIndex(trail)];
    if (entry == 0)
        return 0;
    if (entry < kEscapeBase || entry >= kEscapeEnd) {
        codePoints[0] = entry;
        return 1;
    }
    const uint32_t *extra = kCp950DecodeExtra[entry - kEscapeBase];
    codePoints[0] = extra[0];
    codePoints[1] = extra[1];
    return extra[1] ? 2 : 1;
}

int putPair(uint32_t code, BYTE bytes[2]) {
    bytes[0] = (BYTE)(code >> 8);
    bytes[1] = (BYTE)code;
    return 2;
}

// The code of a base character followed by a combining mark, or 0.
uint32_t findSequence(DWORD base, DWORD mark) {
    for (const uint32_t *sequence : kCp950EncodeSequence)
        if (sequence[0] == base && sequence[1] == mark)
            return sequence[2];
    return 0;
}

uint32_t findWide(DWORD codePoint) {
    const uint32_t(*end)[2] = std::end(kCp950EncodeWide);
    const uint32_t(*found)[2] =
        std::lower_bound(std::begin(kCp950EncodeWide), end, codePoint,
                         [](const uint32_t(&entry)[2], DWORD value) { return entry[0] < value; });
    return found != end && (*found)[0] == codePoint ? (*found)[1] : 0;
}

bool isCombiningMark(DWORD codePoint) {
    return codePoint >= 0x0300 && codePoint <= 0x036F;
}

} // namespace

int cp950_decode(const BYTE *bytes, int length, DWORD codePoints[2], int *consumed) {
    *consumed = 1;
    if (!cp950_isLeadByte(bytes[0])) {
        codePoints[0] = decodeSingle(bytes[0]);
        return 1;
    }
    if (length < 2 || !cp950_isTrailByte(bytes[1]))
        return 0;
    *consumed = 2;
    return decodePair(bytes[0], bytes[1], codePoints);
}

int cp950_encode(DWORD codePoint, DWORD next, BYTE bytes[2], bool *usedNext) {
    *usedNext = false;
    if (codePoint <= kByte80) {
        bytes[0] = (BYTE)codePoint;
        return 1;
    }
    if (codePoint == kCharFF) {
        bytes[0] = kByteFF;
        return 1;
    }
    if (isCombiningMark(next)) {
        if (uint32_t code = findSequence(codePoint, next)) {
            *usedNext = true;
            return putPair(code, bytes);
        }
    }
    uint32_t code = codePoint <= 0xFFFF ? kCp950EncodeBmp[codePoint] : findWide(codePoint);
    return code ? putPair(code, bytes) : 0;
}
