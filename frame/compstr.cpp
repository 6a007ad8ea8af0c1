// The composition-string block: its layout, its growth, and the few
// writes through which the engine shows text and asks for the end of a
// composition.
#include "frame/compstr.h"

#include <string.h>

// Room that a new block gives each area, in bytes.
#define TEXT_ROOM (16 * sizeof(TCHAR))
#define CLAUSE_ROOM 16
#define MIN_GROWTH 16
#define AREA_COUNT 11

// The header field that holds each area's offset, in area order.
static DWORD COMPOSITIONSTRING::*const areaOffsets[AREA_COUNT] = {
    &COMPOSITIONSTRING::dwCompReadAttrOffset,     &COMPOSITIONSTRING::dwCompReadClauseOffset,
    &COMPOSITIONSTRING::dwCompReadStrOffset,      &COMPOSITIONSTRING::dwCompAttrOffset,
    &COMPOSITIONSTRING::dwCompClauseOffset,       &COMPOSITIONSTRING::dwCompStrOffset,
    &COMPOSITIONSTRING::dwResultReadClauseOffset, &COMPOSITIONSTRING::dwResultReadStrOffset,
    &COMPOSITIONSTRING::dwResultClauseOffset,     &COMPOSITIONSTRING::dwResultStrOffset,
    &COMPOSITIONSTRING::dwPrivateOffset,
};

// Initial capacity of each area; clause areas hold boundaries, the rest text
// or one attribute byte per text unit.
static const DWORD areaRoom[AREA_COUNT] = {
    TEXT_ROOM,   CLAUSE_ROOM, TEXT_ROOM,   TEXT_ROOM, CLAUSE_ROOM, TEXT_ROOM,
    CLAUSE_ROOM, TEXT_ROOM,   CLAUSE_ROOM, TEXT_ROOM, 0,
};

static DWORD InitialSize(void) {
    DWORD size = sizeof(COMPOSITIONSTRING);
    for (int area = 0; area < AREA_COUNT; area++)
        size += areaRoom[area];
    return size;
}

// Where an area ends: the next area's start, or the block's end.
static DWORD AreaEnd(const COMPOSITIONSTRING *compStr, int area) {
    return area + 1 < AREA_COUNT ? compStr->*areaOffsets[area + 1] : compStr->dwSize;
}

static void FillNewHeader(LPCOMPOSITIONSTRING compStr, DWORD size) {
    memset(compStr, 0, size);
    compStr->dwSize = size;
    DWORD offset = sizeof(COMPOSITIONSTRING);
    for (int area = 0; area < AREA_COUNT; area++) {
        compStr->*areaOffsets[area] = offset;
        offset += areaRoom[area];
    }
    compStr->dwCompReadClauseLen = CLAUSE_ROOM;
    compStr->dwCompClauseLen = CLAUSE_ROOM;
    compStr->dwResultReadClauseLen = CLAUSE_ROOM;
    compStr->dwResultClauseLen = CLAUSE_ROOM;
}

// Whether a header's areas follow one another, aligned, inside the block.
static BOOL IsLaidOut(const COMPOSITIONSTRING *compStr, DWORD blockSize) {
    DWORD offset = sizeof(COMPOSITIONSTRING);
    if (compStr->dwSize < offset || compStr->dwSize > blockSize)
        return FALSE;
    for (int area = 0; area < AREA_COUNT; area++) {
        DWORD start = compStr->*areaOffsets[area];
        if (start < offset || start > compStr->dwSize || start % sizeof(DWORD) != 0)
            return FALSE;
        offset = start;
    }
    return TRUE;
}

LPCOMPOSITIONSTRING LockCompStr(HIMCC hCompStr) {
    LPCOMPOSITIONSTRING compStr = (LPCOMPOSITIONSTRING)ImmLockIMCC(hCompStr);
    if (compStr != NULL && !IsLaidOut(compStr, ImmGetIMCCSize(hCompStr))) {
        ImmUnlockIMCC(hCompStr);
        return NULL;
    }
    return compStr;
}

BOOL InitCompStr(LPINPUTCONTEXT lpIMC) {
    DWORD size = InitialSize();
    if (ResizeIMCC(&lpIMC->hCompStr, size)) {
        // Not yet laid out: locked as it is.
        LPCOMPOSITIONSTRING compStr = (LPCOMPOSITIONSTRING)ImmLockIMCC(lpIMC->hCompStr);
        if (compStr != NULL) {
            FillNewHeader(compStr, size);
            ImmUnlockIMCC(lpIMC->hCompStr);
            return TRUE;
        }
    }
    if (lpIMC->hCompStr != NULL)
        ImmDestroyIMCC(lpIMC->hCompStr);
    lpIMC->hCompStr = ImmCreateIMCC(size);
    return FALSE;
}

// A block whose resize fails keeps its old handle, which stays valid: the
// context must not lose its block, but the caller learns of the failure.
BOOL ResizeIMCC(HIMCC *handle, DWORD size) {
    if (*handle == NULL) {
        *handle = ImmCreateIMCC(size);
        return *handle != NULL;
    }
    if (ImmGetIMCCSize(*handle) == size)
        return TRUE;
    HIMCC resized = ImmReSizeIMCC(*handle, size);
    if (resized == NULL)
        return FALSE;
    *handle = resized;
    return TRUE;
}

