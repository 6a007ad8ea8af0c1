// Conversion of the reading into text, segment by segment from the left:
// each segment is the longest reading prefix that the phrase or the user
// database knows, shorter ones on request; the chosen texts build up in
// the result-reading areas until they are committed together.
#include "dict/text.h"
#include "engine/chars.h"
#include "engine/engine.h"
#include "frame/compstr.h"
#include "frame/globdata.h"
#include "speech/speech.h"
#include "ui/resource.h"

#include <cstring>

// The item length of one character: a text unit in UTF-16, two bytes in Big5.
#define ONE_CHAR (sizeof(TCHAR) == 1 ? 2 : 1)

// Text units taken by the character at text: a surrogate pair or a Big5
// double-byte character takes two.
static DWORD CharUnits(LPCTSTR text) {
    if (text[0] == 0)
        return 0;
#ifdef UNICODE
    if (text[0] >= 0xD800 && text[0] <= 0xDBFF && text[1] >= 0xDC00 && text[1] <= 0xDFFF)
        return 2;
#else
    if (IsDBCSLeadByteEx(BIG5_CODE_PAGE, (BYTE)text[0]) && text[1] != 0)
        return 2;
#endif
    return 1;
}

DWORD ItemLen(LPCTSTR item) {
#ifdef UNICODE
    // A character, "|" and an explanation is one character.
    DWORD first = CharUnits(item);
    if (first > 0 && item[first] == CHAR_BAR && item[first + 1] != 0)
        return 1;
    DWORD count = 0;
    for (LPCTSTR p = item; *p != 0; p += CharUnits(p))
        count++;
    return count;
#else
    if (IsDBCSLeadByteEx(BIG5_CODE_PAGE, (BYTE)item[0]) && lstrlenA(item) > 3 &&
        item[2] == CHAR_BAR)
        return ONE_CHAR;
    return (DWORD)lstrlenA(item);
#endif
}

// A new string: a, TAB and b; or a copy of a when b is null.
static char *JoinBig5(const char *a, const char *b) {
    SIZE_T length = strlen(a) + (b != NULL ? strlen(b) + 1 : 0);
    char *joined = (char *)GlobalAlloc(GMEM_FIXED, length + 1);
    if (joined == NULL)
        return NULL;
    lstrcpyA(joined, a);
    if (b != NULL) {
        SIZE_T n = strlen(a);
        joined[n] = CHAR_TAB;
        lstrcpyA(joined + n + 1, b);
    }
    return joined;
}

// Longest match of key in tree; an entry without data matches nothing.
static int MatchTree(ptree *tree, const char *key, DWORD limit, const char **found) {
    int n = ptree_match(tree, key, (int)limit);
    *found = ptree_data(tree);
    if (n <= 0 || *found == NULL || **found == 0) {
        *found = NULL;
        return 0;
    }
    return n;
}

LPTSTR TranslateString(ptree *first, ptree *second, LPCTSTR text, DWORD limit, DWORD *matched) {
    *matched = 0;
    char *key = TCharToBig5(text);
    if (key == NULL)
        return NULL;
    Big5Lower(key);
    const char *firstData, *secondData;
    int e = MatchTree(first, key, limit, &firstData);
    int f = MatchTree(second, key, limit, &secondData);
    GlobalFree(key);
    if (e == 0 && f == 0)
        return NULL;
    *matched = (DWORD)(e > f ? e : f);
    char *joined;
    if (e > f)
        joined = JoinBig5(firstData, NULL);
    else if (f > e)
        joined = JoinBig5(secondData, NULL);
    else
        joined = JoinBig5(firstData, secondData);
    if (joined == NULL) {
        *matched = 0;
        return NULL;
    }
    return TakeBig5AsTChar(joined);
}

// A new string: a, separator and b.
static LPTSTR JoinText(LPCTSTR a, TCHAR separator, LPCTSTR b) {
    int n = lstrlen(a);
    LPTSTR joined = (LPTSTR)GlobalAlloc(GMEM_FIXED, ((SIZE_T)n + lstrlen(b) + 2) * sizeof(TCHAR));
    if (joined == NULL)
        return NULL;
    lstrcpy(joined, a);
    joined[n] = separator;
    lstrcpy(joined + n + 1, b);
    return joined;
}

