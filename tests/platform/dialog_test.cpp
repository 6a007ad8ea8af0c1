// Modal dialogs from a module's template, worked by the host's driver.
#include "platform/platform.h"
#include "platform/posix/dialog_host.h"
#include "platform/posix/dialog_template.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

const std::string kBase = std::string(TAVO_TEST_MODULE_DIR) + "/tavo_testmod_base.so";

// What the procedure saw, and what the driver should do.
struct Script {
    std::vector<std::pair<UINT, WPARAM>> messages;
    std::function<void(HWND)> drive;
    bool ignoreCommands = false;
    LPARAM initParam = 0;
};

Script *script;

INT_PTR CALLBACK RecordingProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        script->initParam = lParam;
        CheckDlgButton(dialog, 11, BST_CHECKED);
    }
    script->messages.emplace_back(message, wParam);
    if (message != WM_COMMAND || script->ignoreCommands)
        return message == WM_INITDIALOG;
    if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
        EndDialog(dialog, LOWORD(wParam) == IDOK ? 77 : IDCANCEL);
    return TRUE;
}

void Drive(void *, HWND dialog) {
    if (script->drive)
        script->drive(dialog);
}

class Dialogs : public ::testing::Test {
protected:
    void SetUp() override {
        module = LoadLibraryA(kBase.c_str());
        ASSERT_NE(module, nullptr);
        script = &current;
        tavo_SetDialogDriver(Drive, nullptr);
    }
    void TearDown() override {
        tavo_SetDialogDriver(nullptr, nullptr);
        script = nullptr;
        FreeLibrary(module);
    }
    INT_PTR show(int id = 101) {
        return DialogBoxParamW(module, MAKEINTRESOURCEW(id), nullptr, RecordingProc, 5);
    }

    HMODULE module = nullptr;
    Script current;
};

// A control as the driver saw it; its texts live only while the dialog is open.
struct SeenControl {
    TAVO_DIALOGCONTROL control;
    std::u16string className;
    std::u16string text;
};

TEST_F(Dialogs, ControlsComeFromTheTemplateAndTheProcedureSetsThemUp) {
    std::vector<SeenControl> seen;
    std::u16string caption;
    current.drive = [&](HWND dialog) {
        caption = tavo_DialogCaption(dialog);
        int count = tavo_DialogControls(dialog, nullptr, 0);
        std::vector<TAVO_DIALOGCONTROL> controls(count);
        EXPECT_EQ(tavo_DialogControls(dialog, controls.data(), count), count);
        for (const TAVO_DIALOGCONTROL &c : controls)
            seen.push_back({c, c.className, c.text ? c.text : u"(none)"});
        EXPECT_NE(GetDlgItem(dialog, 10), nullptr);
        EXPECT_EQ(GetDlgItem(dialog, 99), nullptr);
        WCHAR text[8];
        EXPECT_EQ(GetDlgItemTextW(dialog, 10, text, 8), 2u);
        EXPECT_EQ(std::u16string(text), u"自動");
        EXPECT_EQ(GetDlgItemTextW(dialog, 10, text, 2), 1u); // cut to the room given
        char ansi[16];
        EXPECT_EQ(GetDlgItemTextA(dialog, IDCANCEL, ansi, sizeof ansi), 6u);
        EXPECT_STREQ(ansi, "Cancel");
    };
    EXPECT_EQ(show(), IDCANCEL);
    EXPECT_EQ(caption, u"測試 dialog");
    ASSERT_EQ(seen.size(), 6u);
    EXPECT_EQ(seen[0].className, u"Static");
    EXPECT_EQ(seen[0].control.text, nullptr);
    EXPECT_EQ(seen[0].control.textOrdinal, 512);
    EXPECT_EQ(seen[1].text, u"說明");
    EXPECT_EQ(seen[2].control.id, 10);
    EXPECT_EQ(seen[2].className, u"Button");
    EXPECT_EQ(seen[2].control.style & BS_TYPEMASK, UINT(BS_AUTOCHECKBOX));
    EXPECT_EQ(seen[2].control.check, UINT(BST_UNCHECKED));
    EXPECT_EQ(seen[3].control.check, UINT(BST_CHECKED)); // ticked in WM_INITDIALOG
    EXPECT_EQ(seen[4].control.id, IDOK);
    EXPECT_EQ(current.initParam, 5);
}