// Reads an area's bounds from the block, refusing a header whose areas are
// out of order or run past the memory that holds them.
static BOOL AreaBounds(HIMCC hCompStr, int area, DWORD *start, DWORD *end, DWORD *size) {
    LPCOMPOSITIONSTRING compStr = LockCompStr(hCompStr);
    if (compStr == NULL)
        return FALSE;
    *size = compStr->dwSize;
    *start = compStr->*areaOffsets[area];
    *end = AreaEnd(compStr, area);
    ImmUnlockIMCC(hCompStr);
    return *start <= *end && *end <= *size && *size <= ImmGetIMCCSize(hCompStr);
}

// Moves everything after the grown area up and shifts the later offsets.
static void OpenGap(LPCOMPOSITIONSTRING compStr, int area, DWORD end, DWORD oldSize, DWORD growth) {
    BYTE *base = (BYTE *)compStr;
    memmove(base + end + growth, base + end, oldSize - end);
    compStr->dwSize = oldSize + growth;
    for (int later = area + 1; later < AREA_COUNT; later++)
        compStr->*areaOffsets[later] += growth;
}

BOOL ResizeCompStr(HIMCC *hCompStr, int area, DWORD bytes) {
    DWORD start, end, size;
    if (area < 0 || area >= AREA_COUNT || !AreaBounds(*hCompStr, area, &start, &end, &size))
        return FALSE;
    if (bytes <= end - start)
        return TRUE;
    DWORD growth = bytes - (end - start);
    if (growth < MIN_GROWTH)
        growth = MIN_GROWTH;
    // Growth in whole DWORDs keeps every area aligned for the clause
    // entries and UTF-16 text that the engine stores in them.
    growth = (growth + 3) & ~(DWORD)3;
    if (growth < MIN_GROWTH || growth > 0xFFFFFFFF - size || !ResizeIMCC(hCompStr, size + growth))
        return FALSE;
    LPCOMPOSITIONSTRING compStr = LockCompStr(*hCompStr);
    if (compStr == NULL)
        return FALSE;
    OpenGap(compStr, area, end, size, growth);
    ImmUnlockIMCC(*hCompStr);
    return TRUE;
}

void ResetCompStr(LPCOMPOSITIONSTRING compStr) {
    if (compStr == NULL)
        return;
    compStr->dwCompReadAttrLen = 0;
    compStr->dwCompReadStrLen = 0;
    compStr->dwCompAttrLen = 0;
    compStr->dwCompStrLen = 0;
    compStr->dwCursorPos = 0;
    compStr->dwDeltaStart = 0;
    compStr->dwResultReadStrLen = 0;
    compStr->dwResultStrLen = 0;
    // One clause with both boundaries 0.
    compStr->dwCompReadClauseLen = 2 * sizeof(DWORD);
    compStr->dwCompClauseLen = 2 * sizeof(DWORD);
    compStr->dwResultReadClauseLen = 2 * sizeof(DWORD);
    compStr->dwResultClauseLen = 2 * sizeof(DWORD);
    DWORD end =
        compStr->dwPrivateOffset < compStr->dwSize ? compStr->dwPrivateOffset : compStr->dwSize;
    if (end > sizeof(COMPOSITIONSTRING))
        memset(compStr + 1, 0, end - sizeof(COMPOSITIONSTRING));
}

BOOL UpdateCompStr(HIMCC *hCompStr, PrivateData *data, LPCTSTR text) {
    if (text == NULL)
        text = TEXT("");
    DWORD length = lstrlen(text);
    if (!ResizeCompStr(hCompStr, AREA_COMPSTR, (length + 1) * sizeof(TCHAR)) ||
        !ResizeCompStr(hCompStr, AREA_COMPATTR, length))
        return FALSE;
    LPCOMPOSITIONSTRING compStr = LockCompStr(*hCompStr);
    if (compStr == NULL)
        return FALSE;
    memcpy(COMPSTR_TEXT(compStr, dwCompStrOffset), text, (length + 1) * sizeof(TCHAR));
    COMPSTR_DWORDS(compStr, dwCompClauseOffset)[1] = length;
    compStr->dwDeltaStart = 0;
    compStr->dwCompStrLen = length;
    compStr->dwCursorPos = length;
    memset((BYTE *)compStr + compStr->dwCompAttrOffset, ATTR_INPUT, length);
    compStr->dwCompAttrLen = length;
    data->msgCount++;
    data->msgFlags |= MSG_CHANGE;
    data->gcsFlags |= CHANGED_SHOWN;
    ImmUnlockIMCC(*hCompStr);
    return TRUE;
}

void StopTAVO(HIMCC *hCompStr, PrivateData *data) {
    if (ImmLockIMCC(*hCompStr) == NULL)
        return;
    data->msgCount++;
    data->msgFlags |= MSG_END;
    if (data->queryList != NULL) {
        DeleteTabList(data->queryList);
        data->queryList = NULL;
    }
    ImmUnlockIMCC(*hCompStr);
}

void CommitResultStr(LPCOMPOSITIONSTRING compStr, PrivateData *data, DWORD length) {
    LPTSTR result = COMPSTR_TEXT(compStr, dwResultStrOffset);
    result[length] = 0;
    compStr->dwResultStrLen = length;
    COMPSTR_DWORDS(compStr, dwResultClauseOffset)[1] = length;
    memcpy(COMPSTR_TEXT(compStr, dwCompStrOffset), result, (length + 1) * sizeof(TCHAR));
    compStr->dwCompStrLen = length;
    COMPSTR_DWORDS(compStr, dwCompClauseOffset)[1] = length;
    compStr->dwDeltaStart = 0;
    compStr->dwCursorPos = length;
    RequestChange(data, CHANGED_COMMITTED);
}
