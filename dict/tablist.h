// A list made from a TAB-separated string, with a cursor on one item.
// Candidates, readings, explanations and display lines are kept this way.
#ifndef TAVO_DICT_TABLIST_H
#define TAVO_DICT_TABLIST_H

#include "platform/platform.h"

struct TabList {
    LPTSTR item;   // the current item, inside buffer
    DWORD index;   // its number, from 0
    LPTSTR buffer; // the list's copy of the text, TABs replaced by terminators
    DWORD count;   // number of items, never 0
};

TabList *CreateTabList(LPCTSTR text);
void DeleteTabList(TabList *list);
int NextTabItem(TabList *list);
int PrevTabItem(TabList *list);
int GotoTabItem(TabList *list, DWORD n);

#endif
