// The input-method manager's windows: the thread's default IME window,
// the module's UI window it makes (once per thread, with IMMGWL_IMC on the
// active context), and the routes by which selection, activation,
// notifications, compositions and WM_IME_CONTROL reach the UI window.
#include "platform/posix/imm_host.h"
#include "platform/posix/user_host.h"
#include "tests/helpers/recording_window.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

using tests::RecordingWindow;

const HINSTANCE kModule = reinterpret_cast<HINSTANCE>(0x7C000000);
constexpr WCHAR kUiClass[] = u"TestImeUi";

// Everything the module, its UI window and the application hear, in one
// order, as text: "ui WM_IME_SETCONTEXT 1 C000000F".
std::vector<std::string> heard;
int uiWindowsMade = 0;
// What the UI window answers WM_IME_CONTROL with.
LRESULT uiControlAnswer = 0;

std::string name(UINT message) {
    switch (message) {
    case WM_IME_STARTCOMPOSITION:
        return "WM_IME_STARTCOMPOSITION";
    case WM_IME_ENDCOMPOSITION:
        return "WM_IME_ENDCOMPOSITION";
    case WM_IME_COMPOSITION:
        return "WM_IME_COMPOSITION";
    case WM_IME_SETCONTEXT:
        return "WM_IME_SETCONTEXT";
    case WM_IME_NOTIFY:
        return "WM_IME_NOTIFY";
    case WM_IME_CONTROL:
        return "WM_IME_CONTROL";
    case WM_IME_SELECT:
        return "WM_IME_SELECT";
    default:
        return std::to_string(message);
    }
}

bool isImeMessage(UINT message) {
    return (message >= WM_IME_STARTCOMPOSITION && message <= WM_IME_KEYLAST) ||
           (message >= WM_IME_SETCONTEXT && message <= WM_IME_KEYUP);
}

void hear(const char *who, UINT message, WPARAM wParam, LPARAM lParam) {
    char numbers[48];
    std::snprintf(numbers, sizeof numbers, " %llX %llX", (unsigned long long)wParam,
                  (unsigned long long)(lParam & 0xFFFFFFFF));
    heard.push_back(who + (" " + name(message)) + numbers);
}

