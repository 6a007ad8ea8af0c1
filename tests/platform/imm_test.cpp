// Input-context blocks, contexts, message delivery, status notifications
// and composition-string reads.
#include "platform/posix/imm_host.h"
#include "tests/helpers/recording_window.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

TEST(ImmBlocks, StartZeroedAndCountLocks) {
    HIMCC block = ImmCreateIMCC(64);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(ImmGetIMCCSize(block), 64u);
    auto *bytes = static_cast<BYTE *>(ImmLockIMCC(block));
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(std::vector<BYTE>(bytes, bytes + 64), std::vector<BYTE>(64, 0));
    EXPECT_EQ(ImmLockIMCC(block), bytes);
    EXPECT_EQ(ImmGetIMCCLockCount(block), 2u);
    ImmUnlockIMCC(block);
    ImmUnlockIMCC(block);
    EXPECT_EQ(ImmGetIMCCLockCount(block), 0u);
    EXPECT_EQ(ImmDestroyIMCC(block), nullptr);
    EXPECT_EQ(ImmLockIMCC(block), nullptr);
}

TEST(ImmBlocks, EmptyBlockCanStillBeLocked) {
    HIMCC block = ImmCreateIMCC(0);
    EXPECT_NE(ImmLockIMCC(block), nullptr);
    ImmUnlockIMCC(block);
    ImmDestroyIMCC(block);
}

TEST(ImmBlocks, GrowthKeepsContentAndZeroFillsEvenWhenMoved) {
    HIMCC block = ImmCreateIMCC(16);
    auto *before = static_cast<BYTE *>(ImmLockIMCC(block));
    std::memcpy(before, "0123456789abcdef", 16);
    // Still locked: the block may move all the same.
    ASSERT_EQ(ImmReSizeIMCC(block, 1 << 20), block);
    EXPECT_EQ(ImmGetIMCCSize(block), 1u << 20);
    auto *after = static_cast<BYTE *>(ImmLockIMCC(block));
    ASSERT_NE(after, nullptr);
    EXPECT_EQ(std::memcmp(after, "0123456789abcdef", 16), 0);
    EXPECT_EQ(std::vector<BYTE>(after + 16, after + (1 << 20)),
              std::vector<BYTE>((1 << 20) - 16, 0));
    EXPECT_EQ(ImmGetIMCCLockCount(block), 2u);
    ImmDestroyIMCC(block);
}

TEST(ImmBlocks, MadeUpHandlesAreRefused) {
    auto bogus = reinterpret_cast<HIMCC>(static_cast<uintptr_t>(0x12345678));
    EXPECT_EQ(ImmLockIMCC(bogus), nullptr);
    EXPECT_EQ(ImmReSizeIMCC(bogus, 8), nullptr);
    EXPECT_EQ(ImmGetIMCCSize(bogus), 0u);
    EXPECT_EQ(ImmDestroyIMCC(bogus), bogus);
}

// What the module and the context's window hear, in order.
struct Heard {
    std::string what;
    HWND window;
    DWORD a, b, c;
    bool operator==(const Heard &) const = default;
};

struct Recorder {
    std::vector<Heard> heard;
    std::vector<BOOL> openDuringNotify;
    std::function<void()> onMessage;
};

Recorder *recorder = nullptr;

BOOL WINAPI recordNotify(HIMC imc, DWORD action, DWORD index, DWORD value) {
    recorder->heard.push_back({"module", nullptr, action, index, value});
    recorder->openDuringNotify.push_back(ImmGetOpenStatus(imc));
    return TRUE;
}

// The module in use: only NotifyIME, recorded.
TAVO_IMEMODULE recordingModule() {
    TAVO_IMEMODULE module = {};
    module.NotifyIME = recordNotify;
    return module;
}