// Adds item to a TAB-separated group that may still be null.
static void AppendItem(LPTSTR *group, LPCTSTR item) {
    LPTSTR grown = *group == NULL ? DuplicateString(item) : JoinText(*group, CHAR_TAB, item);
    if (grown == NULL)
        return;
    if (*group != NULL)
        GlobalFree(*group);
    *group = grown;
}

enum { GROUP_LONGEST, GROUP_SHORTER, GROUP_UNEXPLAINED, GROUP_COUNT };

// A one-character item of the longest group: its own explanation after
// "|", or else the first one the query database has, goes behind an ESC;
// a character without any goes to the unexplained group.
static void PrepareSingle(const PrivateData *data, LPCTSTR item, LPTSTR *groups) {
    DWORD first = CharUnits(item);
    if (first > 0 && item[first] == CHAR_BAR) {
        LPTSTR copy = DuplicateString(item);
        if (copy != NULL) {
            copy[first] = CHAR_ESC;
            AppendItem(&groups[GROUP_LONGEST], copy);
            GlobalFree(copy);
        }
        return;
    }
    LPTSTR explanations = QueryChar(data->dictTree, data->queryTree, item, 0);
    if (explanations == NULL || explanations[0] == 0) {
        AppendItem(&groups[GROUP_UNEXPLAINED], item);
    } else {
        TruncateString(explanations, CHAR_TAB);
        LPTSTR explained = JoinText(item, CHAR_ESC, explanations);
        if (explained != NULL) {
            AppendItem(&groups[GROUP_LONGEST], explained);
            GlobalFree(explained);
        }
    }
    if (explanations != NULL)
        GlobalFree(explanations);
}

static DWORD LongestItem(TabList *items) {
    DWORD longest = 0;
    GotoTabItem(items, 0);
    do {
        DWORD length = ItemLen(items->item);
        if (length > longest)
            longest = length;
    } while (NextTabItem(items));
    return longest;
}

void BuildConversionList(PrivateData *data) {
    TabList *items = CreateTabList(data->matchText);
    if (data->matchText != NULL)
        GlobalFree(data->matchText);
    data->matchText = NULL;
    if (items == NULL)
        return;
    DWORD longest = LongestItem(items);
    data->singleChars = longest == ONE_CHAR;
    LPTSTR groups[GROUP_COUNT] = {NULL, NULL, NULL};
    GotoTabItem(items, 0);
    do {
        if (ItemLen(items->item) != longest)
            AppendItem(&groups[GROUP_SHORTER], items->item);
        else if (data->singleChars)
            PrepareSingle(data, items->item, groups);
        else
            AppendItem(&groups[GROUP_LONGEST], items->item);
    } while (NextTabItem(items));
    DeleteTabList(items);
    data->matchText = groups[GROUP_SHORTER];
    if (groups[GROUP_UNEXPLAINED] != NULL) {
        AppendItem(&groups[GROUP_LONGEST], groups[GROUP_UNEXPLAINED]);
        GlobalFree(groups[GROUP_UNEXPLAINED]);
    }
    if (data->candList != NULL)
        DeleteTabList(data->candList);
    data->candList = CreateTabList(groups[GROUP_LONGEST]);
    if (groups[GROUP_LONGEST] != NULL)
        GlobalFree(groups[GROUP_LONGEST]);
    data->candCursor = 0;
    data->queryKey = 0;
    data->pageView = 1;
}

// The braille-ASCII cells of one dot (dots 1, 4, 3, 6, 2 and 5): a
// segment ending right before one would split a contracted cell pattern.
static BOOL IsOneDotCell(TCHAR c) {
    return c == 'a' || c == '@' || c == '\'' || c == ',' || c == '1' || c == '"';
}

