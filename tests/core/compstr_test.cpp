// The composition-string block on a real input context: its layout, its
// growth, and the writes the engine makes through it.
#include "frame/compstr.h"
#include "platform/posix/imm_host.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

const DWORD kUnit = sizeof(TCHAR);
const DWORD kNewSize = sizeof(COMPOSITIONSTRING) + 6 * 16 * kUnit + 4 * 16;

class CompStr : public ::testing::Test {
protected:
    HIMC imc = nullptr;
    LPINPUTCONTEXT ic = nullptr;
    PrivateData data = {};

    void SetUp() override {
        imc = tavo_CreateInputContext(nullptr, sizeof(PrivateData));
        ASSERT_NE(imc, nullptr);
        ic = ImmLockIMC(imc);
        ASSERT_TRUE(InitCompStr(ic));
    }
    void TearDown() override {
        ImmUnlockIMC(imc);
        ImmDestroyContext(imc);
    }
    // The block as it is now; the pointer stays valid until it moves.
    LPCOMPOSITIONSTRING Block() {
        auto *block = (LPCOMPOSITIONSTRING)ImmLockIMCC(ic->hCompStr);
        ImmUnlockIMCC(ic->hCompStr);
        return block;
    }
    std::vector<DWORD> Offsets() {
        LPCOMPOSITIONSTRING b = Block();
        return {b->dwCompReadAttrOffset,     b->dwCompReadClauseOffset, b->dwCompReadStrOffset,
                b->dwCompAttrOffset,         b->dwCompClauseOffset,     b->dwCompStrOffset,
                b->dwResultReadClauseOffset, b->dwResultReadStrOffset,  b->dwResultClauseOffset,
                b->dwResultStrOffset,        b->dwPrivateOffset};
    }
    std::vector<DWORD> ClauseLengths() {
        LPCOMPOSITIONSTRING b = Block();
        return {b->dwCompReadClauseLen, b->dwCompClauseLen, b->dwResultReadClauseLen,
                b->dwResultClauseLen};
    }
};

std::vector<DWORD> NewOffsets() {
    std::vector<DWORD> offsets;
    DWORD offset = sizeof(COMPOSITIONSTRING);
    const DWORD room[] = {16 * kUnit, 16,         16 * kUnit, 16 * kUnit, 16, 16 * kUnit,
                          16,         16 * kUnit, 16,         16 * kUnit, 0};
    for (DWORD r : room) {
        offsets.push_back(offset);
        offset += r;
    }
    return offsets;
}

TEST(CompStrLayout, NewBlockSizeMatchesTheFlavour) {
#ifdef UNICODE
    EXPECT_EQ(kNewSize, 356u);
    EXPECT_EQ(NewOffsets()[AREA_COMPSTR], 228u);
#else
    EXPECT_EQ(kNewSize, 260u);
    EXPECT_EQ(NewOffsets()[AREA_COMPSTR], 180u);
#endif
}

TEST_F(CompStr, NewBlockIsLaidOutAndEmpty) {
    LPCOMPOSITIONSTRING b = Block();
    EXPECT_EQ(b->dwSize, kNewSize);
    EXPECT_EQ(ImmGetIMCCSize(ic->hCompStr), kNewSize);
    EXPECT_EQ(b->dwPrivateSize, 0u);
    EXPECT_EQ(Offsets(), NewOffsets());
    EXPECT_EQ(ClauseLengths(), std::vector<DWORD>(4, 16));
    EXPECT_EQ(b->dwCompStrLen, 0u);
    EXPECT_EQ(b->dwCursorPos, 0u);
    const BYTE *areas = (const BYTE *)(b + 1);
    EXPECT_EQ(std::vector<BYTE>(areas, areas + kNewSize - sizeof(*b)),
              std::vector<BYTE>(kNewSize - sizeof(*b), 0));
}

TEST_F(CompStr, InitShrinksAGrownBlockBackAndRefillsIt) {
    ASSERT_TRUE(ResizeCompStr(&ic->hCompStr, AREA_RESULTSTR, 200));
    ASSERT_TRUE(UpdateCompStr(&ic->hCompStr, &data, TEXT("abc")));
    ASSERT_TRUE(InitCompStr(ic));
    EXPECT_EQ(Block()->dwSize, kNewSize);
    EXPECT_EQ(Offsets(), NewOffsets());
    EXPECT_EQ(Block()->dwCompStrLen, 0u);
}