class ImmContext : public ::testing::Test {
protected:
    void SetUp() override {
        recorder = &heard;
        TAVO_IMEMODULE module = recordingModule();
        tavo_SetImeModule(&module);
        window.onMessage = [this](UINT message, WPARAM wParam, LPARAM lParam) {
            if (message >= WM_IME_STARTCOMPOSITION && message <= WM_IME_KEYUP) {
                heard.heard.push_back(
                    {"window", window.handle, message, DWORD(wParam), DWORD(lParam)});
                if (heard.onMessage)
                    heard.onMessage();
            }
            return std::optional<LRESULT>();
        };
        imc = tavo_CreateInputContext(window.handle, 100);
        ASSERT_NE(imc, nullptr);
    }
    void TearDown() override {
        tavo_SetImeModule(nullptr);
        ImmDestroyContext(imc);
        recorder = nullptr;
    }

    // Leaves messages in the context's buffer as a module does.
    void queue(const std::vector<TRANSMSG> &messages, DWORD claimed) {
        LPINPUTCONTEXT context = ImmLockIMC(imc);
        context->hMsgBuf = ImmReSizeIMCC(context->hMsgBuf, messages.size() * sizeof(TRANSMSG));
        auto *buffer = static_cast<TRANSMSG *>(ImmLockIMCC(context->hMsgBuf));
        std::copy(messages.begin(), messages.end(), buffer);
        ImmUnlockIMCC(context->hMsgBuf);
        context->dwNumMsgBuf = claimed;
        ImmUnlockIMC(imc);
    }

    DWORD pending() {
        LPINPUTCONTEXT context = ImmLockIMC(imc);
        DWORD count = context->dwNumMsgBuf;
        ImmUnlockIMC(imc);
        return count;
    }

    Recorder heard;
    tests::RecordingWindow window;
    HIMC imc = nullptr;
};

TEST_F(ImmContext, ComesWithItsBlocksAndCountsLocks) {
    LPINPUTCONTEXT context = ImmLockIMC(imc);
    ASSERT_NE(context, nullptr);
    EXPECT_EQ(context->hWnd, window.handle);
    EXPECT_FALSE(context->fOpen);
    EXPECT_EQ(ImmGetIMCCSize(context->hPrivate), 100u);
    auto *comp = static_cast<COMPOSITIONSTRING *>(ImmLockIMCC(context->hCompStr));
    ASSERT_NE(comp, nullptr);
    EXPECT_EQ(comp->dwSize, sizeof(COMPOSITIONSTRING));
    EXPECT_EQ(comp->dwCompStrLen, 0u);
    ImmUnlockIMCC(context->hCompStr);
    for (HIMCC block : {context->hCandInfo, context->hGuideLine, context->hMsgBuf}) {
        EXPECT_NE(ImmLockIMCC(block), nullptr);
        ImmUnlockIMCC(block);
    }
    EXPECT_EQ(ImmLockIMC(imc), context);
    EXPECT_EQ(ImmGetIMCLockCount(imc), 2u);
    EXPECT_TRUE(ImmUnlockIMC(imc));
    EXPECT_TRUE(ImmUnlockIMC(imc));
    EXPECT_EQ(ImmGetIMCLockCount(imc), 0u);
    EXPECT_EQ(ImmGetContext(window.handle), imc);
}

TEST(ImmContexts, DestroyedOrMadeUpContextsAreRefused) {
    IMEINFO info = {};
    info.dwPrivateDataSize = 24;
    tavo_SetImeInfo(&info);
    HIMC imc = ImmCreateContext();
    LPINPUTCONTEXT context = ImmLockIMC(imc);
    ASSERT_NE(context, nullptr);
    EXPECT_EQ(ImmGetIMCCSize(context->hPrivate), 24u);
    ImmUnlockIMC(imc);
    EXPECT_TRUE(ImmDestroyContext(imc));
    EXPECT_EQ(ImmLockIMC(imc), nullptr);
    EXPECT_FALSE(ImmDestroyContext(imc));
    EXPECT_FALSE(ImmSetOpenStatus(imc, TRUE));
    EXPECT_FALSE(ImmGenerateMessage(imc));
    tavo_SetImeInfo(nullptr);
}

