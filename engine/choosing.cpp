// Keys while candidates or explanations are on show (modes 2 and 3):
// paging, the single view, going back a segment, the character query and
// choosing what the query shows.
#include "engine/choosing.h"

#include "dict/text.h"
#include "engine/chars.h"
#include "frame/compstr.h"
#include "frame/keys.h"
#include "speech/speech.h"
#include "ui/resource.h"

#define PAGE 9

static UINT Unit(TCHAR c) {
    return sizeof(TCHAR) == 1 ? (BYTE)c : (WORD)c;
}

// The position of the key in queryKeys, or -1.
static int QueryKeyOf(const PrivateData *data) {
    if (data->vkey == 0)
        return -1;
    for (int k = 0; queryKeys[k] != 0; k++)
        if (Unit(queryKeys[k]) == Unit(data->vkey))
            return k;
    return -1;
}

// Makes the text the only candidate and chooses it.
static void ChooseText(HIMCC *hCompStr, PrivateData *data, LPCTSTR text) {
    TabList *list = CreateTabList(text);
    if (list == NULL)
        return;
    if (data->candList != NULL)
        DeleteTabList(data->candList);
    data->candList = list;
    ExtendConvert(hCompStr, data);
    ConvertNext(hCompStr, data);
}

static void PageUp(HIMCC *hCompStr, PrivateData *data) {
    TabList *list = data->candList;
    if (list->index < PAGE) {
        PlayWave(WAVE_REFUSED);
        return;
    }
    GotoTabItem(list, list->index - PAGE);
    data->candCursor = list->index;
    DisplayConverted(hCompStr, data);
}

static void PageDown(HIMCC *hCompStr, PrivateData *data) {
    TabList *list = data->candList;
    if (list->index + PAGE < list->count) {
        GotoTabItem(list, list->index + PAGE);
    } else {
        GotoTabItem(list, 0);
        PlayWave(WAVE_WRAPPED);
    }
    data->candCursor = list->index;
    DisplayConverted(hCompStr, data);
}

// Up and Down in the single view stay within the page, wrapping at its
// edges.
static void MoveInPage(PrivateData *data, BOOL down) {
    DWORD cursor = data->candCursor, count = data->candList->count;
    if (down)
        data->candCursor =
            cursor % PAGE == PAGE - 1 || cursor + 1 >= count ? cursor - cursor % PAGE : cursor + 1;
    else
        data->candCursor = cursor % PAGE != 0          ? cursor - 1
                           : cursor + PAGE - 1 < count ? cursor + PAGE - 1
                                                       : count - 1;
}

// A query key on the one candidate that covers the whole reading chooses
// that candidate's character alone.
static void ChooseCharacter(HIMCC *hCompStr, PrivateData *data, int k) {
    LPTSTR item = DuplicateString(data->candList->item);
    if (item == NULL)
        return;
    TruncateString(item, CHAR_ESC);
    LPTSTR character = ExtractChar(item, (DWORD)k);
    GlobalFree(item);
    if (character != NULL) {
        ChooseText(hCompStr, data, character);
        GlobalFree(character);
    }
}

void ChoosingKey(HIMCC *hCompStr, PrivateData *data, DWORD key) {
    if (data->candList == NULL)
        return;
    int k = QueryKeyOf(data);
    if (Unit(data->ch) == CHAR_SPACE) {
        ConvertNext(hCompStr, data);
    } else if (key == KEY_PRIOR) {
        PageUp(hCompStr, data);
    } else if (key == KEY_NEXT) {
        PageDown(hCompStr, data);
    } else if (key == KEY_LEFT && data->pageView) {
        ReduceConvert(hCompStr, data);
    } else if (key == KEY_LEFT) {
        data->pageView = 1;
        data->candCursor -= data->candCursor % PAGE;
        DisplayConverted(hCompStr, data);
    } else if ((key == KEY_UP || key == KEY_DOWN) && data->pageView) {
        data->pageView = 0;
        DisplayConverted(hCompStr, data);
    } else if (key == KEY_UP || key == KEY_DOWN) {
        MoveInPage(data, key == KEY_DOWN);
        DisplayConverted(hCompStr, data);
    } else if (k >= 0 && data->pageView) {
        if (data->candList->count == 1 && data->segLen == data->readLen)
            ChooseCharacter(hCompStr, data, k);
    } else if (k >= 0) {
        data->queryKey = (DWORD)k;
        SetupQuery(hCompStr, data, data->candCursor);
    }
}

// The text that Space chooses from the explanation on show: the queried
// character for a description, the word of a word with a description, or
// the example word itself.
static LPTSTR ShownChoice(const PrivateData *data) {
    LPCTSTR item = data->queryList->item;
    int length = lstrlen(item);
    if (length > 0 && item[length - 1] == ')' && item[0] == '(')
        return DuplicateString(data->queryChar);
    LPTSTR text = DuplicateString(item);
    if (text != NULL && length > 0 && item[length - 1] == ')')
        TruncateString(text, '(');
    return text;
}

// The next or previous explanation, with 514 at either end.
static void StepExplanation(HIMCC *hCompStr, PrivateData *data, BOOL next) {
    BOOL moved = next ? NextTabItem(data->queryList) : PrevTabItem(data->queryList);
    if (moved)
        DisplayQuery(hCompStr, data);
    else
        PlayWave(WAVE_REFUSED);
}

void QueryKey(HIMCC *hCompStr, PrivateData *data, DWORD key) {
    if (data->queryList == NULL)
        return;
    int k = QueryKeyOf(data);
    if (Unit(data->ch) == CHAR_SPACE) {
        if (data->singleChars && data->segLen == data->readLen) {
            LPTSTR text = ShownChoice(data);
            if (text != NULL && text[0] != 0)
                ChooseText(hCompStr, data, text);
            if (text != NULL)
                GlobalFree(text);
        }
    } else if (k >= 0 && (DWORD)k != data->queryKey) {
        if (PerformQuery(hCompStr, data, (DWORD)k))
            data->queryKey = (DWORD)k;
    } else if (k >= 0 || key == KEY_DOWN) {
        StepExplanation(hCompStr, data, TRUE);
    } else if (key == KEY_UP) {
        StepExplanation(hCompStr, data, FALSE);
    } else if (key == KEY_LEFT) {
        data->mode = MODE_CHOOSING;
        DisplayConverted(hCompStr, data);
    }
}
