// The reading of a text: its Big5 form matched word by word against the
// dictionary, longest word first, each word giving its first reading.
#include "dict/lookup.h"
#include "dict/text.h"

#define TAB_CHAR 9

// The reading codes gathered so far. Room is the input length plus one,
// enough for any well-formed dictionary; a damaged one whose reading is
// longer than its word makes the block grow instead of overflow.
struct ReadingBuffer {
    char *text;
    SIZE_T length;
    SIZE_T room;
};

static bool ReserveReading(ReadingBuffer *out, SIZE_T extra) {
    if (out->length + extra < out->room)
        return true;
    SIZE_T room = 2 * (out->length + extra) + 1;
    char *text = (char *)GlobalAlloc(GMEM_FIXED, room);
    if (!text)
        return false;
    for (SIZE_T i = 0; i <= out->length; i++)
        text[i] = out->text[i];
    GlobalFree(out->text);
    out->text = text;
    out->room = room;
    return true;
}

static void AppendBytes(ReadingBuffer *out, const char *bytes, SIZE_T n) {
    if (!ReserveReading(out, n))
        return;
    for (SIZE_T i = 0; i < n; i++)
        out->text[out->length++] = bytes[i];
    out->text[out->length] = 0;
}

SIZE_T FirstReadingLength(const char *data) {
    SIZE_T n = 0;
    while (data[n] && data[n] != TAB_CHAR)
        n += (data[n] & 0x80) && data[n + 1] ? 2 : 1;
    return n;
}

// Appends the first reading of the word that the last match found.
static void AppendFirstReading(ReadingBuffer *out, const char *data) {
    if (data)
        AppendBytes(out, data, FirstReadingLength(data));
}

// Reads one step of the text at p; returns the number of bytes consumed.
static SIZE_T ReadStep(ptree *dict, const char *p, SIZE_T rest, ReadingBuffer *out) {
    int m = ptree_match(dict, p, 0);
    if (m > 0) {
        AppendFirstReading(out, ptree_data(dict));
        return (SIZE_T)m < rest ? (SIZE_T)m : rest;
    }
    // A Chinese character that the dictionary lacks says nothing; any
    // other byte passes through.
    if (IsDBCSLeadByteEx(BIG5_CODE_PAGE, (BYTE)p[0]) && p[1])
        return 2;
    AppendBytes(out, p, 1);
    return 1;
}

char *LookupCantonese(ptree *dict, LPCTSTR text) {
    if (!text)
        return 0;
    char *big5 = TCharToBig5(text);
    if (!big5)
        return 0;
    SIZE_T size = (SIZE_T)lstrlenA(big5);
    ReadingBuffer out = {(char *)GlobalAlloc(GMEM_FIXED, size + 1), 0, size + 1};
    if (out.text) {
        out.text[0] = 0;
        for (SIZE_T p = 0; p < size;)
            p += ReadStep(dict, big5 + p, size - p, &out);
    }
    GlobalFree(big5);
    return out.text;
}
