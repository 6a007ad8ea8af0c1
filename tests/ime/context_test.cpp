// Input contexts given to the module and taken back: platform defaults,
// the dictionaries each selection opens and the next deselection closes.
#include "engine/privdata.h"
#include "platform/posix/imm_host.h"
#include "tests/helpers/recording_window.h"
#include "tests/ime/ime_module.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

#ifdef UNICODE
const std::string kPhraseFile = "vexa.idb";
const std::string kUserDict = "vexa.dic";
const std::string kUserDb = "vexa.udb";
#else
const std::string kPhraseFile = "ruda.idb";
const std::string kUserDict = "ruda.dic";
const std::string kUserDb = "ruda.udb";
#endif

// The context's window: a pop-up whose client area starts at (200, 100).
const RECT kWindowPlace = {200, 100, 400, 200};

std::vector<UINT> sentMessages;

class InputContext : public ::testing::Test {
protected:
    tests::RecordingWindow window{kWindowPlace};
    HIMC imc = NULL;
    LPINPUTCONTEXT context = NULL;
    PrivateData *data = NULL;

    void SetUp() override {
        const ImeModule &module = TestModule();
        ASSERT_NE(module.library, nullptr);
        IMEINFO info{};
        TCHAR uiClass[64];
        ASSERT_TRUE(module.ImeInquire(&info, uiClass, 0));
        tavo_SetImeInfo(&info);
        WriteFile(ScratchFile(kPhraseFile), ReadFile(TAVO_DATABASE_DIR "/" + kPhraseFile));
        std::remove(ScratchFile(kUserDict).c_str());
        std::remove(ScratchFile(kUserDb).c_str());
        window.onMessage = [](UINT message, WPARAM, LPARAM) {
            if (message >= WM_IME_STARTCOMPOSITION && message <= WM_IME_COMPOSITION)
                sentMessages.push_back(message);
            return std::optional<LRESULT>();
        };
        imc = tavo_CreateInputContext(window.handle, info.dwPrivateDataSize);
        ASSERT_NE(imc, nullptr);
        context = ImmLockIMC(imc);
        data = (PrivateData *)ImmLockIMCC(context->hPrivate);
        ASSERT_NE(data, nullptr);
        sentMessages.clear();
    }
    void TearDown() override {
        if (data)
            ImmUnlockIMCC(context->hPrivate);
        if (context)
            ImmUnlockIMC(imc);
        if (imc)
            ImmDestroyContext(imc);
    }
    BOOL Select(BOOL select) { return TestModule().ImeSelect(imc, select); }
};

TEST_F(InputContext, SelectingOpensEveryDictionary) {
    WriteFile(ScratchFile(kUserDict), "nei 1\n");
    ASSERT_TRUE(Select(TRUE));
    EXPECT_NE(data->dictTree, nullptr);
    EXPECT_NE(data->queryTree, nullptr);
    EXPECT_TRUE(ptree_check_id(data->dictTree, "TAVO dictionary database"));
    EXPECT_TRUE(ptree_check_id(data->queryTree, "TAVO query database"));
    EXPECT_TRUE(ptree_check_id(data->phraseTree, "TAVO phrase database"));
    EXPECT_NE(data->userTree, nullptr) << "compiled from the user dictionary";
    ASSERT_NE(data->fullWidth, nullptr);
    EXPECT_NE(context->hCompStr, nullptr);
    EXPECT_TRUE(Select(FALSE));
}

// The databases are opened from the system directory; the application's
// own current directory comes back however long its path is, MAX_PATH
// and beyond included.
TEST_F(InputContext, SelectingLeavesTheCurrentDirectoryAsItWas) {
    char *original = getcwd(nullptr, 0);
    ASSERT_NE(original, nullptr);
    std::filesystem::path deep = ScratchFile("deep");
    while (deep.string().size() < MAX_PATH + 40)
        deep /= std::string(60, 'd');
    std::filesystem::create_directories(deep);
    for (const std::filesystem::path &folder : {deep.parent_path(), deep}) {
        ASSERT_EQ(chdir(folder.c_str()), 0);
        ASSERT_TRUE(Select(TRUE));
        EXPECT_NE(data->phraseTree, nullptr);
        char *now = getcwd(nullptr, 0);
        EXPECT_EQ(std::string(now), folder.string()) << folder.string().size() << " bytes";
        free(now);
        EXPECT_TRUE(Select(FALSE));
    }
    ASSERT_EQ(chdir(original), 0);
    free(original);
    std::filesystem::remove_all(ScratchFile("deep"));
}

TEST_F(InputContext, APhraseFileIsKeptOnlyWithItsIdentifier) {
    WriteFile(ScratchFile(kPhraseFile), ReadFile(TAVO_DATABASE_DIR "/query.img"));
    ASSERT_TRUE(Select(TRUE));
    EXPECT_EQ(data->phraseTree, nullptr) << "a prefix tree of another kind";
    EXPECT_NE(data->queryTree, nullptr);
    EXPECT_EQ(data->userTree, nullptr) << "no user dictionary";
    ASSERT_TRUE(Select(FALSE));

    std::remove(ScratchFile(kPhraseFile).c_str());
    ASSERT_TRUE(Select(TRUE));
    EXPECT_EQ(data->phraseTree, nullptr) << "no file";
    EXPECT_NE(data->dictTree, nullptr);
    EXPECT_TRUE(Select(FALSE));
}

