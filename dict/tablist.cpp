// A cursor over the items of a TAB-separated string.
#include "dict/tablist.h"

#define TAB_CHAR 9

// Replaces every TAB of the buffer with a terminator; returns the number
// of items this leaves.
static DWORD SplitAtTabs(LPTSTR buffer, int length) {
    DWORD count = 1;
    for (int i = length - 1; i >= 0; i--) {
        if (buffer[i] == TAB_CHAR) {
            buffer[i] = 0;
            count++;
        }
    }
    return count;
}

TabList *CreateTabList(LPCTSTR text) {
    if (!text)
        return 0;
    int length = lstrlen(text);
    if (length == 0)
        return 0;
    TabList *list = (TabList *)GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, sizeof(TabList));
    if (!list)
        return 0;
    list->buffer = (LPTSTR)GlobalAlloc(GMEM_FIXED, ((SIZE_T)length + 1) * sizeof(TCHAR));
    if (!list->buffer) {
        GlobalFree(list);
        return 0;
    }
    lstrcpy(list->buffer, text);
    list->count = SplitAtTabs(list->buffer, length);
    list->index = 0;
    list->item = list->buffer;
    return list;
}

void DeleteTabList(TabList *list) {
    if (!list)
        return;
    if (list->buffer)
        GlobalFree(list->buffer);
    GlobalFree(list);
}

// The item after the one at item: past its text and its terminator.
static LPTSTR FollowingItem(LPTSTR item) {
    return item + lstrlen(item) + 1;
}

int NextTabItem(TabList *list) {
    if (list->index + 1 >= list->count)
        return 0;
    list->index++;
    list->item = FollowingItem(list->item);
    return 1;
}

int PrevTabItem(TabList *list) {
    if (list->index == 0)
        return 0;
    list->index--;
    if (list->index == 0) {
        list->item = list->buffer;
        return 1;
    }
    // Step onto the previous item's terminator, then back to its start.
    LPTSTR p = list->item - 1;
    while (p[-1] != 0)
        p--;
    list->item = p;
    return 1;
}

int GotoTabItem(TabList *list, DWORD n) {
    if (n >= list->count)
        return 0;
    if (n == list->index)
        return 1;
    list->index = n;
    list->item = list->buffer;
    for (DWORD i = 0; i < n; i++)
        list->item = FollowingItem(list->item);
    return 1;
}
