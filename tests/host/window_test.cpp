// The host's application window as the input-method manager sees it: a
// real window with the focus, a caret and an input context, whose
// composition form reaches the module, which leaves nothing behind when
// the session closes and opens again.
#include "host/built_modules.h"
#include "host/session.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace {

class HostWindow : public ::testing::Test {
protected:
    void SetUp() override {
        if (host::builtModulePath("vexa").empty())
            GTEST_SKIP() << "the vexa module is not built";
        folder = std::filesystem::temp_directory_path() /
                 ("tavo-host-window-" + std::to_string(getpid()));
        std::filesystem::create_directories(folder);
        setenv("TAVO_REGISTRY", (folder / "registry").c_str(), 1);
        setenv("TAVO_SOUND", "silent", 1);
        open();
    }
    void TearDown() override {
        session.close();
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    void open() {
        std::string error;
        ASSERT_TRUE(session.open(host::builtModulePath("vexa"), error)) << error;
    }

    std::vector<UINT> received() {
        std::vector<UINT> kinds;
        for (const host::Message &message : session.application().messages())
            kinds.push_back(message.message);
        session.application().clearMessages();
        return kinds;
    }

    std::filesystem::path folder;
    host::Session session;
};

TEST_F(HostWindow, IsAShownWindowWithTheFocusACaretAndItsContext) {
    HWND window = session.windowHandle();
    ASSERT_TRUE(IsWindow(window));
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(GetFocus(), window);
    EXPECT_EQ(ImmGetContext(window), session.context());
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, host::Session::kClientWidth);
    POINT caret;
    GetCaretPos(&caret);
    EXPECT_GT(caret.x, 0);
    EXPECT_NE(ImmGetDefaultIMEWnd(window), nullptr);
    MSG message;
    EXPECT_FALSE(PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) << "all dispatched";
    EXPECT_TRUE(received().empty()) << "the log starts after opening";
}

TEST_F(HostWindow, KeysAreDispatchedAndTheCompositionFormReachesTheModule) {
    session.press('N');
    EXPECT_EQ(received(), (std::vector<UINT>{WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION}));
    MSG message;
    EXPECT_FALSE(PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE));

    COMPOSITIONFORM form = {CFS_POINT, {40, 50}, {}};
    ASSERT_TRUE(session.setCompositionForm(form));
    std::vector<host::Message> notices = session.application().messages();
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].message, UINT(WM_IME_NOTIFY));
    EXPECT_EQ(notices[0].wParam, WPARAM(IMN_SETCOMPOSITIONWINDOW));
    COMPOSITIONFORM read = {};
    ASSERT_TRUE(ImmGetCompositionWindow(session.context(), &read));
    EXPECT_EQ(read.ptCurrentPos.x, 40);
}

TEST_F(HostWindow, ClickingTheWindowReachesIt) {
    POINT inside = {host::Session::kWindowPlace.x + 50, host::Session::kWindowPlace.y + 30};
    EXPECT_EQ(session.click(inside), session.windowHandle());
    EXPECT_EQ(GetFocus(), session.windowHandle());
    EXPECT_EQ(session.click({1900, 1000}), nullptr) << "the desktop";
}

TEST_F(HostWindow, ClosingLeavesNoWindowAndOpensAgain) {
    HWND window = session.windowHandle();
    HWND ime = ImmGetDefaultIMEWnd(window);
    session.close();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(IsWindow(ime)) << "gone with the thread's last window";
    EXPECT_EQ(GetFocus(), nullptr);
    open();
    EXPECT_TRUE(IsWindow(session.windowHandle()));
    EXPECT_EQ(GetFocus(), session.windowHandle());
    session.press('N');
    EXPECT_EQ(received(), (std::vector<UINT>{WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION}));
}

} // namespace