TEST_F(InputContext, DeselectingClosesWhatSelectingOpened) {
    for (int round = 0; round < 2; round++) {
        ASSERT_TRUE(Select(TRUE));
        EXPECT_TRUE(data->phraseTree && data->dictTree && data->queryTree);
        ASSERT_TRUE(Select(FALSE));
        EXPECT_FALSE(data->phraseTree || data->dictTree || data->queryTree || data->userTree);
    }
    EXPECT_TRUE(Select(FALSE)) << "a second deselection closes nothing twice";
    EXPECT_TRUE(TestModule().ImeSelect(NULL, TRUE));
}

TEST_F(InputContext, FreshContextGetsThePlatformDefaults) {
    ASSERT_TRUE(Select(TRUE));
    EXPECT_TRUE(context->fOpen);
    EXPECT_EQ(context->fdwConversion, (DWORD)IME_CMODE_NATIVE);
    EXPECT_EQ(context->fdwSentence, (DWORD)IME_SMODE_SINGLECONVERT);
    EXPECT_EQ(context->fdwInit & 0x1F, 0x1Fu);
    EXPECT_EQ(context->cfCompForm.dwStyle, (DWORD)CFS_DEFAULT);
    EXPECT_EQ(context->ptStatusWndPos.x, 0);
    EXPECT_EQ(context->ptStatusWndPos.y, 1040) << "bottom of the work area";
    // The screen's font: the 16-pixel system font of the Big5 character set.
#ifdef UNICODE
    EXPECT_EQ(std::u16string(context->lfFont.W.lfFaceName), u"System");
    EXPECT_EQ(context->lfFont.W.lfHeight, 16);
    EXPECT_EQ(context->lfFont.W.lfCharSet, CHINESEBIG5_CHARSET);
#else
    EXPECT_STREQ(context->lfFont.A.lfFaceName, "System");
    EXPECT_EQ(context->lfFont.A.lfHeight, 16);
    EXPECT_EQ(context->lfFont.A.lfCharSet, CHINESEBIG5_CHARSET);
#endif
    EXPECT_TRUE(Select(FALSE));
}

TEST_F(InputContext, WhatTheApplicationSetIsLeftAlone) {
    context->fdwConversion = IME_CMODE_FULLSHAPE;
    context->cfCompForm.dwStyle = CFS_POINT;
    context->cfCompForm.ptCurrentPos = {30, 40};
    context->fdwInit = INIT_CONVERSION | INIT_COMPFORM;
    ASSERT_TRUE(Select(TRUE));
    EXPECT_EQ(context->fdwConversion, (DWORD)IME_CMODE_FULLSHAPE);
    EXPECT_TRUE(TestModule().ImeSetActiveContext(imc, TRUE));
    EXPECT_EQ(context->cfCompForm.dwStyle, (DWORD)CFS_POINT);
    EXPECT_EQ(context->cfCompForm.ptCurrentPos.x, 30);
    EXPECT_EQ(context->cfCompForm.ptCurrentPos.y, 40);
    EXPECT_TRUE(Select(FALSE));
}

TEST_F(InputContext, ActivationPlacesADefaultCompositionWindow) {
    ASSERT_TRUE(Select(TRUE));
    context->cfCompForm.ptCurrentPos = {5, 5};
    EXPECT_TRUE(TestModule().ImeSetActiveContext(imc, TRUE));
    // The screen origin in the window's client coordinates.
    EXPECT_EQ(context->cfCompForm.ptCurrentPos.x, -kWindowPlace.left);
    EXPECT_EQ(context->cfCompForm.ptCurrentPos.y, -kWindowPlace.top);
    EXPECT_TRUE(TestModule().ImeSetActiveContext(imc, FALSE));
    EXPECT_TRUE(TestModule().ImeSetActiveContext(NULL, FALSE));
    EXPECT_TRUE(TestModule().ImeSetActiveContext(NULL, TRUE));
    EXPECT_TRUE(Select(FALSE));
}

TEST_F(InputContext, DeselectingEndsAPendingCompositionOnce) {
    ASSERT_TRUE(Select(TRUE));
    data->mode = MODE_READING;
    sentMessages.clear();
    ASSERT_TRUE(Select(FALSE));
    EXPECT_EQ(sentMessages, std::vector<UINT>({WM_IME_ENDCOMPOSITION}));
    EXPECT_EQ(data->mode, (DWORD)MODE_IDLE);

    sentMessages.clear();
    ASSERT_TRUE(Select(TRUE));
    ASSERT_TRUE(Select(FALSE));
    EXPECT_TRUE(sentMessages.empty()) << "nothing to end";
}

TEST_F(InputContext, DeselectingFreesTheEnginesLeftovers) {
    ASSERT_TRUE(Select(TRUE));
    data->matchText = (LPTSTR)GlobalAlloc(GPTR, 16);
    data->queryItem = (LPTSTR)GlobalAlloc(GPTR, 16);
    ASSERT_TRUE(Select(FALSE));
    EXPECT_EQ(data->matchText, nullptr);
    EXPECT_EQ(data->queryItem, nullptr);
}

} // namespace