// Looks up the segment at segStart with segLen as the limit; in the
// braille variant shortens the match until it does not end before a
// one-dot cell. Leaves matchText null when nothing fits.
static DWORD LookUpSegment(LPCTSTR reading, DWORD readLen, PrivateData *data) {
    LPCTSTR text = reading + data->segStart;
    DWORD n;
    data->matchText = TranslateString(data->phraseTree, data->userTree, text, data->segLen, &n);
    while (globData.brailleVariant == 1 && data->matchText != NULL &&
           data->segStart + n < readLen && IsOneDotCell(text[n])) {
        GlobalFree(data->matchText);
        data->matchText = NULL;
        if (n > 1)
            data->matchText = TranslateString(data->phraseTree, data->userTree, text, n - 1, &n);
    }
    return n;
}

void ConvertNow(LPCOMPOSITIONSTRING cs, PrivateData *data) {
    if (data->candList != NULL)
        DeleteTabList(data->candList);
    data->candList = NULL;
    if (data->matchText == NULL && data->segLen > 0 && --data->segLen == 0)
        PlayWave(WAVE_WRAPPED);
    LPCTSTR reading = COMPSTR_TEXT(cs, dwCompReadStrOffset);
    DWORD readLen = cs->dwCompReadStrLen;
    while (data->matchText == NULL) {
        if (data->segStart >= readLen || reading[data->segStart] == 0)
            return;
        DWORD n = LookUpSegment(reading, readLen, data);
        if (data->matchText != NULL) {
            data->segLen = n;
        } else if (data->segLen > 0) {
            // Even the shortest limit found nothing: start over from the longest.
            data->segLen = 0;
            PlayWave(WAVE_WRAPPED);
        } else {
            speech_stop();
            PlayWave(WAVE_NO_MATCH);
            return;
        }
    }
    BuildConversionList(data);
}

void ConvertFirst(HIMCC *hCompStr, PrivateData *data, BOOL autoCommit) {
    LPCOMPOSITIONSTRING cs = LockCompStr(*hCompStr);
    if (cs == NULL)
        return;
    data->mode = MODE_CHOOSING;
    data->segCount = data->segStart = data->segLen = 0;
    if (data->matchText != NULL)
        GlobalFree(data->matchText);
    data->matchText = NULL;
    cs->dwResultReadStrLen = 0;
    COMPSTR_TEXT(cs, dwResultReadStrOffset)[0] = 0;
    COMPSTR_DWORDS(cs, dwResultReadClauseOffset)[0] = 0;
    COMPSTR_DWORDS(cs, dwResultReadClauseOffset)[1] = 0;
    // Boundaries of an abandoned conversion go too: only the reading's end
    // stays behind the start.
    cs->dwCompReadClauseLen = 8;
    COMPSTR_DWORDS(cs, dwCompReadClauseOffset)[1] = cs->dwCompReadStrLen;
    ConvertNow(cs, data);
    ImmUnlockIMCC(*hCompStr);
    if (data->segLen == 0)
        StopTAVO(hCompStr, data);
    else if (autoCommit && data->candList != NULL && data->candList->count == 1 &&
             data->matchText == NULL && data->segLen == data->readLen) {
        ExtendConvert(hCompStr, data);
        ConvertNext(hCompStr, data);
    } else
        DisplayConverted(hCompStr, data);
}

void ConvertNext(HIMCC *hCompStr, PrivateData *data) {
    LPCOMPOSITIONSTRING cs = LockCompStr(*hCompStr);
    if (cs == NULL)
        return;
    ConvertNow(cs, data);
    ImmUnlockIMCC(*hCompStr);
    if (data->segLen != 0) {
        data->mode = MODE_CHOOSING;
        DisplayConverted(hCompStr, data);
    } else {
        MergeResult(hCompStr, data);
        StopTAVO(hCompStr, data);
    }
}

// The candidate at the list cursor up to its explanation, in a new string.
static LPTSTR ChosenText(TabList *candList) {
    LPTSTR text = candList != NULL ? DuplicateString(candList->item) : NULL;
    TruncateString(text, CHAR_ESC);
    return text;
}