TEST_F(ImmContext, GeneratedMessagesGoInOrderAndTheBufferEmpties) {
    queue({{WM_IME_STARTCOMPOSITION, 0, 0},
           {WM_IME_COMPOSITION, 'a', GCS_COMPSTR},
           {WM_IME_ENDCOMPOSITION, 0, 0}},
          3);
    EXPECT_TRUE(ImmGenerateMessage(imc));
    EXPECT_EQ(pending(), 0u);
    std::vector<Heard> expected = {{"window", window.handle, WM_IME_STARTCOMPOSITION, 0, 0},
                                   {"window", window.handle, WM_IME_COMPOSITION, 'a', GCS_COMPSTR},
                                   {"window", window.handle, WM_IME_ENDCOMPOSITION, 0, 0}};
    EXPECT_EQ(heard.heard, expected);
    EXPECT_TRUE(ImmGenerateMessage(imc));
    EXPECT_EQ(heard.heard.size(), 3u);
}

TEST_F(ImmContext, MessagesQueuedDuringDeliveryWaitForTheNextRound) {
    queue({{WM_IME_STARTCOMPOSITION, 0, 0}}, 1);
    heard.onMessage = [this]() {
        heard.onMessage = nullptr;
        queue({{WM_IME_ENDCOMPOSITION, 0, 0}}, 1);
    };
    ImmGenerateMessage(imc);
    ASSERT_EQ(heard.heard.size(), 1u);
    EXPECT_EQ(pending(), 1u);
    ImmGenerateMessage(imc);
    ASSERT_EQ(heard.heard.size(), 2u);
    EXPECT_EQ(heard.heard[1].a, DWORD(WM_IME_ENDCOMPOSITION));
}

TEST_F(ImmContext, CountBeyondTheBufferDeliversOnlyWhatIsThere) {
    queue({{WM_IME_STARTCOMPOSITION, 0, 0}}, 50);
    EXPECT_TRUE(ImmGenerateMessage(imc));
    EXPECT_EQ(heard.heard.size(), 1u);
    EXPECT_EQ(pending(), 0u);
}

TEST_F(ImmContext, StatusChangesReachTheModuleBeforeTheWindow) {
    EXPECT_TRUE(ImmSetOpenStatus(imc, TRUE));
    EXPECT_TRUE(ImmGetOpenStatus(imc));
    EXPECT_TRUE(ImmSetConversionStatus(imc, IME_CMODE_NATIVE | IME_CMODE_FULLSHAPE, 0));
    std::vector<Heard> expected = {
        {"module", nullptr, NI_CONTEXTUPDATED, 0, IMC_SETOPENSTATUS},
        {"window", window.handle, WM_IME_NOTIFY, IMN_SETOPENSTATUS, 0},
        {"module", nullptr, NI_CONTEXTUPDATED, 0, IMC_SETCONVERSIONMODE},
        {"window", window.handle, WM_IME_NOTIFY, IMN_SETCONVERSIONMODE, 0},
    };
    EXPECT_EQ(heard.heard, expected);
    // The module already sees the new status when told.
    EXPECT_EQ(heard.openDuringNotify, std::vector<BOOL>({TRUE, TRUE}));
    DWORD conversion = 0, sentence = 1;
    EXPECT_TRUE(ImmGetConversionStatus(imc, &conversion, &sentence));
    EXPECT_EQ(conversion, DWORD(IME_CMODE_NATIVE | IME_CMODE_FULLSHAPE));
    EXPECT_EQ(sentence, 0u);
}

TEST_F(ImmContext, SettingTheSameStatusTellsNoOne) {
    EXPECT_TRUE(ImmSetOpenStatus(imc, FALSE));
    EXPECT_TRUE(ImmSetConversionStatus(imc, 0, 0));
    EXPECT_TRUE(heard.heard.empty());
}