TEST_F(Dialogs, PressingClicksAutomaticBoxesOnlyAndEndsThroughTheProcedure) {
    UINT autoAfter = 0, manualAfter = 0;
    current.drive = [&](HWND dialog) {
        EXPECT_TRUE(tavo_PressDialogButton(dialog, 10));
        EXPECT_TRUE(tavo_PressDialogButton(dialog, 11));
        EXPECT_FALSE(tavo_PressDialogButton(dialog, 99));
        autoAfter = IsDlgButtonChecked(dialog, 10);
        manualAfter = IsDlgButtonChecked(dialog, 11);
        EXPECT_TRUE(tavo_PressDialogButton(dialog, IDOK));
        EXPECT_FALSE(tavo_PressDialogButton(dialog, IDCANCEL)); // already ended
    };
    EXPECT_EQ(show(), 77);
    EXPECT_EQ(autoAfter, UINT(BST_CHECKED));
    EXPECT_EQ(manualAfter, UINT(BST_CHECKED)); // a plain check box is left to the procedure
    ASSERT_EQ(current.messages.size(), 4u);
    EXPECT_EQ(current.messages[0].first, UINT(WM_INITDIALOG));
    EXPECT_EQ(current.messages[1].second, MAKEWPARAM(10, BN_CLICKED));
    EXPECT_EQ(current.messages[3].second, MAKEWPARAM(IDOK, BN_CLICKED));
}

TEST_F(Dialogs, WithoutADriverOrAnAnswerTheDialogIsCancelled) {
    tavo_SetDialogDriver(nullptr, nullptr);
    EXPECT_EQ(show(), IDCANCEL);
    ASSERT_EQ(current.messages.size(), 2u);
    EXPECT_EQ(current.messages[1].second, MAKEWPARAM(IDCANCEL, BN_CLICKED));

    // A procedure that ignores the cancel still doesn't hang the caller.
    current.messages.clear();
    current.ignoreCommands = true;
    EXPECT_EQ(show(), IDCANCEL);
}

TEST_F(Dialogs, HandlesOfEndedOrUnknownDialogsAreRefused) {
    HWND kept = nullptr;
    current.drive = [&](HWND dialog) { kept = dialog; };
    show();
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(tavo_DialogCaption(kept), nullptr);
    EXPECT_EQ(tavo_DialogControls(kept, nullptr, 0), -1);
    EXPECT_FALSE(CheckDlgButton(kept, 10, BST_CHECKED));
    EXPECT_EQ(IsDlgButtonChecked(kept, 10), UINT(BST_UNCHECKED));
    EXPECT_FALSE(EndDialog(kept, 1));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
}

TEST_F(Dialogs, MissingTemplatesAndProceduresFail) {
    EXPECT_EQ(show(4321), -1);
    EXPECT_EQ(DialogBoxParamA(module, MAKEINTRESOURCEA(101), nullptr, nullptr, 0), -1);
    EXPECT_TRUE(current.messages.empty());
    // By number written as text, through the byte flavour.
    EXPECT_EQ(DialogBoxParamA(module, "#101", nullptr, RecordingProc, 0), IDCANCEL);
}

TEST_F(Dialogs, CutOrForeignTemplatesAreRefusedWithoutReadingPastTheirEnd) {
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(101), MAKEINTRESOURCEA(5));
    ASSERT_NE(resource, nullptr);
    const BYTE *bytes = (const BYTE *)LockResource(LoadResource(module, resource));
    std::vector<BYTE> whole(bytes, bytes + SizeofResource(module, resource));
    posix::DialogTemplate dialog;
    ASSERT_TRUE(posix::readDialogTemplate(whole.data(), DWORD(whole.size()), dialog));
    EXPECT_EQ(dialog.items.size(), 6u);
    for (size_t size = 0; size + 2 < whole.size(); ++size) {
        std::vector<BYTE> cut(whole.begin(), whole.begin() + size); // exact size for ASan
        posix::DialogTemplate partial;
        EXPECT_FALSE(posix::readDialogTemplate(cut.data(), DWORD(size), partial)) << size;
    }
    whole[2] = 0; // no longer the extended signature
    EXPECT_FALSE(posix::readDialogTemplate(whole.data(), DWORD(whole.size()), dialog));
}

} // namespace