void ExtendConvert(HIMCC *hCompStr, PrivateData *data) {
    LPTSTR text = ChosenText(data->candList);
    if (text == NULL)
        return;
    DWORD len = (DWORD)lstrlen(text);
    LPCOMPOSITIONSTRING cs = LockCompStr(*hCompStr);
    DWORD a = cs != NULL ? cs->dwResultReadStrLen : 0;
    if (cs != NULL)
        ImmUnlockIMCC(*hCompStr);
    // The areas grow before anything is recorded, so that a failure
    // leaves the segments chosen so far as they were.
    DWORD count = data->segCount + 1;
    if (cs == NULL || !ResizeCompStr(hCompStr, AREA_COMPREADCLAUSE, count * 4 + 8) ||
        !ResizeCompStr(hCompStr, AREA_RESULTREADSTR, (a + len + 1) * sizeof(TCHAR)) ||
        !ResizeCompStr(hCompStr, AREA_RESULTREADCLAUSE, count * 4 + 4) ||
        (cs = LockCompStr(*hCompStr)) == NULL) {
        GlobalFree(text);
        return;
    }
    data->segStart += data->segLen;
    data->segCount = count;
    data->segLen = 0;
    if (data->matchText != NULL)
        GlobalFree(data->matchText);
    data->matchText = NULL;
    DWORD *readClause = COMPSTR_DWORDS(cs, dwCompReadClauseOffset);
    cs->dwCompReadClauseLen = count * 4 + 8;
    readClause[count + 1] = readClause[count];
    readClause[count] = data->segStart;
    memcpy(COMPSTR_TEXT(cs, dwResultReadStrOffset) + a, text, (len + 1) * sizeof(TCHAR));
    cs->dwResultReadStrLen = a + len;
    cs->dwResultReadClauseLen = count * 4 + 4;
    COMPSTR_DWORDS(cs, dwResultReadClauseOffset)[count] = a + len;
    RequestChange(data, CHANGED_CHOSEN);
    ImmUnlockIMCC(*hCompStr);
    GlobalFree(text);
}

void ReduceConvert(HIMCC *hCompStr, PrivateData *data) {
    LPCOMPOSITIONSTRING cs = LockCompStr(*hCompStr);
    if (cs == NULL)
        return;
    DWORD k = data->segCount;
    if (k == 0) {
        PlayWave(WAVE_REFUSED);
        ImmUnlockIMCC(*hCompStr);
        return;
    }
    DWORD *readClause = COMPSTR_DWORDS(cs, dwCompReadClauseOffset);
    data->segCount = k - 1;
    data->segStart = readClause[k - 1];
    // One more than the segment's length: ConvertNow takes it off again,
    // so the segment is looked up with its former length as the limit.
    data->segLen = readClause[k] - readClause[k - 1] + 1;
    cs->dwCompReadClauseLen = k * 4 + 4;
    readClause[k] = readClause[k + 1];
    DWORD end = COMPSTR_DWORDS(cs, dwResultReadClauseOffset)[k - 1];
    COMPSTR_TEXT(cs, dwResultReadStrOffset)[end] = 0;
    cs->dwResultReadStrLen = end;
    cs->dwResultReadClauseLen = (k - 1) * 4 + 4;
    if (data->matchText != NULL)
        GlobalFree(data->matchText);
    data->matchText = NULL;
    // The block is unlocked first: the next lookup may commit and grow it.
    ImmUnlockIMCC(*hCompStr);
    ConvertNext(hCompStr, data);
}

void MergeResult(HIMCC *hCompStr, PrivateData *data) {
    LPCOMPOSITIONSTRING cs = LockCompStr(*hCompStr);
    if (cs == NULL)
        return;
    DWORD a = cs->dwResultReadStrLen;
    ImmUnlockIMCC(*hCompStr);
    if (!ResizeCompStr(hCompStr, AREA_RESULTSTR, (a + 1) * sizeof(TCHAR)) ||
        !ResizeCompStr(hCompStr, AREA_COMPSTR, (a + 1) * sizeof(TCHAR)) ||
        (cs = LockCompStr(*hCompStr)) == NULL)
        return;
    LPCTSTR chosen = COMPSTR_TEXT(cs, dwResultReadStrOffset);
    memcpy(COMPSTR_TEXT(cs, dwResultStrOffset), chosen, a * sizeof(TCHAR));
    CommitResultStr(cs, data, a);
    ImmUnlockIMCC(*hCompStr);
}
