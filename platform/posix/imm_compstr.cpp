// ImmGetCompositionStringA/W: reading a context's composition string. The
// module writes its text in its own flavour (bytes of code page 950, or
// UTF-16 when it is a Unicode module); a caller of the other flavour gets
// the text converted, with attributes, clause offsets and the cursor
// position moved to match. A size of 0 asks for the bytes needed; a
// smaller buffer gets what fits, whole characters only.
#include "platform/posix/imm_private.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr UINT kCodePage = 950;

enum class Kind { Text, Attributes, Clauses, Position };

// Where a GCS_ index is found in a COMPOSITIONSTRING: the area's length
// and offset fields (or the position field), and the string the area
// belongs to.
struct Area {
    Kind kind;
    DWORD COMPOSITIONSTRING::*length;     // for a position, the position itself
    DWORD COMPOSITIONSTRING::*offset;     // null for a position
    DWORD COMPOSITIONSTRING::*textLength; // of the string the area describes
    DWORD COMPOSITIONSTRING::*textOffset;
};

using C = COMPOSITIONSTRING;

constexpr struct {
    DWORD index;
    Area area;
} kAreas[] = {
    {GCS_COMPREADSTR,
     {Kind::Text, &C::dwCompReadStrLen, &C::dwCompReadStrOffset, &C::dwCompReadStrLen,
      &C::dwCompReadStrOffset}},
    {GCS_COMPREADATTR,
     {Kind::Attributes, &C::dwCompReadAttrLen, &C::dwCompReadAttrOffset, &C::dwCompReadStrLen,
      &C::dwCompReadStrOffset}},
    {GCS_COMPREADCLAUSE,
     {Kind::Clauses, &C::dwCompReadClauseLen, &C::dwCompReadClauseOffset, &C::dwCompReadStrLen,
      &C::dwCompReadStrOffset}},
    {GCS_COMPSTR,
     {Kind::Text, &C::dwCompStrLen, &C::dwCompStrOffset, &C::dwCompStrLen, &C::dwCompStrOffset}},
    {GCS_COMPATTR,
     {Kind::Attributes, &C::dwCompAttrLen, &C::dwCompAttrOffset, &C::dwCompStrLen,
      &C::dwCompStrOffset}},
    {GCS_COMPCLAUSE,
     {Kind::Clauses, &C::dwCompClauseLen, &C::dwCompClauseOffset, &C::dwCompStrLen,
      &C::dwCompStrOffset}},
    {GCS_CURSORPOS,
     {Kind::Position, &C::dwCursorPos, nullptr, &C::dwCompStrLen, &C::dwCompStrOffset}},
    {GCS_DELTASTART,
     {Kind::Position, &C::dwDeltaStart, nullptr, &C::dwCompStrLen, &C::dwCompStrOffset}},
    {GCS_RESULTREADSTR,
     {Kind::Text, &C::dwResultReadStrLen, &C::dwResultReadStrOffset, &C::dwResultReadStrLen,
      &C::dwResultReadStrOffset}},
    {GCS_RESULTREADCLAUSE,
     {Kind::Clauses, &C::dwResultReadClauseLen, &C::dwResultReadClauseOffset,
      &C::dwResultReadStrLen, &C::dwResultReadStrOffset}},
    {GCS_RESULTSTR,
     {Kind::Text, &C::dwResultStrLen, &C::dwResultStrOffset, &C::dwResultStrLen,
      &C::dwResultStrOffset}},
    {GCS_RESULTCLAUSE,
     {Kind::Clauses, &C::dwResultClauseLen, &C::dwResultClauseOffset, &C::dwResultStrLen,
      &C::dwResultStrOffset}},
};

const Area *areaOf(DWORD index) {
    for (const auto &entry : kAreas)
        if (entry.index == index)
            return &entry.area;
    return nullptr;
}

// A copy of a context's composition string block.
struct Block {
    std::vector<BYTE> bytes;
    COMPOSITIONSTRING header = {};

