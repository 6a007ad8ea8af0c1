// The character query: one character of a candidate explained from the
// query database, in the reading that the candidate gives it, one
// explanation at a time.
#include "engine/engine.h"
#include "dict/lookup.h"
#include "dict/text.h"
#include "engine/chars.h"
#include "frame/compstr.h"
#include "ui/resource.h"

#define CODE_SIZE 2

static BOOL IsDoubleByte(const char *big5) {
    return IsDBCSLeadByteEx(BIG5_CODE_PAGE, (BYTE)big5[0]) && big5[1] != 0;
}

// A new TCHAR string of n Big5 bytes.
static LPTSTR Big5Span(const char *big5, int n) {
    char *span = (char *)GlobalAlloc(GMEM_FIXED, (SIZE_T)n + 1);
    if (span == NULL)
        return NULL;
    for (int i = 0; i < n; i++)
        span[i] = big5[i];
    span[n] = 0;
    return TakeBig5AsTChar(span);
}

// The reading of a dictionary word laid over its m bytes: the codes of its
// first reading, cut or padded with spaces when the entry is not as long
// as its word, so that codes and text stay aligned.
static void PutWordReading(char *out, const char *data, int m) {
    int n = data != NULL ? (int)FirstReadingLength(data) : 0;
    for (int i = 0; i < m; i++)
        out[i] = i < n ? data[i] : ' ';
}

char *Big5ReadingStr(ptree *dictTree, const char *big5) {
    int length = lstrlenA(big5);
    char *out = (char *)GlobalAlloc(GMEM_FIXED, (SIZE_T)length + 1);
    if (out == NULL)
        return NULL;
    for (int i = 0; i < length;) {
        int m = ptree_match(dictTree, big5 + i, 0);
        if (m > length - i)
            m = length - i;
        if (m > 0) {
            PutWordReading(out + i, ptree_data(dictTree), m);
        } else {
            m = IsDoubleByte(big5 + i) ? 2 : 1;
            out[i] = out[i + m - 1] = ' ';
        }
        i += m;
    }
    out[length] = 0;
    return out;
}

// The explanations on the line of the query entry whose reading code is
// code, or null. A line is a code and TAB-separated explanations; the
// code's second byte may be LF, so a line's end is sought after its code.
static LPTSTR ExplanationsFor(const char *entry, const char *code) {
    for (const char *line = entry; line[0] != 0 && line[1] != 0;) {
        const char *end = line + CODE_SIZE;
        while (*end != 0 && *end != CHAR_LF)
            end++;
        if (line[0] == code[0] && line[1] == code[1])
            return Big5Span(line + CODE_SIZE, (int)(end - line - CODE_SIZE));
        if (*end == 0)
            break;
        line = end + 1;
    }
    return NULL;
}