// A composition string block with the given text areas, in the unit size
// of the module's flavour.
struct Composition {
    std::vector<BYTE> text; // CompStr
    std::vector<BYTE> attributes;
    std::vector<DWORD> clauses;
    DWORD cursor = 0;
    std::vector<BYTE> result; // ResultStr
    DWORD unit = 1;
};

void writeComposition(HIMC imc, const Composition &c) {
    COMPOSITIONSTRING header = {};
    std::vector<BYTE> bytes(sizeof header);
    auto append = [&bytes](const void *data, size_t size) {
        DWORD offset = static_cast<DWORD>(bytes.size());
        bytes.insert(bytes.end(), static_cast<const BYTE *>(data),
                     static_cast<const BYTE *>(data) + size);
        return offset;
    };
    header.dwCompStrOffset = append(c.text.data(), c.text.size());
    header.dwCompStrLen = static_cast<DWORD>(c.text.size() / c.unit);
    header.dwCompAttrOffset = append(c.attributes.data(), c.attributes.size());
    header.dwCompAttrLen = static_cast<DWORD>(c.attributes.size());
    header.dwCompClauseOffset = append(c.clauses.data(), c.clauses.size() * sizeof(DWORD));
    header.dwCompClauseLen = static_cast<DWORD>(c.clauses.size() * sizeof(DWORD));
    header.dwResultStrOffset = append(c.result.data(), c.result.size());
    header.dwResultStrLen = static_cast<DWORD>(c.result.size() / c.unit);
    header.dwCursorPos = c.cursor;
    header.dwSize = static_cast<DWORD>(bytes.size());
    std::memcpy(bytes.data(), &header, sizeof header);
    LPINPUTCONTEXT context = ImmLockIMC(imc);
    context->hCompStr = ImmReSizeIMCC(context->hCompStr, header.dwSize);
    std::memcpy(ImmLockIMCC(context->hCompStr), bytes.data(), bytes.size());
    ImmUnlockIMCC(context->hCompStr);
    ImmUnlockIMC(imc);
}

std::vector<BYTE> bytesOf(const std::u16string &text) {
    const auto *begin = reinterpret_cast<const BYTE *>(text.data());
    return std::vector<BYTE>(begin, begin + text.size() * 2);
}

std::vector<BYTE> bytesOf(const std::string &text) {
    return std::vector<BYTE>(text.begin(), text.end());
}

// Reads one area through both calls the Windows way: size first.
template <class Read> std::vector<BYTE> readArea(Read read, HIMC imc, DWORD index) {
    LONG size = read(imc, index, nullptr, 0);
    EXPECT_GE(size, 0);
    std::vector<BYTE> buffer(size > 0 ? size : 0);
    EXPECT_EQ(read(imc, index, buffer.data(), static_cast<DWORD>(buffer.size())), size);
    return buffer;
}

const std::string kBig5 = "\xA7\x41\xA6\x6E"; // 你好
const std::u16string kWide = u"你好";