    // The bytes at offset, or null when they are not all inside the block.
    const BYTE *at(DWORD offset, ULONGLONG count) const {
        if (offset > bytes.size() || count > bytes.size() - offset)
            return nullptr;
        return bytes.data() + offset;
    }
};

bool copyBlock(HIMC imc, Block *block) {
    LPINPUTCONTEXT context = ImmLockIMC(imc);
    if (!context)
        return false;
    HIMCC handle = context->hCompStr;
    const auto *data = static_cast<const BYTE *>(ImmLockIMCC(handle));
    if (data) {
        block->bytes.assign(data, data + ImmGetIMCCSize(handle));
        ImmUnlockIMCC(handle);
    }
    ImmUnlockIMC(imc);
    if (block->bytes.size() < sizeof(COMPOSITIONSTRING))
        return false;
    std::memcpy(&block->header, block->bytes.data(), sizeof(COMPOSITIONSTRING));
    return true;
}

// A string in the caller's flavour, and where each of the source's units
// went: unit i of the source starts at unit target[i] of the result.
struct Recoded {
    std::vector<BYTE> bytes; // the text, in units of unitSize bytes
    std::vector<DWORD> target;
    DWORD unitSize = 1;

    DWORD units() const { return static_cast<DWORD>(bytes.size() / unitSize); }
    // Where a source position went; positions past the end keep their
    // distance from it.
    DWORD map(DWORD position) const {
        if (position < target.size())
            return target[position];
        return units() + (position - static_cast<DWORD>(target.size()));
    }
};

// The source units of the character that starts at text[i].
size_t characterLength(const BYTE *text, size_t i, size_t units, bool unicode) {
    if (unicode) {
        WCHAR first, second;
        std::memcpy(&first, text + 2 * i, 2);
        if (first >= 0xD800 && first < 0xDC00 && i + 1 < units) {
            std::memcpy(&second, text + 2 * i + 2, 2);
            return second >= 0xDC00 && second < 0xE000 ? 2 : 1;
        }
        return 1;
    }
    return IsDBCSLeadByteEx(kCodePage, text[i]) && i + 1 < units ? 2 : 1;
}

// One character converted to the other flavour, appended to out.
void convertCharacter(const BYTE *character, size_t units, bool unicode, std::vector<BYTE> &out) {
    if (unicode) {
        CHAR converted[8];
        WCHAR wide[2];
        std::memcpy(wide, character, 2 * units);
        int count = WideCharToMultiByte(kCodePage, 0, wide, static_cast<int>(units), converted,
                                        sizeof converted, nullptr, nullptr);
        if (count <= 0)
            converted[0] = '?', count = 1;
        out.insert(out.end(), converted, converted + count);
        return;
    }
    WCHAR converted[4];
    int count = MultiByteToWideChar(kCodePage, 0, reinterpret_cast<const CHAR *>(character),
                                    static_cast<int>(units), converted, 4);
    if (count <= 0)
        converted[0] = u'?', count = 1;
    const auto *bytes = reinterpret_cast<const BYTE *>(converted);
    out.insert(out.end(), bytes, bytes + 2 * count);
}

Recoded recode(const BYTE *text, DWORD units, bool unicode, bool wantUnicode) {
    Recoded result;
    result.unitSize = wantUnicode ? 2 : 1;
    size_t sourceUnit = unicode ? 2 : 1;
    if (unicode == wantUnicode) {
        result.bytes.assign(text, text + units * sourceUnit);
        for (DWORD i = 0; i < units; ++i)
            result.target.push_back(i);
        return result;
    }
    for (size_t i = 0; i < units;) {
        size_t length = characterLength(text, i, units, unicode);
        DWORD start = result.units();
        result.target.insert(result.target.end(), length, start);
        convertCharacter(text + i * sourceUnit, length, unicode, result.bytes);
        i += length;
    }
    return result;
}

