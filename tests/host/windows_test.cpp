// Several application windows in one process around one module, as a
// front end that serves many applications has them: each window has its
// own context and composition, the focus decides which context is active,
// the keyboard state is the thread's, and windows come and go while the
// module stays selected.
#include "host/app_window.h"
#include "host/built_modules.h"
#include "host/manager.h"
#include "host/script.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <unistd.h>

namespace {

class ManyWindows : public ::testing::Test {
protected:
    void SetUp() override {
        if (host::builtModulePath("vexa").empty())
            GTEST_SKIP() << "the vexa module is not built";
        folder = std::filesystem::temp_directory_path() /
                 ("tavo-host-windows-" + std::to_string(getpid()));
        std::filesystem::create_directories(folder);
        setenv("TAVO_REGISTRY", (folder / "registry").c_str(), 1);
        setenv("TAVO_SYSTEM_DIR", TAVO_DATABASE_DIR, 1);
        setenv("TAVO_SOUND", "silent", 1);
        setenv("TAVO_SOUND_TIMESCALE", "0.001", 1);
        std::string error;
        ASSERT_TRUE(manager.load(host::builtModulePath("vexa"), error)) << error;
        ASSERT_TRUE(manager.select(true));
    }
    void TearDown() override {
        windows.clear();
        manager.unload();
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    host::AppWindow &add() {
        windows.push_back(std::make_unique<host::AppWindow>(manager));
        std::string error;
        EXPECT_TRUE(windows.back()->open(error)) << error;
        return *windows.back();
    }

    static void type(host::AppWindow &window, const std::string &script) {
        std::string error;
        for (const host::ScriptStep &step : host::parseScript(script, error))
            for (const host::KeyEvent &event : step.events)
                window.feed(event);
        ASSERT_TRUE(error.empty()) << error;
    }

    // The module's UI windows: top-level windows of its UI class.
    int uiWindows() const {
        int count = 0;
        for (HWND at = GetWindow(windows.back()->handle(), GW_HWNDFIRST); at;
             at = GetWindow(at, GW_HWNDNEXT)) {
            char name[64] = {};
            GetClassNameA(at, name, sizeof name);
            count += std::string(name) == "VEXAIME";
        }
        return count;
    }

    std::filesystem::path folder;
    host::Manager manager;
    std::vector<std::unique_ptr<host::AppWindow>> windows;
};

TEST_F(ManyWindows, EachWindowComposesInItsOwnContextWhileTheFocusMoves) {
    host::AppWindow &first = add();
    host::AppWindow &second = add();
    ASSERT_NE(first.context(), second.context());
    EXPECT_EQ(uiWindows(), 1) << "one UI window for the thread";

    first.activate(true);
    EXPECT_TRUE(first.hasFocus());
    type(first, "<Ctrl+`> 3"); // Verbose Composition on: the reading shows
    type(first, "nei5");
    EXPECT_EQ(first.application().composition(), "nei5");

    second.activate(true);
    EXPECT_TRUE(second.hasFocus());
    EXPECT_FALSE(first.hasFocus());
    type(second, "m4goi1 <Space>");
    EXPECT_EQ(second.application().committed(), "唔該");
    EXPECT_FALSE(second.application().isComposing());

    first.activate(true);
    type(first, "hou2 <Space> 1");
    EXPECT_EQ(first.application().committed(), "你好") << "its reading waited for it";
    EXPECT_EQ(second.application().committed(), "唔該");
}

TEST_F(ManyWindows, TheKeyboardStateIsTheThreadsAcrossWindows) {
    host::AppWindow &first = add();
    host::AppWindow &second = add();
    first.activate(true);
    first.feed({VK_SHIFT, false});
    second.activate(true);
    EXPECT_TRUE(manager.keyState()[VK_SHIFT] & 0x80);
    second.feed({'A', false});
    second.feed({'A', true});
    second.feed({VK_SHIFT, true});
    EXPECT_FALSE(manager.keyState()[VK_SHIFT] & 0x80);
    EXPECT_TRUE(second.application().isComposing()) << "a capital letter starts a reading";
    EXPECT_FALSE(first.application().isComposing());
}

TEST_F(ManyWindows, CancellingEndsTheCompositionAndTheNextReadingStartsAfresh) {
    host::AppWindow &window = add();
    window.activate(true);
    type(window, "<Ctrl+`> 3 nei5");
    ASSERT_TRUE(window.application().isComposing());
    EXPECT_TRUE(window.endComposition(CPS_CANCEL));
    EXPECT_FALSE(window.application().isComposing());
    EXPECT_EQ(window.application().committed(), "");
    type(window, "m4goi1");
    EXPECT_EQ(window.application().composition(), "m4goi1");
    type(window, "<Space>");
    EXPECT_EQ(window.application().committed(), "唔該");
}

TEST_F(ManyWindows, WindowsComeAndGoWhileTheModuleStaysSelected) {
    host::AppWindow &first = add();
    first.activate(true);
    type(first, "nei5");
    windows.front()->close();
    EXPECT_EQ(GetFocus(), nullptr);
    host::AppWindow &second = add();
    EXPECT_EQ(uiWindows(), 1);
    second.activate(true);
    type(second, "m4goi1 <Space>");
    EXPECT_EQ(second.application().committed(), "唔該");
    second.application().forget();
    EXPECT_EQ(second.application().committed(), "");
    EXPECT_TRUE(second.application().messages().empty());
}

} // namespace