// Characters are counted alike by the query keys, the queried character
// and the explanations' lookup. In UTF-16 text every character counts and
// a surrogate pair is one character; in Big5 text only the double-byte
// characters count.
#ifdef UNICODE
static BOOL IsHighSurrogate(TCHAR c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

static BOOL IsLowSurrogate(TCHAR c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// Units of the character at text: two for a surrogate pair, else one.
static int CharUnits(LPCTSTR text) {
    return IsHighSurrogate(text[0]) && IsLowSurrogate(text[1]) ? 2 : 1;
}

// Unit index where character k starts, or -1 when there is none.
static int CharStart(LPCTSTR text, DWORD k) {
    int i = 0;
    for (DWORD n = 0; n < k && text[i] != 0; n++)
        i += CharUnits(text + i);
    return text[i] != 0 ? i : -1;
}

static DWORD CharsBefore(LPCTSTR text, int end) {
    DWORD count = 0;
    for (int i = 0; i < end; i += CharUnits(text + i))
        count++;
    return count;
}

// Byte position in big5, the Big5 form of text, of character k of text,
// or -1 when the text has no such character or Big5 no such double-byte
// character.
static int Big5Offset(LPCTSTR text, const char *big5, DWORD k) {
    int u = CharStart(text, k);
    if (u < 0)
        return -1;
    int p = u == 0 ? 0 : WideCharToMultiByte(BIG5_CODE_PAGE, 0, text, u, NULL, 0, NULL, NULL);
    return p <= lstrlenA(big5) && IsDoubleByte(big5 + p) ? p : -1;
}
#else
// Byte position of the k-th double-byte character of a Big5 text (from 0;
// single-byte characters are passed over), or -1 when it has no such one.
static int DoubleByteOffset(const char *big5, DWORD k) {
    DWORD seen = 0;
    for (int i = 0; big5[i] != 0;) {
        if (!IsDoubleByte(big5 + i)) {
            i++;
            continue;
        }
        if (seen++ == k)
            return i;
        i += 2;
    }
    return -1;
}

static int CharUnits(LPCTSTR) {
    return CODE_SIZE;
}

static int CharStart(LPCTSTR text, DWORD k) {
    return DoubleByteOffset(text, k);
}

static DWORD CharsBefore(LPCTSTR text, int end) {
    DWORD count = 0;
    for (int i = 0; i < end; i += IsDoubleByte(text + i) ? 2 : 1)
        count += IsDoubleByte(text + i) ? 1 : 0;
    return count;
}

static int Big5Offset(LPCTSTR, const char *big5, DWORD k) {
    return DoubleByteOffset(big5, k);
}
#endif

LPTSTR ExtractChar(LPCTSTR text, DWORD index) {
    int start = CharStart(text, index);
    if (start < 0)
        return NULL;
    int units = CharUnits(text + start);
    LPTSTR one = (LPTSTR)GlobalAlloc(GMEM_FIXED, ((SIZE_T)units + 1) * sizeof(TCHAR));
    if (one == NULL)
        return NULL;
    for (int u = 0; u < units; u++)
        one[u] = text[start + u];
    one[units] = 0;
    return one;
}

static BOOL SameUnits(LPCTSTR a, LPCTSTR b, int n) {
    for (int i = 0; i < n; i++)
        if (a[i] != b[i])
            return FALSE;
    return TRUE;
}

// The number of the character where it first stands in the example word;
// past the word's last character when it does not occur.
static DWORD CharPosition(LPCTSTR word, LPCTSTR character) {
    int n = lstrlen(character), length = lstrlen(word);
    int at = 0;
    while (at + n <= length && !(n > 0 && SameUnits(word + at, character, n)))
        at++;
    return CharsBefore(word, at + n <= length ? at : length);
}

LPTSTR QueryChar(ptree *dictTree, ptree *queryTree, LPCTSTR text, DWORD k) {
    char *big5 = TCharToBig5(text);
    if (big5 == NULL)
        return NULL;
    LPTSTR result = NULL;
    int p = Big5Offset(text, big5, k);
    if (p >= 0 && ptree_match(queryTree, big5 + p, CODE_SIZE) == CODE_SIZE) {
        const char *entry = ptree_data(queryTree);
        char *codes = Big5ReadingStr(dictTree, big5);
        if (entry != NULL && codes != NULL)
            result = ExplanationsFor(entry, codes + p);
        if (codes != NULL)
            GlobalFree(codes);
    }
    GlobalFree(big5);
    return result;
}

static BOOL EndsWith(LPCTSTR text, TCHAR c) {
    int n = lstrlen(text);
    return n > 0 && text[n - 1] == c;
}

static LPTSTR FindUnit(LPTSTR text, TCHAR c) {
    for (; *text != 0; text++)
        if (*text == c)
            return text;
    return NULL;
}

void SetupQuery(HIMCC *hCompStr, PrivateData *data, DWORD i) {
    TabList *list = data->candList;
    if (list == NULL)
        return;
    DWORD saved = list->index;
    if (!GotoTabItem(list, i))
        return;
    if (data->queryItem != NULL)
        GlobalFree(data->queryItem);
    data->queryItem = DuplicateString(list->item);
    GotoTabItem(list, saved);
    if (data->queryAlt != NULL)
        GlobalFree(data->queryAlt);
    data->queryAlt = NULL;
    if (data->queryItem == NULL)
        return;
    LPTSTR esc = FindUnit(data->queryItem, CHAR_ESC);
    if (esc != NULL && data->singleChars && !EndsWith(data->queryItem, ')')) {
        // The explanation is an example word: the character is queried in
        // the sense that the word gives it.
        data->queryAlt = DuplicateString(esc + 1);
        *esc = 0;
        if (data->queryAlt != NULL)
            data->queryAltPos = CharPosition(data->queryAlt, data->queryItem);
    }
    if (PerformQuery(hCompStr, data, data->queryKey)) {
        data->pageView = 0;
        data->candCursor = i;
    }
}

// The text and character number that a query of character k looks up.
static LPTSTR QueryText(const PrivateData *data, DWORD k, DWORD *number) {
    if (data->queryAlt != NULL) {
        *number = data->queryAltPos;
        return k == 0 ? DuplicateString(data->queryAlt) : NULL;
    }
    *number = k;
    LPTSTR text = DuplicateString(data->queryItem);
    TruncateString(text, CHAR_ESC);
    return text;
}

static void SetQueryChar(PrivateData *data, DWORD k) {
    LPTSTR one = ExtractChar(data->queryItem, k);
    data->queryChar[0] = 0;
    if (one != NULL) {
        lstrcpyn(data->queryChar, one, sizeof(data->queryChar) / sizeof(TCHAR));
        GlobalFree(one);
    }
}

int PerformQuery(HIMCC *hCompStr, PrivateData *data, DWORD k) {
    DWORD number = 0;
    LPTSTR text = data->queryItem != NULL ? QueryText(data, k, &number) : NULL;
    LPTSTR result = text != NULL ? QueryChar(data->dictTree, data->queryTree, text, number) : NULL;
    if (text != NULL)
        GlobalFree(text);
    TabList *explanations = result != NULL ? CreateTabList(result) : NULL;
    if (result != NULL)
        GlobalFree(result);
    if (explanations == NULL) {
        // PlayWave stops any speech first.
        PlayWave(WAVE_REFUSED);
        return 0;
    }
    SetQueryChar(data, k);
    if (data->queryList != NULL)
        DeleteTabList(data->queryList);
    data->queryList = explanations;
    if (lstrcmp(explanations->item, data->queryItem) == 0)
        NextTabItem(explanations);
    data->mode = MODE_QUERY;
    DisplayQuery(hCompStr, data);
    return 1;
}

void DisplayQuery(HIMCC *hCompStr, PrivateData *data) {
    if (data->queryList == NULL)
        return;
    LPTSTR text = FormatExplanation(data->queryList->item, data->queryChar);
    if (text != NULL) {
        UpdateCompStr(hCompStr, data, text);
        GlobalFree(text);
    }
}