TEST_F(CompStr, ResetEmptiesButKeepsTheGrownLayout) {
    ASSERT_TRUE(ResizeCompStr(&ic->hCompStr, AREA_COMPSTR, 100));
    ASSERT_TRUE(UpdateCompStr(&ic->hCompStr, &data, TEXT("hello")));
    std::vector<DWORD> grown = Offsets();
    DWORD size = Block()->dwSize;
    ResetCompStr(Block());
    ResetCompStr(nullptr);
    LPCOMPOSITIONSTRING b = Block();
    EXPECT_EQ(ClauseLengths(), std::vector<DWORD>(4, 8));
    EXPECT_EQ(b->dwCompStrLen, 0u);
    EXPECT_EQ(b->dwCompAttrLen, 0u);
    EXPECT_EQ(b->dwCursorPos, 0u);
    EXPECT_EQ(COMPSTR_TEXT(b, dwCompStrOffset)[0], 0);
    EXPECT_EQ(COMPSTR_DWORDS(b, dwCompClauseOffset)[1], 0u);
    EXPECT_EQ(Offsets(), grown);
    EXPECT_EQ(b->dwSize, size);
}

TEST_F(CompStr, AskingForNoMoreThanTheCapacityChangesNothing) {
    for (int area = 0; area < 10; area++)
        EXPECT_TRUE(
            ResizeCompStr(&ic->hCompStr, area, NewOffsets()[area + 1] - NewOffsets()[area]));
    EXPECT_TRUE(ResizeCompStr(&ic->hCompStr, AREA_PRIVATE, 0));
    EXPECT_EQ(Offsets(), NewOffsets());
    EXPECT_EQ(Block()->dwSize, kNewSize);
}

TEST_F(CompStr, GrowingAnAreaMovesTheLaterOnesAndTheirBytes) {
    // Mark the first byte of each area to see the bytes travel with it.
    LPCOMPOSITIONSTRING b = Block();
    std::vector<DWORD> before = Offsets();
    for (int area = 0; area < 10; area++)
        ((BYTE *)b)[before[area]] = (BYTE)(0xA0 + area);
    DWORD capacity = before[AREA_COMPSTR + 1] - before[AREA_COMPSTR];
    ASSERT_TRUE(ResizeCompStr(&ic->hCompStr, AREA_COMPSTR, capacity + 1));
    b = Block();
    EXPECT_EQ(b->dwSize, kNewSize + 16); // 372 with UTF-16 text
    EXPECT_EQ(ImmGetIMCCSize(ic->hCompStr), kNewSize + 16);
    std::vector<DWORD> after = Offsets();
    for (int area = 0; area < 11; area++)
        EXPECT_EQ(after[area], before[area] + (area > AREA_COMPSTR ? 16 : 0)) << area;
    for (int area = 0; area < 10; area++)
        EXPECT_EQ(((BYTE *)b)[after[area]], 0xA0 + area) << area;
    // A larger request grows by exactly what is missing.
    ASSERT_TRUE(ResizeCompStr(&ic->hCompStr, AREA_COMPREADATTR, 16 * kUnit + 40));
    EXPECT_EQ(Block()->dwSize, kNewSize + 16 + 40);
    EXPECT_EQ(Offsets()[AREA_COMPREADCLAUSE], before[AREA_COMPREADCLAUSE] + 40);
    ASSERT_TRUE(ResizeCompStr(&ic->hCompStr, AREA_PRIVATE, 4));
    EXPECT_EQ(Block()->dwSize, kNewSize + 16 + 40 + 16);
}

TEST_F(CompStr, BadAreasAndImpossibleSizesAreRefused) {
    EXPECT_FALSE(ResizeCompStr(&ic->hCompStr, -1, 1));
    EXPECT_FALSE(ResizeCompStr(&ic->hCompStr, 11, 1));
    EXPECT_FALSE(ResizeCompStr(&ic->hCompStr, AREA_COMPSTR, 0xFFFFFFF0));
    EXPECT_EQ(Block()->dwSize, kNewSize);
    // A header whose areas run past the block is not trusted.
    Block()->dwPrivateOffset = kNewSize + 100;
    EXPECT_FALSE(ResizeCompStr(&ic->hCompStr, AREA_RESULTSTR, 1000));
}