TEST_F(ImmContext, UnicodeCompositionReadsInBothFlavours) {
    tavo_SetContextUnicode(imc, TRUE);
    writeComposition(imc, {bytesOf(kWide),
                           {ATTR_TARGET_CONVERTED, ATTR_INPUT},
                           {0, 1, 2},
                           1,
                           bytesOf(std::u16string(u"好")),
                           2});
    EXPECT_EQ(readArea(ImmGetCompositionStringW, imc, GCS_COMPSTR), bytesOf(kWide));
    EXPECT_EQ(ImmGetCompositionStringW(imc, GCS_CURSORPOS, nullptr, 0), 1);
    EXPECT_EQ(readArea(ImmGetCompositionStringA, imc, GCS_COMPSTR), bytesOf(kBig5));
    EXPECT_EQ(readArea(ImmGetCompositionStringA, imc, GCS_RESULTSTR), bytesOf(kBig5.substr(2)));
    EXPECT_EQ(
        readArea(ImmGetCompositionStringA, imc, GCS_COMPATTR),
        std::vector<BYTE>({ATTR_TARGET_CONVERTED, ATTR_TARGET_CONVERTED, ATTR_INPUT, ATTR_INPUT}));
    std::vector<BYTE> clauses = readArea(ImmGetCompositionStringA, imc, GCS_COMPCLAUSE);
    ASSERT_EQ(clauses.size(), 3 * sizeof(DWORD));
    std::vector<DWORD> offsets(3);
    std::memcpy(offsets.data(), clauses.data(), clauses.size());
    EXPECT_EQ(offsets, std::vector<DWORD>({0, 2, 4}));
    EXPECT_EQ(ImmGetCompositionStringA(imc, GCS_CURSORPOS, nullptr, 0), 2);
    EXPECT_EQ(readArea(ImmGetCompositionStringW, imc, GCS_COMPATTR),
              std::vector<BYTE>({ATTR_TARGET_CONVERTED, ATTR_INPUT}));
    // A roomy buffer gets the clauses and no more.
    DWORD roomy[16];
    EXPECT_EQ(ImmGetCompositionStringW(imc, GCS_COMPCLAUSE, roomy, sizeof roomy),
              LONG(3 * sizeof(DWORD)));
    EXPECT_EQ(roomy[1], 1u);
}

TEST_F(ImmContext, ByteCompositionReadsAsUtf16) {
    tavo_SetContextUnicode(imc, FALSE);
    writeComposition(imc, {bytesOf(kBig5 + "a"), {}, {}, 5, {}, 1});
    EXPECT_EQ(readArea(ImmGetCompositionStringA, imc, GCS_COMPSTR), bytesOf(kBig5 + "a"));
    EXPECT_EQ(readArea(ImmGetCompositionStringW, imc, GCS_COMPSTR), bytesOf(kWide + u"a"));
    EXPECT_EQ(ImmGetCompositionStringW(imc, GCS_CURSORPOS, nullptr, 0), 3);
    EXPECT_EQ(ImmGetCompositionStringW(imc, GCS_RESULTSTR, nullptr, 0), 0);
}

TEST_F(ImmContext, ShortBuffersGetWholeCharactersOnly) {
    tavo_SetContextUnicode(imc, TRUE);
    writeComposition(imc, {bytesOf(kWide), {}, {}, 0, {}, 2});
    char buffer[8] = {};
    EXPECT_EQ(ImmGetCompositionStringA(imc, GCS_COMPSTR, buffer, 3), 2);
    EXPECT_EQ(std::string(buffer, 2), kBig5.substr(0, 2));
    WCHAR wide[4] = {};
    EXPECT_EQ(ImmGetCompositionStringW(imc, GCS_COMPSTR, wide, 3), 2);
    EXPECT_EQ(wide[0], kWide[0]);
}

TEST_F(ImmContext, DamagedOrUnknownAreasAreErrors) {
    tavo_SetContextUnicode(imc, TRUE);
    writeComposition(imc, {bytesOf(kWide), {}, {}, 0, {}, 2});
    EXPECT_EQ(ImmGetCompositionStringW(imc, 0x40000, nullptr, 0), IMM_ERROR_GENERAL);
    LPINPUTCONTEXT context = ImmLockIMC(imc);
    auto *comp = static_cast<COMPOSITIONSTRING *>(ImmLockIMCC(context->hCompStr));
    comp->dwCompStrLen = 0x7FFFFFFF; // far past the end of the block
    ImmUnlockIMCC(context->hCompStr);
    ImmUnlockIMC(imc);
    EXPECT_EQ(ImmGetCompositionStringW(imc, GCS_COMPSTR, nullptr, 0), IMM_ERROR_GENERAL);
    EXPECT_EQ(ImmGetCompositionStringA(imc, GCS_COMPSTR, nullptr, 0), IMM_ERROR_GENERAL);
}

} // namespace