LRESULT CALLBACK uiProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE)
        ++uiWindowsMade;
    if (message == WM_DESTROY)
        heard.push_back("ui destroyed");
    if (isImeMessage(message)) {
        hear("ui", message, wParam, lParam);
        return message == WM_IME_CONTROL ? uiControlAnswer : 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

BOOL WINAPI moduleSelect(HIMC, BOOL select) {
    heard.push_back(select ? "module select" : "module deselect");
    return TRUE;
}

BOOL WINAPI moduleActivate(HIMC, BOOL active) {
    heard.push_back(active ? "module activate" : "module deactivate");
    return TRUE;
}

BOOL WINAPI moduleNotify(HIMC, DWORD action, DWORD index, DWORD value) {
    heard.push_back("module notify " + std::to_string(action) + " " + std::to_string(value));
    return action != NI_COMPOSITIONSTR || index == CPS_CANCEL;
}

class ImeWindows : public ::testing::Test {
protected:
    void SetUp() override {
        heard.clear();
        uiWindowsMade = 0;
        uiControlAnswer = 0;
        WNDCLASSEXW ui = {};
        ui.cbSize = sizeof ui;
        ui.style = CS_IME;
        ui.lpfnWndProc = uiProcedure;
        ui.cbWndExtra = 2 * sizeof(LONG_PTR);
        ui.hInstance = kModule;
        ui.lpszClassName = kUiClass;
        ASSERT_NE(RegisterClassExW(&ui), 0);
        TAVO_IMEMODULE module = {};
        module.instance = kModule;
        std::u16string(kUiClass).copy(module.uiClass, 63);
        module.ImeSelect = moduleSelect;
        module.ImeSetActiveContext = moduleActivate;
        module.NotifyIME = moduleNotify;
        tavo_SetImeModule(&module);
        application = std::make_unique<RecordingWindow>(RECT{100, 100, 300, 200});
        application->onMessage = [this](UINT message, WPARAM wParam, LPARAM lParam) {
            if (isImeMessage(message))
                hear("app", message, wParam, lParam);
            return applicationAnswer(message, wParam, lParam);
        };
        imc = tavo_CreateInputContext(application->handle, 16);
        ASSERT_NE(imc, nullptr);
    }
    void TearDown() override {
        SetFocus(nullptr);
        tavo_SelectIme(FALSE);
        ImmDestroyContext(imc);
        application.reset();
        tavo_SetImeModule(nullptr);
        EXPECT_TRUE(UnregisterClassW(kUiClass, kModule)) << "no UI window is left";
    }

    // The application's own answer to a message, instead of passing it on.
    std::function<std::optional<LRESULT>(UINT, WPARAM, LPARAM)> applicationAnswer =
        [](UINT, WPARAM, LPARAM) { return std::optional<LRESULT>(); };

    // The thread's UI window: the window of the UI class.
    HWND ui() {
        for (HWND at = GetWindow(application->handle, GW_HWNDFIRST); at;
             at = GetWindow(at, GW_HWNDNEXT)) {
            WCHAR className[32] = {};
            GetClassNameW(at, className, 32);
            if (std::u16string(className) == kUiClass)
                return at;
        }
        return nullptr;
    }
    std::vector<std::string> take() {
        std::vector<std::string> taken;
        taken.swap(heard);
        return taken;
    }

    std::unique_ptr<RecordingWindow> application;
    HIMC imc = nullptr;
};

TEST_F(ImeWindows, TheDefaultImeWindowComesAndGoesWithTheThreadsWindows) {
    HWND ime = ImmGetDefaultIMEWnd(application->handle);
    ASSERT_NE(ime, nullptr);
    EXPECT_EQ(ImmGetDefaultIMEWnd(nullptr), ime);
    WCHAR className[8] = {};
    GetClassNameW(ime, className, 8);
    EXPECT_EQ(std::u16string(className), u"IME");
    EXPECT_FALSE(IsWindowVisible(ime));
    EXPECT_FALSE(IsWindowEnabled(ime));
    {
        RecordingWindow second;
        EXPECT_EQ(ImmGetDefaultIMEWnd(second.handle), ime) << "one per thread";
    }
    EXPECT_TRUE(IsWindow(ime)) << "the application's window is still there";
    ImmDestroyContext(imc);
    imc = nullptr;
    application.reset();
    EXPECT_FALSE(IsWindow(ime)) << "gone with the thread's last window";
}

TEST_F(ImeWindows, ASelectionBeforeTheThreadHasWindowsWaitsForTheFirst) {
    ImmDestroyContext(imc);
    imc = nullptr;
    application.reset();
    ASSERT_TRUE(tavo_SelectIme(TRUE));
    EXPECT_EQ(uiWindowsMade, 0) << "no default IME window to make it";
    application = std::make_unique<RecordingWindow>();
    EXPECT_NE(ui(), nullptr);
    EXPECT_EQ(uiWindowsMade, 1);
}

TEST_F(ImeWindows, SelectingMakesOneUiWindowWithTheActiveContextInItsSlot) {
    SetFocus(application->handle);
    take();
    ASSERT_TRUE(tavo_SelectIme(TRUE));
    HWND uiWindow = ui();
    ASSERT_NE(uiWindow, nullptr);
    EXPECT_EQ(uiWindowsMade, 1);
    EXPECT_EQ(GetWindow(uiWindow, GW_OWNER), ImmGetDefaultIMEWnd(application->handle));
    EXPECT_FALSE(IsWindowVisible(uiWindow));
    EXPECT_EQ(GetWindowLongPtrW(uiWindow, IMMGWL_IMC), LONG_PTR(imc));
    EXPECT_EQ(take(), (std::vector<std::string>{
                          "module select",
                          "app WM_IME_SELECT 1 E0010404",
                          "ui WM_IME_SELECT 1 E0010404",
                          "module activate",
                          "app WM_IME_SETCONTEXT 1 C000000F",
                          "ui WM_IME_SETCONTEXT 1 C000000F",
                          "app WM_IME_NOTIFY 2 0",
                          "ui WM_IME_NOTIFY 2 0",
                      }));

    // The focus moves to another window with its own context: the slot
    // follows it, and no second UI window is made.
    RecordingWindow other;
    HIMC otherContext = tavo_CreateInputContext(other.handle, 16);
    EXPECT_EQ(take(), (std::vector<std::string>{"module select"})) << "selected as it is made";
    SetFocus(other.handle);
    EXPECT_EQ(GetWindowLongPtrW(uiWindow, IMMGWL_IMC), LONG_PTR(otherContext));
    EXPECT_EQ(take(), (std::vector<std::string>{
                          "module deactivate",
                          "app WM_IME_SETCONTEXT 0 C000000F",
                          "ui WM_IME_SETCONTEXT 0 C000000F",
                          "module activate",
                          "ui WM_IME_SETCONTEXT 1 C000000F",
                          "ui WM_IME_NOTIFY 2 0",
                      }));
    ImmDestroyContext(otherContext);
    EXPECT_EQ(GetWindowLongPtrW(uiWindow, IMMGWL_IMC), 0) << "no slot on a dead context";
    SetFocus(application->handle);
    EXPECT_EQ(GetWindowLongPtrW(uiWindow, IMMGWL_IMC), LONG_PTR(imc));
    EXPECT_EQ(uiWindowsMade, 1);

    // Deselecting takes the UI window away.
    take();
    ASSERT_TRUE(tavo_SelectIme(FALSE));
    EXPECT_FALSE(IsWindow(uiWindow));
    EXPECT_EQ(take(), (std::vector<std::string>{
                          "module deactivate",
                          "app WM_IME_SETCONTEXT 0 C000000F",
                          "ui WM_IME_SETCONTEXT 0 C000000F",
                          "app WM_IME_SELECT 0 E0010404",
                          "ui WM_IME_SELECT 0 E0010404",
                          "module deselect",
                          "ui destroyed",
                      }));
}

TEST_F(ImeWindows, TheApplicationsFlagsAndChoicesDecideWhatTheUiHears) {
    tavo_SelectIme(TRUE);
    // An application that draws its own composition clears the flag on the
    // way, and keeps the composition messages to itself.
    applicationAnswer = [this](UINT message, WPARAM wParam,
                               LPARAM lParam) -> std::optional<LRESULT> {
        if (message == WM_IME_SETCONTEXT)
            return DefWindowProcW(application->handle, message, wParam,
                                  lParam & ~LPARAM(ISC_SHOWUICOMPOSITIONWINDOW));
        if (message == WM_IME_COMPOSITION)
            return 0;
        return {};
    };
    take();
    SetFocus(application->handle);
    std::vector<std::string> activation = take();
    EXPECT_NE(std::find(activation.begin(), activation.end(), "ui WM_IME_SETCONTEXT 1 4000000F"),
              activation.end());

    LPINPUTCONTEXT context = ImmLockIMC(imc);
    context->hMsgBuf = ImmReSizeIMCC(context->hMsgBuf, 3 * sizeof(TRANSMSG));
    auto *buffer = static_cast<TRANSMSG *>(ImmLockIMCC(context->hMsgBuf));
    buffer[0] = {WM_IME_STARTCOMPOSITION, 0, 0};
    buffer[1] = {WM_IME_COMPOSITION, 'a', GCS_COMPSTR};
    buffer[2] = {WM_IME_ENDCOMPOSITION, 0, 0};
    ImmUnlockIMCC(context->hMsgBuf);
    context->dwNumMsgBuf = 3;
    ImmUnlockIMC(imc);
    ASSERT_TRUE(ImmGenerateMessage(imc));
    EXPECT_EQ(take(), (std::vector<std::string>{
                          "app WM_IME_STARTCOMPOSITION 0 0",
                          "ui WM_IME_STARTCOMPOSITION 0 0",
                          "app WM_IME_COMPOSITION 61 8",
                          "app WM_IME_ENDCOMPOSITION 0 0",
                          "ui WM_IME_ENDCOMPOSITION 0 0",
                      }));
}

TEST_F(ImeWindows, CompositionFormAndStatusWindowReachTheModuleAndTheUi) {
    SetFocus(application->handle);
    tavo_SelectIme(TRUE);
    COMPOSITIONFORM form = {};
    EXPECT_FALSE(ImmGetCompositionWindow(imc, &form)) << "never set";
    take();
    form.dwStyle = CFS_POINT;
    form.ptCurrentPos = {30, 40};
    ASSERT_TRUE(ImmSetCompositionWindow(imc, &form));
    EXPECT_EQ(take(), (std::vector<std::string>{
                          "module notify 3 12",
                          "app WM_IME_NOTIFY B 0",
                          "ui WM_IME_NOTIFY B 0",
                      }));
    COMPOSITIONFORM read = {};
    ASSERT_TRUE(ImmGetCompositionWindow(imc, &read));
    EXPECT_EQ(read.dwStyle, DWORD(CFS_POINT));
    EXPECT_EQ(read.ptCurrentPos.y, 40);
    LPINPUTCONTEXT context = ImmLockIMC(imc);
    EXPECT_TRUE(context->fdwInit & INIT_COMPFORM);
    ImmUnlockIMC(imc);

    // WM_IME_CONTROL at the default IME window: questions go to the UI
    // window, whose answer comes back; closing the status window is the
    // manager's, and it stays closed at the next activation.
    HWND ime = ImmGetDefaultIMEWnd(application->handle);
    uiControlAnswer = 0x00640020;
    EXPECT_EQ(SendMessageW(ime, WM_IME_CONTROL, IMC_GETSTATUSWINDOWPOS, 0), 0x00640020);
    EXPECT_EQ(SendMessageW(ime, WM_IME_CONTROL, IMC_CLOSESTATUSWINDOW, 0), 0);
    EXPECT_EQ(take(), (std::vector<std::string>{
                          "ui WM_IME_CONTROL F 0",
                          "ui WM_IME_NOTIFY 1 0",
                      }));
    SetFocus(nullptr);
    take();
    SetFocus(application->handle);
    for (const std::string &one : take())
        EXPECT_EQ(one.find("WM_IME_NOTIFY"), std::string::npos) << one;
    SendMessageW(ime, WM_IME_CONTROL, IMC_OPENSTATUSWINDOW, 0);
    EXPECT_EQ(take(), (std::vector<std::string>{"ui WM_IME_NOTIFY 2 0"}));

    POINT place = {5, 6};
    ASSERT_TRUE(ImmSetStatusWindowPos(imc, &place));
    POINT readPlace = {};
    ASSERT_TRUE(ImmGetStatusWindowPos(imc, &readPlace));
    EXPECT_EQ(readPlace.x, 5);
    EXPECT_EQ(take().front(), "module notify 3 16");
}

TEST_F(ImeWindows, AnApplicationsNotificationReachesTheSelectedModuleWithItsAnswer) {
    EXPECT_FALSE(ImmNotifyIME(imc, NI_COMPOSITIONSTR, CPS_CANCEL, 0)) << "not selected yet";
    tavo_SelectIme(TRUE);
    take();
    EXPECT_TRUE(ImmNotifyIME(imc, NI_COMPOSITIONSTR, CPS_CANCEL, 0));
    EXPECT_FALSE(ImmNotifyIME(imc, NI_COMPOSITIONSTR, CPS_CONVERT, 0));
    EXPECT_EQ(take(), (std::vector<std::string>{"module notify 21 0", "module notify 21 0"}));
    EXPECT_FALSE(ImmNotifyIME(reinterpret_cast<HIMC>(0x1234), NI_COMPOSITIONSTR, CPS_CANCEL, 0));
    EXPECT_TRUE(take().empty()) << "no context, no call";
}

TEST_F(ImeWindows, TheInputMethodsPopupsStayInFrontOfTheActiveWindow) {
    tavo_SelectIme(TRUE);
    HWND uiWindow = ui();
    ASSERT_NE(uiWindow, nullptr);
    // A pop-up of the UI, as a composition window is made.
    RecordingWindow popup({150, 150, 250, 180}, WS_POPUP | WS_DISABLED | WS_BORDER, uiWindow);
    ShowWindow(popup.handle, SW_SHOWNOACTIVATE);
    RecordingWindow cover({0, 0, 400, 400}, WS_POPUP | WS_VISIBLE);
    ShowWindow(application->handle, SW_SHOW);
    EXPECT_EQ(GetFocus(), application->handle);
    // Front to back: the pop-up, the application, the other window.
    std::vector<HWND> order;
    for (HWND at = GetWindow(popup.handle, GW_HWNDFIRST); at; at = GetWindow(at, GW_HWNDNEXT))
        if (at == popup.handle || at == application->handle || at == cover.handle)
            order.push_back(at);
    EXPECT_EQ(order, (std::vector<HWND>{popup.handle, application->handle, cover.handle}));
    popup.received.clear();
    EXPECT_EQ(tavo_MouseClick({200, 160}), popup.handle);
    EXPECT_EQ(popup.kinds(), (std::vector<UINT>(3, WM_SETCURSOR)));
}

} // namespace