// A block the module did not lay out (all zeros, as one made again after
// a failed selection, or areas out of order or misaligned) is not locked
// for writing, so nothing is written over its header.
TEST_F(CompStr, ABlockNotLaidOutIsNotLocked) {
    LPCOMPOSITIONSTRING locked = LockCompStr(ic->hCompStr);
    ASSERT_NE(locked, nullptr);
    ImmUnlockIMCC(ic->hCompStr);
    Block()->dwCompStrOffset += 2; // misaligned
    EXPECT_EQ(LockCompStr(ic->hCompStr), nullptr);
    Block()->dwCompStrOffset = Block()->dwResultStrOffset + 4; // out of order
    EXPECT_EQ(LockCompStr(ic->hCompStr), nullptr);
    std::memset(Block(), 0, kNewSize);
    EXPECT_EQ(LockCompStr(ic->hCompStr), nullptr);
    EXPECT_EQ(ImmGetIMCCLockCount(ic->hCompStr), 0u);
    EXPECT_FALSE(UpdateCompStr(&ic->hCompStr, &data, TEXT("abc")));
    EXPECT_EQ(Block()->dwSize, 0u);
    // The next selection lays it out again.
    ASSERT_TRUE(InitCompStr(ic));
    EXPECT_EQ(Offsets(), NewOffsets());
}

TEST_F(CompStr, ResizeIMCCCreatesResizesAndKeepsTheHandle) {
    HIMCC handle = nullptr;
    ASSERT_TRUE(ResizeIMCC(&handle, 24));
    EXPECT_EQ(ImmGetIMCCSize(handle), 24u);
    EXPECT_TRUE(ResizeIMCC(&handle, 24));
    ASSERT_TRUE(ResizeIMCC(&handle, 96));
    EXPECT_EQ(ImmGetIMCCSize(handle), 96u);
    ImmDestroyIMCC(handle);
}

TEST_F(CompStr, UpdateSetsTextClauseCursorAndRequestsAChange) {
    const TCHAR text[] = TEXT("abcdefghijklmnopqrstuvwxyz0123456789");
    const DWORD n = lstrlen(text);
    ASSERT_TRUE(UpdateCompStr(&ic->hCompStr, &data, text));
    LPCOMPOSITIONSTRING b = Block();
    EXPECT_EQ(std::memcmp(COMPSTR_TEXT(b, dwCompStrOffset), text, (n + 1) * kUnit), 0);
    EXPECT_EQ(b->dwCompStrLen, n);
    EXPECT_EQ(b->dwCursorPos, n);
    EXPECT_EQ(b->dwCompAttrLen, n);
    EXPECT_EQ(b->dwCompClauseLen, 16u);
    EXPECT_EQ(COMPSTR_DWORDS(b, dwCompClauseOffset)[0], 0u);
    EXPECT_EQ(COMPSTR_DWORDS(b, dwCompClauseOffset)[1], n);
    EXPECT_GE(b->dwResultReadClauseOffset - b->dwCompStrOffset, (n + 1) * kUnit);
    EXPECT_GE(b->dwCompClauseOffset - b->dwCompAttrOffset, n);
    EXPECT_EQ(data.msgCount, 1u);
    EXPECT_EQ(data.msgFlags, (DWORD)MSG_CHANGE);
    EXPECT_EQ(data.gcsFlags, 0x1B8u);
}

TEST_F(CompStr, UpdateWithNothingStillRequestsAChange) {
    ASSERT_TRUE(UpdateCompStr(&ic->hCompStr, &data, TEXT("xyz")));
    data = {};
    ASSERT_TRUE(UpdateCompStr(&ic->hCompStr, &data, TEXT("")));
    LPCOMPOSITIONSTRING b = Block();
    EXPECT_EQ(b->dwCompStrLen, 0u);
    EXPECT_EQ(b->dwCursorPos, 0u);
    EXPECT_EQ(COMPSTR_DWORDS(b, dwCompClauseOffset)[1], 0u);
    EXPECT_EQ(COMPSTR_TEXT(b, dwCompStrOffset)[0], 0);
    EXPECT_EQ(data.msgCount, 1u);
    EXPECT_EQ(data.gcsFlags, 0x1B8u);
}

TEST_F(CompStr, StopRequestsTheEndAndDropsTheQueryList) {
    data.queryList = CreateTabList(TEXT("one\ttwo"));
    data.mode = MODE_QUERY;
    StopTAVO(&ic->hCompStr, &data);
    EXPECT_EQ(data.msgCount, 1u);
    EXPECT_EQ(data.msgFlags, (DWORD)MSG_END);
    EXPECT_EQ(data.queryList, nullptr);
    EXPECT_EQ(data.mode, (DWORD)MODE_QUERY);
    // Without a block nothing at all happens.
    HIMCC none = nullptr;
    PrivateData untouched = {};
    StopTAVO(&none, &untouched);
    EXPECT_EQ(untouched.msgCount, 0u);
    EXPECT_EQ(untouched.msgFlags, 0u);
}

} // namespace
