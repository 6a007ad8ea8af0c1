// Global memory: fixed and movable blocks, locks, growth and freeing.
#include "platform/platform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <thread>
#include <vector>

namespace {

bool allZero(const void *p, size_t from, size_t to) {
    auto *bytes = static_cast<const unsigned char *>(p);
    return std::all_of(bytes + from, bytes + to, [](unsigned char b) { return b == 0; });
}

TEST(GlobalMemory, FixedZeroInitAndEmptyBlocks) {
    // A fixed block is its own pointer, with no lock count.
    HGLOBAL fixed = GlobalAlloc(GPTR, 100);
    HGLOBAL movable = GlobalAlloc(GHND, 100);
    EXPECT_EQ(GlobalLock(fixed), fixed);
    EXPECT_TRUE(GlobalUnlock(fixed));
    EXPECT_EQ(GlobalHandle(fixed), fixed);
    EXPECT_EQ(GlobalSize(fixed), 100u);
    EXPECT_TRUE(allZero(fixed, 0, 100));
    EXPECT_TRUE(allZero(GlobalLock(movable), 0, 100));
    GlobalFree(fixed);
    GlobalFree(movable);

    HGLOBAL emptyFixed = GlobalAlloc(GMEM_FIXED, 0);
    ASSERT_NE(emptyFixed, nullptr);
    EXPECT_EQ(GlobalSize(emptyFixed), 0u);
    EXPECT_EQ(GlobalFree(emptyFixed), nullptr);

    // An empty movable block is a discarded one: a handle without memory.
    HGLOBAL emptyMovable = GlobalAlloc(GMEM_MOVEABLE, 0);
    ASSERT_NE(emptyMovable, nullptr);
    EXPECT_EQ(GlobalLock(emptyMovable), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_DISCARDED));
    EXPECT_TRUE(GlobalFlags(emptyMovable) & GMEM_DISCARDED);
    EXPECT_EQ(GlobalReAlloc(emptyMovable, 8, GMEM_ZEROINIT), emptyMovable);
    EXPECT_TRUE(allZero(GlobalLock(emptyMovable), 0, 8));
    EXPECT_EQ(GlobalFree(emptyMovable), nullptr);
}

TEST(GlobalMemory, MovableBlocksCountLocks) {
    HGLOBAL block = GlobalAlloc(GHND, 16);
    void *data = GlobalLock(block);
    ASSERT_NE(data, nullptr);
    EXPECT_NE(data, block);
    EXPECT_EQ(GlobalLock(block), data);
    EXPECT_EQ(GlobalFlags(block) & GMEM_LOCKCOUNT, 2u);
    EXPECT_EQ(GlobalHandle(data), block);
    EXPECT_TRUE(GlobalUnlock(block));
    SetLastError(ERROR_GEN_FAILURE);
    EXPECT_FALSE(GlobalUnlock(block));
    EXPECT_EQ(GetLastError(), DWORD(NO_ERROR));
    EXPECT_FALSE(GlobalUnlock(block));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_LOCKED));
    EXPECT_EQ(GlobalFree(block), nullptr);
}

TEST(GlobalMemory, ReAllocKeepsContentAndZeroFillsGrowth) {
    const char text[] = "0123456789abcdef";
    for (UINT kind : {GMEM_FIXED, GMEM_MOVEABLE}) {
        HGLOBAL block = GlobalAlloc(kind, 16);
        std::memcpy(GlobalLock(block), text, 16);
        GlobalUnlock(block);
        block = GlobalReAlloc(block, 1 << 16, GMEM_MOVEABLE | GMEM_ZEROINIT);
        ASSERT_NE(block, nullptr);
        EXPECT_EQ(GlobalSize(block), SIZE_T(1 << 16));
        char *data = static_cast<char *>(GlobalLock(block));
        EXPECT_EQ(std::memcmp(data, text, 16), 0);
        EXPECT_TRUE(allZero(data, 16, 1 << 16));
        GlobalUnlock(block);
        GlobalFree(block);
    }
}

TEST(GlobalMemory, ReAllocMovesOnlyWhenAllowed) {
    // A fixed block grows far only if it may move; shrinking stays put.
    HGLOBAL fixed = GlobalAlloc(GMEM_FIXED, 16);
    std::memcpy(fixed, "keep", 5);
    EXPECT_EQ(GlobalReAlloc(fixed, 1 << 20, 0), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_ENOUGH_MEMORY));
    EXPECT_STREQ(static_cast<char *>(fixed), "keep");
    EXPECT_EQ(GlobalReAlloc(fixed, 8, 0), fixed);
    EXPECT_EQ(GlobalSize(fixed), 8u);
    GlobalFree(fixed);

    // A locked movable block keeps its address unless told it may move.
    HGLOBAL movable = GlobalAlloc(GMEM_MOVEABLE, 16);
    void *data = GlobalLock(movable);
    EXPECT_EQ(GlobalReAlloc(movable, 1 << 20, 0), nullptr);
    EXPECT_EQ(GlobalLock(movable), data);
    EXPECT_EQ(GlobalReAlloc(movable, 1 << 20, GMEM_MOVEABLE), movable);
    EXPECT_EQ(GlobalSize(movable), SIZE_T(1 << 20));
    GlobalFree(movable);
}

TEST(GlobalMemory, InvalidHandlesFailWithoutCrashing) {
    alignas(16) char notOurs[64] = {};
    HGLOBAL movable = GlobalAlloc(GMEM_MOVEABLE, 8);
    void *movableData = GlobalLock(movable);
    const HGLOBAL invalid[] = {HGLOBAL(0x1234), HGLOBAL(0x10018), notOurs + 32, movableData};
    for (HGLOBAL mem : invalid) {
        SetLastError(NO_ERROR);
        EXPECT_EQ(GlobalFree(mem), mem);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
        EXPECT_EQ(GlobalSize(mem), 0u);
        EXPECT_EQ(GlobalFlags(mem), UINT(GMEM_INVALID_HANDLE));
        EXPECT_EQ(GlobalReAlloc(mem, 4, GMEM_MOVEABLE), nullptr);
    }
    EXPECT_EQ(GlobalFree(movable), nullptr);
    EXPECT_EQ(GlobalFree(movable), movable);
    EXPECT_EQ(GlobalLock(movable), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_EQ(GlobalFree(nullptr), nullptr);
}

TEST(GlobalMemory, ThreadsAllocateConcurrently) {
    auto work = [] {
        for (int i = 0; i < 2000; ++i) {
            HGLOBAL fixed = GlobalAlloc(GPTR, i % 64);
            HGLOBAL movable = GlobalAlloc(GHND, 1 + i % 64);
            static_cast<char *>(GlobalLock(movable))[0] = 1;
            GlobalUnlock(movable);
            movable = GlobalReAlloc(movable, 128, GMEM_MOVEABLE);
            EXPECT_EQ(GlobalFree(movable), nullptr);
            EXPECT_EQ(GlobalFree(fixed), nullptr);
        }
    };
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back(work);
    for (auto &thread : threads)
        thread.join();
}

} // namespace
