// Lists made from TAB-separated text, and their cursor.
#include "dict/tablist.h"
#include "tests/core/test_text.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

struct ListDeleter {
    void operator()(TabList *list) const { DeleteTabList(list); }
};
typedef std::unique_ptr<TabList, ListDeleter> ListPtr;

ListPtr Make(const TCHAR *text) {
    return ListPtr(CreateTabList(text));
}

// Every item, read by stepping forward from the first.
std::vector<tstring> Forward(TabList *list) {
    std::vector<tstring> items;
    GotoTabItem(list, 0);
    do
        items.push_back(list->item);
    while (NextTabItem(list));
    return items;
}

TEST(CreateTabList, GivesNoListForNoText) {
    EXPECT_EQ(CreateTabList(nullptr), nullptr);
    EXPECT_EQ(CreateTabList(TEXT("")), nullptr);
}

TEST(TabList, OneItemDoesNotMove) {
    ListPtr list = Make(TEXT("whole"));
    ASSERT_TRUE(list);
    EXPECT_EQ(list->count, 1u);
    EXPECT_EQ(NextTabItem(list.get()), 0);
    EXPECT_EQ(PrevTabItem(list.get()), 0);
    EXPECT_EQ(tstring(list->item), TEXT("whole"));
}

TEST(TabList, NextStopsAtAnEmptyLastItem) {
    ListPtr list = Make(TEXT("a\tb\t"));
    ASSERT_TRUE(list);
    EXPECT_EQ(Forward(list.get()), (std::vector<tstring>{TEXT("a"), TEXT("b"), TEXT("")}));
    LPTSTR last = list->item;
    EXPECT_EQ(NextTabItem(list.get()), 0);
    EXPECT_EQ(list->index, 2u);
    EXPECT_EQ(list->item, last);
}

TEST(TabList, PrevLandsOnAnEmptyItemsTerminator) {
    ListPtr list = Make(TEXT("x\t\ty"));
    ASSERT_TRUE(list);
    ASSERT_EQ(GotoTabItem(list.get(), 2), 1);
    EXPECT_EQ(PrevTabItem(list.get()), 1);
    EXPECT_EQ(list->item, list->buffer + 2);
    EXPECT_EQ(PrevTabItem(list.get()), 1);
    EXPECT_EQ(list->item, list->buffer);
    EXPECT_EQ(PrevTabItem(list.get()), 0);
    EXPECT_EQ(list->index, 0u);
}

TEST(TabList, PrevRetracesEveryStepOfNext) {
    ListPtr list = Make(TEXT("\tlong item\t\tb\t\t\tlast one\t"));
    ASSERT_TRUE(list);
    std::vector<tstring> forward = Forward(list.get());
    ASSERT_EQ(forward.size(), 8u);
    ASSERT_EQ(list->count, 8u);
    for (DWORD i = list->count; i-- > 0;) {
        EXPECT_EQ(list->index, i);
        EXPECT_EQ(tstring(list->item), forward[i]);
        EXPECT_EQ(PrevTabItem(list.get()), i > 0 ? 1 : 0);
    }
}

TEST(GotoTabItem, JumpsAnywhereAndRefusesPastTheEnd) {
    ListPtr list = Make(TEXT("a\tbb\t\tdddd"));
    ASSERT_TRUE(list);
    EXPECT_EQ(GotoTabItem(list.get(), 3), 1);
    EXPECT_EQ(tstring(list->item), TEXT("dddd"));
    EXPECT_EQ(GotoTabItem(list.get(), 1), 1);
    EXPECT_EQ(tstring(list->item), TEXT("bb"));
    LPTSTR before = list->item;
    EXPECT_EQ(GotoTabItem(list.get(), 1), 1);
    EXPECT_EQ(GotoTabItem(list.get(), list->count), 0);
    EXPECT_EQ(list->index, 1u);
    EXPECT_EQ(list->item, before);
}

} // namespace