// The bytes of text that fit in room without splitting a character.
DWORD fitting(const Recoded &text, DWORD room, bool unicode) {
    DWORD roomUnits = room / text.unitSize;
    DWORD units = 0;
    while (units < text.units()) {
        size_t length = characterLength(text.bytes.data(), units, text.units(), unicode);
        if (units + length > roomUnits)
            break;
        units += static_cast<DWORD>(length);
    }
    return units * text.unitSize;
}

// Windows' answer for a result: its size when asked for the size, else
// the bytes copied, at most limit (what fits in whole units).
LONG deliver(const std::vector<BYTE> &result, DWORD limit, LPVOID buffer, DWORD room) {
    if (!buffer || room == 0)
        return static_cast<LONG>(result.size());
    DWORD count = std::min({limit, room, static_cast<DWORD>(result.size())});
    std::memcpy(buffer, result.data(), count);
    return static_cast<LONG>(count);
}

LONG readArea(const Block &block, const Area &area, bool unicode, bool wantUnicode, LPVOID buffer,
              DWORD room) {
    const COMPOSITIONSTRING &h = block.header;
    DWORD textUnits = h.*area.textLength;
    const BYTE *text = block.at(h.*area.textOffset, ULONGLONG{textUnits} * (unicode ? 2 : 1));
    if (!text)
        return IMM_ERROR_GENERAL;
    Recoded recoded = recode(text, textUnits, unicode, wantUnicode);
    switch (area.kind) {
    case Kind::Text: {
        return deliver(recoded.bytes, fitting(recoded, room, wantUnicode), buffer, room);
    }
    case Kind::Position:
        return static_cast<LONG>(recoded.map(h.*area.length));
    case Kind::Attributes: {
        const BYTE *source = block.at(h.*area.offset, h.*area.length);
        if (!source)
            return IMM_ERROR_GENERAL;
        if (unicode == wantUnicode)
            return deliver(std::vector<BYTE>(source, source + h.*area.length), room, buffer, room);
        std::vector<BYTE> result(recoded.units(), ATTR_INPUT);
        for (DWORD i = 0; i < h.*area.length && i < recoded.target.size(); ++i)
            std::fill(result.begin() + recoded.map(i), result.begin() + recoded.map(i + 1),
                      source[i]);
        return deliver(result, static_cast<DWORD>(result.size()), buffer, room);
    }
    case Kind::Clauses: {
        const BYTE *source = block.at(h.*area.offset, h.*area.length);
        if (!source)
            return IMM_ERROR_GENERAL;
        std::vector<BYTE> result(h.*area.length / sizeof(DWORD) * sizeof(DWORD));
        for (size_t i = 0; i < result.size(); i += sizeof(DWORD)) {
            DWORD offset;
            std::memcpy(&offset, source + i, sizeof offset);
            offset = recoded.map(offset);
            std::memcpy(result.data() + i, &offset, sizeof offset);
        }
        DWORD whole = room / sizeof(DWORD) * sizeof(DWORD);
        return deliver(result, whole, buffer, room);
    }
    }
    return IMM_ERROR_GENERAL;
}

LONG getCompositionString(HIMC imc, DWORD index, LPVOID buffer, DWORD room, bool wantUnicode) {
    posix::ContextFacts facts;
    if (!posix::findContext(imc, &facts))
        return 0;
    const Area *area = areaOf(index);
    if (!area)
        return IMM_ERROR_GENERAL;
    Block block;
    if (!copyBlock(imc, &block))
        return IMM_ERROR_GENERAL;
    return readArea(block, *area, facts.unicode, wantUnicode, buffer, room);
}

} // namespace

LONG WINAPI ImmGetCompositionStringA(HIMC imc, DWORD index, LPVOID buffer, DWORD bytes) {
    return getCompositionString(imc, index, buffer, bytes, false);
}

LONG WINAPI ImmGetCompositionStringW(HIMC imc, DWORD index, LPVOID buffer, DWORD bytes) {
    return getCompositionString(imc, index, buffer, bytes, true);
}
