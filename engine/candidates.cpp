// The candidates of the current segment as composition text, in pages of
// nine numbered 1 to 9 or one at a time, and the keys that choose one or
// ask about one of its characters.
#include "engine/engine.h"
#include "dict/text.h"
#include "engine/chars.h"
#include "frame/compstr.h"
#include "frame/globdata.h"
#include "frame/keys.h"
#include "ui/resource.h"

#define PAGE_SIZE 9
#define ENTRY_GAP TEXT("   ")

// A new string of the first n units of text.
static LPTSTR CopyUnits(LPCTSTR text, int n) {
    LPTSTR copy = (LPTSTR)GlobalAlloc(GMEM_FIXED, ((SIZE_T)n + 1) * sizeof(TCHAR));
    if (copy == NULL)
        return NULL;
    for (int i = 0; i < n; i++)
        copy[i] = text[i];
    copy[n] = 0;
    return copy;
}

// Appends more to *text, which is replaced by a new, longer string; on
// failure *text is freed and set to null, so a chain of appends just fails.
static void Append(LPTSTR *text, LPCTSTR more) {
    if (*text == NULL || more == NULL)
        return;
    LPTSTR joined =
        (LPTSTR)GlobalAlloc(GMEM_FIXED, (lstrlen(*text) + lstrlen(more) + 1) * sizeof(TCHAR));
    if (joined != NULL) {
        lstrcpy(joined, *text);
        lstrcat(joined, more);
    }
    GlobalFree(*text);
    *text = joined;
}

static void AppendFree(LPTSTR *text, LPTSTR more) {
    if (more == NULL) {
        GlobalFree(*text);
        *text = NULL;
        return;
    }
    Append(text, more);
    GlobalFree(more);
}

// The shown number of the candidate at index, and a space.
static void AppendNumber(LPTSTR *text, DWORD index) {
    TCHAR number[3] = {(TCHAR)('1' + index % PAGE_SIZE), ' ', 0};
    Append(text, number);
}

// The part of a candidate that is chosen: the text before its ESC.
static LPTSTR ItemHead(LPCTSTR item) {
    LPTSTR head = DuplicateString(item);
    TruncateString(head, CHAR_ESC);
    return head;
}

LPTSTR FormatExplanation(LPCTSTR explanation, LPCTSTR head) {
    int n = lstrlen(explanation);
    if (n == 0 || explanation[n - 1] != ')')
        return DuplicateString(explanation);
    if (explanation[0] == '(') {
        // "(text)" after the head: the head, two spaces, the text.
        LPTSTR text = DuplicateString(head);
        Append(&text, TEXT("  "));
        AppendFree(&text, CopyUnits(explanation + 1, n - 2));
        return text;
    }
    // "word(text)": the word, two spaces, the text.
    LPTSTR text = CopyUnits(explanation, n - 1);
    if (text == NULL)
        return NULL;
    for (int i = 0; text[i] != 0; i++) {
        if (text[i] == '(') {
            LPTSTR rest = DuplicateString(text + i + 1);
            text[i] = 0;
            Append(&text, TEXT("  "));
            AppendFree(&text, rest);
            break;
        }
    }
    return text;
}

LPTSTR FormatConverted(LPCTSTR item) {
    for (int i = 0; item[i] != 0; i++) {
        if (item[i] == CHAR_ESC) {
            LPTSTR head = CopyUnits(item, i);
            LPTSTR text = head != NULL ? FormatExplanation(item + i + 1, head) : NULL;
            if (head != NULL)
                GlobalFree(head);
            return text;
        }
    }
    return DuplicateString(item);
}

// The candidate at candCursor alone, with its number on the page.
static LPTSTR FormatSingle(PrivateData *data) {
    TabList *list = data->candList;
    GotoTabItem(list, data->candCursor);
    LPTSTR text = DuplicateString(TEXT(""));
    AppendNumber(&text, list->index);
    AppendFree(&text, FormatConverted(list->item));
    return text;
}

// The page that starts at the list cursor, the entries separated by three
// spaces, after the bare character when every candidate is one.
static LPTSTR FormatPage(PrivateData *data) {
    TabList *list = data->candList;
    if (list->count == 1)
        return ItemHead(list->item);
    LPTSTR text = DuplicateString(TEXT(""));
    if (data->singleChars) {
        AppendFree(&text, ItemHead(list->item));
        Append(&text, ENTRY_GAP);
    }
    for (DWORD n = 0; n < PAGE_SIZE; n++) {
        AppendNumber(&text, n);
        AppendFree(&text, FormatConverted(list->item));
        if (n + 1 == PAGE_SIZE || !NextTabItem(list))
            break;
        Append(&text, ENTRY_GAP);
    }
    return text;
}

void DisplayConverted(HIMCC *hCompStr, PrivateData *data) {
    TabList *list = data->candList;
    if (list == NULL)
        return;
    DWORD pageStart = list->index;
    LPTSTR text = data->pageView ? FormatPage(data) : FormatSingle(data);
    GotoTabItem(list, pageStart);
    if (text != NULL) {
        UpdateCompStr(hCompStr, data, text);
        GlobalFree(text);
    }
}

// Chooses the candidate at index, or refuses when the list has none there.
static void ChooseCandidate(HIMCC *hCompStr, PrivateData *data, DWORD index) {
    if (!GotoTabItem(data->candList, index)) {
        PlayWave(WAVE_REFUSED);
        return;
    }
    ExtendConvert(hCompStr, data);
    ConvertNext(hCompStr, data);
}

static void QueryCandidate(HIMCC *hCompStr, PrivateData *data, DWORD index) {
    if (index < data->candList->count)
        SetupQuery(hCompStr, data, index);
}

// Position of ch among the phrase keys of the dot keyboard, or -1.
static int PhraseKeyPosition(TCHAR ch) {
    for (int p = 0; ch != 0 && phraseKeys[p] != 0; p++)
        if (phraseKeys[p] == ch)
            return p;
    return -1;
}

int PhraseChar(HIMCC *hCompStr, PrivateData *data, DWORD key, const BYTE *keyState) {
    TCHAR ch = data->ch, vkey = data->vkey;
    if (ch == CHAR_ENTER) {
        MergeResult(hCompStr, data);
        StopTAVO(hCompStr, data);
        return 1;
    }
    if (ch == CHAR_BACKSPACE) {
        data->mode = MODE_READING;
        DisplayReading(hCompStr, data);
        return 1;
    }
    if (data->candList == NULL)
        return 0;
    DWORD pageStart = data->candList->index;
    if (ch >= '1' && ch <= '9') {
        ChooseCandidate(hCompStr, data, pageStart + (ch - '1'));
        return 1;
    }
    if ((keyState[VK_SHIFT] & 0x80) && vkey >= '1' && vkey <= '9') {
        QueryCandidate(hCompStr, data, pageStart + (vkey - '1'));
        return 1;
    }
    int p = globData.dotKeyboard ? PhraseKeyPosition(ch) : -1;
    if (p >= 0) {
        QueryCandidate(hCompStr, data, pageStart + p);
        return 1;
    }
    if (key == KEY_RIGHT) {
        ChooseCandidate(hCompStr, data, data->candCursor);
        return 1;
    }
    return 0;
}
