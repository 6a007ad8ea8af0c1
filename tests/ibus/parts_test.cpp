// The engine's parts that need no daemon: key events to virtual keys, the
// composition's lines to what IBus shows, the labels of the settings menu,
// and the installed databases linked for a user.
#include "frontends/ibus/display.h"
#include "frontends/ibus/installed_data.h"
#include "frontends/ibus/key_map.h"
#include "frontends/ibus/settings_menu.h"
#include "platform/platform.h"

#include <gtest/gtest.h>
#include <ibus.h>

#include <linux/input-event-codes.h>
#include <unistd.h>

#include <fstream>

namespace {

using ibus_front::Display;
using ibus_front::layoutLines;
using ibus_front::mapKey;

unsigned char virtualKey(unsigned keyval, unsigned keycode, unsigned state = 0) {
    auto mapped = mapKey(keyval, keycode, state);
    return mapped ? mapped->event.virtualKey : 0;
}

TEST(IbusKeys, TheKeysPlaceDecidesItsVirtualKeyOnTheUsLayout) {
    EXPECT_EQ(virtualKey('a', KEY_A), 'A');
    EXPECT_EQ(virtualKey('q', KEY_A), 'A') << "an AZERTY a is the US layout's A";
    EXPECT_EQ(virtualKey('!', KEY_1, IBUS_SHIFT_MASK), '1');
    EXPECT_EQ(virtualKey('`', KEY_GRAVE), VK_OEM_3);
    EXPECT_EQ(virtualKey(';', KEY_SEMICOLON), VK_OEM_1);
    EXPECT_EQ(virtualKey('\'', KEY_APOSTROPHE), VK_OEM_7);
    EXPECT_EQ(virtualKey(IBUS_KEY_Page_Down, KEY_PAGEDOWN), VK_NEXT);
    EXPECT_EQ(virtualKey(IBUS_KEY_Shift_R, KEY_RIGHTSHIFT), VK_SHIFT);
    EXPECT_EQ(virtualKey(IBUS_KEY_KP_Enter, KEY_KPENTER), VK_RETURN);
}

TEST(IbusKeys, WithoutAKeycodeTheKeysymDecides) {
    EXPECT_EQ(virtualKey('s', 0), 'S');
    EXPECT_EQ(virtualKey('S', 0, IBUS_SHIFT_MASK), 'S');
    EXPECT_EQ(virtualKey('@', 0, IBUS_SHIFT_MASK), '2');
    EXPECT_EQ(virtualKey(' ', 0), VK_SPACE);
    EXPECT_EQ(virtualKey(IBUS_KEY_Escape, 0), VK_ESCAPE);
    EXPECT_EQ(virtualKey(IBUS_KEY_KP_7, 0), '7') << "the keypad's digits choose too";
    EXPECT_EQ(virtualKey(IBUS_KEY_KP_Left, 0), VK_LEFT);
    EXPECT_EQ(virtualKey(0x4E2D, 0), 0) << "no key types 中";
    EXPECT_EQ(virtualKey(IBUS_KEY_F5, 0), VK_F1 + 4);
}

TEST(IbusKeys, ReleasesAndModifiersComeFromTheState) {
    auto mapped =
        mapKey('f', KEY_F, IBUS_RELEASE_MASK | IBUS_CONTROL_MASK | IBUS_MOD1_MASK | IBUS_LOCK_MASK);
    ASSERT_TRUE(mapped);
    EXPECT_TRUE(mapped->event.release);
    EXPECT_TRUE(mapped->modifiers.control);
    EXPECT_TRUE(mapped->modifiers.alt);
    EXPECT_TRUE(mapped->modifiers.capsLock);
    EXPECT_FALSE(mapped->modifiers.shift);
    EXPECT_FALSE(mapped->modifiers.super);
    EXPECT_TRUE(mapKey('f', KEY_F, IBUS_SUPER_MASK)->modifiers.super);
    EXPECT_TRUE(mapKey('f', KEY_F, IBUS_MOD4_MASK)->modifiers.super);
    EXPECT_FALSE(mapKey('f', KEY_F, 0)->event.release);
}

TEST(IbusDisplay, AReadingOrAnExplanationAloneIsThePreedit) {
    EXPECT_EQ(layoutLines({"nei5hou2"}), (Display{"nei5hou2", "", {}}));
    EXPECT_EQ(layoutLines({"師  部首巾"}), (Display{"師  部首巾", "", {}}));
    EXPECT_EQ(layoutLines({" "}), Display{}) << "a reading not shown";
    EXPECT_EQ(layoutLines({}), Display{});
    EXPECT_EQ(layoutLines({"2b"}), (Display{"2b", "", {}})) << "a braille reading is no list";
}

TEST(IbusDisplay, NumberedLinesAreTheLookupTableUnderTheirHeading) {
    Display page = layoutLines({"1 你好", "2 您好"});
    EXPECT_EQ(page.preedit, "");
    EXPECT_EQ(page.auxiliary, "");
    ASSERT_EQ(page.candidates.size(), 2u);
    EXPECT_EQ(page.candidates[1].label, "2");
    EXPECT_EQ(page.candidates[1].text, "您好");
    Display single = layoutLines({"師", "1 師  老師", "2 詩  詩歌"});
    EXPECT_EQ(single.auxiliary, "師");
    EXPECT_EQ(single.candidates.size(), 2u);
    Display menu = layoutLines({"Oskelyut--Lumora 1.3 版輸入法設定", "", "1 開啟點字鍵盤"});
    EXPECT_EQ(menu.auxiliary, "Oskelyut--Lumora 1.3 版輸入法設定");
    EXPECT_EQ(menu.candidates.size(), 1u);
    EXPECT_EQ(layoutLines({"5 X"}).candidates.front().label, "5") << "one candidate shown alone";
}

TEST(IbusSettings, LabelsLoseTheirMnemonics) {
    EXPECT_EQ(ibus_front::plainLabel("點字鍵盤 (&D)"), "點字鍵盤");
    EXPECT_EQ(ibus_front::plainLabel("&Speech"), "Speech");
    EXPECT_EQ(ibus_front::plainLabel("Salt && pepper"), "Salt & pepper");
    EXPECT_EQ(ibus_front::plainLabel("確定"), "確定");
}

TEST(IbusInstalledData, MissingDatabasesAreLinkedAndTheUsersOwnAreKept) {
    namespace fs = std::filesystem;
    fs::path root = fs::temp_directory_path() / ("tavo-ibus-data-" + std::to_string(getpid()));
    fs::remove_all(root);
    fs::create_directories(root / "installed");
    std::ofstream(root / "installed" / "vexa.idb") << "installed";
    std::ofstream(root / "installed" / "tavo_spk.vdb") << "installed voice";
    fs::create_directories(root / "user");
    std::ofstream(root / "user" / "tavo_spk.vdb") << "own voice";
    fs::create_symlink(root / "gone.idb", root / "user" / "ruda.idb");
    std::ofstream(root / "installed" / "ruda.idb") << "installed ruda";
    std::string error;
    ASSERT_TRUE(ibus_front::linkInstalledData(root / "installed", root / "user", error)) << error;
    EXPECT_TRUE(fs::is_symlink(root / "user" / "vexa.idb"));
    EXPECT_EQ(fs::read_symlink(root / "user" / "vexa.idb"), root / "installed" / "vexa.idb");
    EXPECT_FALSE(fs::is_symlink(root / "user" / "tavo_spk.vdb")) << "the user's own voice stays";
    EXPECT_EQ(fs::read_symlink(root / "user" / "ruda.idb"), root / "installed" / "ruda.idb")
        << "a broken link is mended";
    ASSERT_TRUE(ibus_front::linkInstalledData(root / "installed", root / "user", error))
        << "a second start changes nothing: " << error;
    EXPECT_FALSE(ibus_front::linkInstalledData(root / "nowhere", root / "user", error));
    EXPECT_NE(error.find("nowhere"), std::string::npos) << error;
    fs::remove_all(root);
}

} // namespace
