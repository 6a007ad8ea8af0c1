// Windows through the Windows calls: classes per instance, extra bytes,
// creation and destruction with owned windows, places and the Z order,
// client coordinates and frames, painting, queues, the caret, focus and
// the host's clicks, and pictures of the screen.
#include "platform/posix/screen.h"
#include "platform/posix/user_host.h"
#include "tests/helpers/recording_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

using tests::RecordingWindow;

const HINSTANCE kModuleA = reinterpret_cast<HINSTANCE>(0x7A000000);
const HINSTANCE kModuleB = reinterpret_cast<HINSTANCE>(0x7B000000);

LRESULT CALLBACK procedureA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK procedureB(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

ATOM registerFor(HINSTANCE instance, LPCWSTR name, WNDPROC procedure, int windowExtra = 0,
                 int classExtra = 0, UINT style = 0) {
    WNDCLASSEXW description = {};
    description.cbSize = sizeof description;
    description.style = style;
    description.lpfnWndProc = procedure;
    description.cbWndExtra = windowExtra;
    description.cbClsExtra = classExtra;
    description.hInstance = instance;
    description.lpszClassName = name;
    return RegisterClassExW(&description);
}

TEST(WindowClasses, AreKeptPerInstanceAndUnregisteredPerInstance) {
    ASSERT_NE(registerFor(kModuleA, u"TestThing", procedureA, 8), 0);
    EXPECT_EQ(registerFor(kModuleA, u"testTHING", procedureA), 0) << "names ignore case";
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CLASS_ALREADY_EXISTS));
    ASSERT_NE(registerFor(kModuleB, u"TestThing", procedureB, 16), 0);

    WNDCLASSEXW found = {};
    ASSERT_TRUE(GetClassInfoExW(kModuleA, u"TESTTHING", &found));
    EXPECT_EQ(found.lpfnWndProc, procedureA);
    EXPECT_EQ(found.cbWndExtra, 8);
    ASSERT_TRUE(GetClassInfoExW(kModuleB, u"TestThing", &found));
    EXPECT_EQ(found.lpfnWndProc, procedureB);
    WNDCLASSEXA narrow = {};
    ASSERT_TRUE(GetClassInfoExA(kModuleB, "TestThing", &narrow));
    EXPECT_STREQ(narrow.lpszClassName, "TestThing");

    // A window is made from the class of its instance.
    HWND window = CreateWindowExW(0, u"TestThing", u"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  kModuleB, nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(GetWindowLongPtrW(window, GWLP_WNDPROC), LONG_PTR(procedureB));
    EXPECT_FALSE(UnregisterClassW(u"TestThing", kModuleB));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CLASS_HAS_WINDOWS));

    EXPECT_TRUE(UnregisterClassW(u"TestThing", kModuleA));
    EXPECT_FALSE(GetClassInfoExW(kModuleA, u"TestThing", &found));
    EXPECT_FALSE(UnregisterClassW(u"TestThing", kModuleA));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CLASS_DOES_NOT_EXIST));
    EXPECT_TRUE(GetClassInfoExW(kModuleB, u"TestThing", &found)) << "the other module's stays";

    DestroyWindow(window);
    EXPECT_TRUE(UnregisterClassW(u"TestThing", kModuleB));
    // A module loaded again registers afresh.
    EXPECT_NE(registerFor(kModuleA, u"TestThing", procedureA), 0);
    EXPECT_TRUE(UnregisterClassW(u"TestThing", kModuleA));
}

TEST(WindowClasses, AnsiRegistrationsAreFoundByEitherName) {
    WNDCLASSEXA description = {};
    description.cbSize = sizeof description;
    description.lpfnWndProc = procedureA;
    description.hInstance = kModuleA;
    description.lpszClassName = "NarrowThing";
    ASSERT_NE(RegisterClassExA(&description), 0);
    HWND window = CreateWindowExW(0, u"NarrowThing", nullptr, WS_POPUP, 0, 0, 1, 1, nullptr,
                                  nullptr, kModuleA, nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(IsWindowUnicode(window));
    char name[32] = {};
    EXPECT_EQ(GetClassNameA(window, name, sizeof name), 11);
    EXPECT_STREQ(name, "NarrowThing");
    DestroyWindow(window);
    EXPECT_TRUE(UnregisterClassA("NarrowThing", kModuleA));
    description.cbSize = 0;
    EXPECT_EQ(RegisterClassExA(&description), 0) << "a description of the wrong size";
}

TEST(WindowClasses, ExtraBytesAreZeroedAndSlotsIndependent) {
    ASSERT_NE(registerFor(kModuleA, u"SlotThing", procedureA, 2 * sizeof(LONG_PTR),
                          sizeof(LONG_PTR), CS_IME),
              0);
    HWND window = CreateWindowExW(0, u"SlotThing", nullptr, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                  kModuleA, nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(GetWindowLongPtrW(window, IMMGWL_IMC), 0);
    EXPECT_EQ(GetWindowLongPtrW(window, IMMGWL_PRIVATE), 0);
    EXPECT_EQ(SetWindowLongPtrW(window, IMMGWL_IMC, 0x1234), 0);
    EXPECT_EQ(SetWindowLongPtrW(window, IMMGWL_PRIVATE, 0x5678), 0);
    EXPECT_EQ(GetWindowLongPtrW(window, IMMGWL_IMC), 0x1234);
    EXPECT_EQ(SetWindowLongPtrW(window, IMMGWL_PRIVATE, 0x9ABC), 0x5678);
    // Past the end of the extra bytes.
    SetLastError(0);
    EXPECT_EQ(GetWindowLongPtrW(window, 2 * sizeof(LONG_PTR) - 1), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_INDEX));
    EXPECT_EQ(GetWindowLongW(window, 2 * sizeof(LONG_PTR) - 4), 0);
    // The class's own extra bytes, shared by its windows.
    EXPECT_EQ(SetClassLongPtrW(window, 0, 77), 0u);
    EXPECT_EQ(GetClassLongPtrW(window, 0), 77u);
    EXPECT_EQ(GetClassLongPtrW(window, GCL_STYLE), ULONG_PTR(CS_IME));
    EXPECT_EQ(GetClassLongPtrW(window, GCL_CBWNDEXTRA), 2 * sizeof(LONG_PTR));
    DestroyWindow(window);
    EXPECT_EQ(GetWindowLongPtrW(window, IMMGWL_IMC), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
    UnregisterClassW(u"SlotThing", kModuleA);
}

TEST(Windows, CreationAndDestructionAreAnnounced) {
    int param = 0;
    RecordingWindow made;
    std::vector<UINT> creation = made.kinds({WM_NCCREATE, WM_CREATE});
    EXPECT_EQ(creation, (std::vector<UINT>{WM_NCCREATE, WM_CREATE}));

    // A window that refuses WM_CREATE is not made, and is told it goes.
    std::vector<UINT> heard;
    struct Refuser {
        static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
            auto *log = reinterpret_cast<std::vector<UINT> *>(
                message == WM_NCCREATE
                    ? reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams
                    : reinterpret_cast<void *>(GetWindowLongPtrW(window, GWLP_USERDATA)));
            if (message == WM_NCCREATE)
                SetWindowLongPtrW(window, GWLP_USERDATA, LONG_PTR(log));
            if (log)
                log->push_back(message);
            if (message == WM_CREATE)
                return -1;
            return DefWindowProcW(window, message, wParam, lParam);
        }
    };
    registerFor(kModuleA, u"Refuser", Refuser::procedure);
    EXPECT_EQ(CreateWindowExW(0, u"Refuser", nullptr, WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                              kModuleA, &heard),
              nullptr);
    EXPECT_EQ(heard, (std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_DESTROY, WM_NCDESTROY}));
    EXPECT_TRUE(UnregisterClassW(u"Refuser", kModuleA)) << "no window of the class is left";
    EXPECT_EQ(CreateWindowExW(0, u"NoSuchClass", nullptr, WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                              nullptr, &param),
              nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CANNOT_FIND_WND_CLASS));
}

TEST(Windows, OwnedWindowsGoFirstWithTheirOwner) {
    auto owner = std::make_unique<RecordingWindow>();
    RecordingWindow owned({0, 0, 10, 10}, WS_POPUP, owner->handle);
    RecordingWindow ownedByOwned({0, 0, 10, 10}, WS_POPUP, owned.handle);
    EXPECT_EQ(GetWindow(owned.handle, GW_OWNER), owner->handle);
    EXPECT_EQ(GetWindow(ownedByOwned.handle, GW_OWNER), owned.handle);
    EXPECT_EQ(GetWindow(owner->handle, GW_OWNER), nullptr);

    std::vector<HWND> destroyed;
    auto record = [&destroyed](RecordingWindow &window) {
        window.onMessage = [&destroyed, &window](UINT message, WPARAM, LPARAM) {
            if (message == WM_DESTROY)
                destroyed.push_back(window.handle);
            return std::optional<LRESULT>();
        };
    };
    record(*owner);
    record(owned);
    record(ownedByOwned);
    HWND ownerHandle = owner->handle, ownedHandle = owned.handle, last = ownedByOwned.handle;
    EXPECT_TRUE(DestroyWindow(ownerHandle));
    EXPECT_EQ(destroyed, (std::vector<HWND>{last, ownedHandle, ownerHandle}));
    for (HWND gone : {ownerHandle, ownedHandle, last})
        EXPECT_FALSE(IsWindow(gone));
    EXPECT_EQ(owned.kinds({WM_NCDESTROY}).size(), 1u);
    EXPECT_FALSE(DestroyWindow(ownerHandle));
}

TEST(Windows, PlacesSizesAndVisibility) {
    RecordingWindow window({10, 20, 110, 70});
    RECT rect;
    ASSERT_TRUE(GetWindowRect(window.handle, &rect));
    EXPECT_EQ(rect.left, 10);
    EXPECT_EQ(rect.bottom, 70);
    EXPECT_TRUE(SetWindowPos(window.handle, nullptr, 300, 400, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE));
    GetWindowRect(window.handle, &rect);
    EXPECT_EQ(rect.left, 300);
    EXPECT_EQ(rect.top, 400);
    EXPECT_EQ(rect.right - rect.left, 100) << "SWP_NOSIZE keeps the size";
    EXPECT_TRUE(SetWindowPos(window.handle, nullptr, 0, 0, 40, 30,
                             SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE));
    GetWindowRect(window.handle, &rect);
    EXPECT_EQ(rect.left, 300) << "SWP_NOMOVE keeps the place";
    EXPECT_EQ(rect.right, 340);
    EXPECT_EQ(rect.bottom, 430);
    EXPECT_TRUE(MoveWindow(window.handle, 5, 6, 7, 8, TRUE));
    GetWindowRect(window.handle, &rect);
    EXPECT_EQ(rect.left, 5);
    EXPECT_EQ(rect.bottom, 14);

    EXPECT_FALSE(IsWindowVisible(window.handle));
    EXPECT_FALSE(ShowWindow(window.handle, SW_SHOWNOACTIVATE)) << "was hidden";
    EXPECT_TRUE(IsWindowVisible(window.handle));
    EXPECT_NE(GetFocus(), window.handle) << "shown without activation";
    EXPECT_TRUE(ShowWindow(window.handle, SW_HIDE)) << "was visible";
    EXPECT_FALSE(IsWindowVisible(window.handle));
    EXPECT_EQ(window.kinds({WM_SHOWWINDOW}).size(), 2u);
    EXPECT_TRUE(
        SetWindowPos(window.handle, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW));
    EXPECT_TRUE(IsWindowVisible(window.handle));
    EXPECT_FALSE(SetWindowPos(reinterpret_cast<HWND>(0x999), nullptr, 0, 0, 0, 0, 0));
}

// The windows of this test in front-to-back order.
std::vector<HWND> zOrderOf(std::initializer_list<HWND> windows) {
    std::vector<HWND> order;
    for (HWND at = GetWindow(*windows.begin(), GW_HWNDFIRST); at; at = GetWindow(at, GW_HWNDNEXT))
        if (std::find(windows.begin(), windows.end(), at) != windows.end())
            order.push_back(at);
    return order;
}

TEST(Windows, ZOrderKeepsOwnedWindowsInFrontOfTheirOwners) {
    RecordingWindow a, b;
    EXPECT_EQ(zOrderOf({a.handle, b.handle}), (std::vector<HWND>{b.handle, a.handle}))
        << "new windows go to the front";
    RecordingWindow ownedByA({0, 0, 5, 5}, WS_POPUP, a.handle);
    const UINT keep = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    SetWindowPos(b.handle, HWND_TOP, 0, 0, 0, 0, keep);
    EXPECT_EQ(zOrderOf({a.handle, b.handle, ownedByA.handle}),
              (std::vector<HWND>{b.handle, ownedByA.handle, a.handle}));
    // Raising the owned window raises its owner with it.
    SetWindowPos(ownedByA.handle, HWND_TOP, 0, 0, 0, 0, keep);
    EXPECT_EQ(zOrderOf({a.handle, b.handle, ownedByA.handle}),
              (std::vector<HWND>{ownedByA.handle, a.handle, b.handle}));
    // Sending the owned window to the bottom leaves it just above its owner.
    SetWindowPos(ownedByA.handle, HWND_BOTTOM, 0, 0, 0, 0, keep);
    EXPECT_EQ(zOrderOf({a.handle, b.handle, ownedByA.handle}),
              (std::vector<HWND>{ownedByA.handle, a.handle, b.handle}));
    SetWindowPos(a.handle, b.handle, 0, 0, 0, 0, keep);
    EXPECT_EQ(zOrderOf({a.handle, b.handle, ownedByA.handle}),
              (std::vector<HWND>{b.handle, ownedByA.handle, a.handle}));
    // A topmost window stays in front of what is raised later.
    SetWindowPos(a.handle, HWND_TOPMOST, 0, 0, 0, 0, keep);
    SetWindowPos(b.handle, HWND_TOP, 0, 0, 0, 0, keep);
    EXPECT_EQ(zOrderOf({a.handle, b.handle, ownedByA.handle}),
              (std::vector<HWND>{ownedByA.handle, a.handle, b.handle}));
    EXPECT_TRUE(GetWindowLongW(a.handle, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST(Windows, ClientAreasSitInsideTheirFrames) {
    RecordingWindow bordered({100, 50, 300, 150}, WS_POPUP | WS_BORDER);
    RECT client;
    ASSERT_TRUE(GetClientRect(bordered.handle, &client));
    EXPECT_EQ(client.right, 198);
    EXPECT_EQ(client.bottom, 98);
    POINT point = {0, 0};
    ASSERT_TRUE(ClientToScreen(bordered.handle, &point));
    EXPECT_EQ(point.x, 101);
    EXPECT_EQ(point.y, 51);
    point = {0, 0};
    ASSERT_TRUE(ScreenToClient(bordered.handle, &point));
    EXPECT_EQ(point.x, -101);
    EXPECT_EQ(point.y, -51);
    POINT untouched = {7, 7};
    EXPECT_FALSE(ScreenToClient(reinterpret_cast<HWND>(0x999), &untouched));
    EXPECT_EQ(untouched.x, 7);

    // An input method's status window: a modal-frame pop-up with a border
    // sized for a 48 by 24 client area.
    int width = 2 * (GetSystemMetrics(SM_CXEDGE) + GetSystemMetrics(SM_CXBORDER)) + 48;
    int height = 2 * (GetSystemMetrics(SM_CYEDGE) + GetSystemMetrics(SM_CYBORDER)) + 24;
    RecordingWindow status({0, 0, width, height}, WS_POPUP | WS_DISABLED | WS_BORDER, nullptr,
                           WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE);
    ASSERT_TRUE(GetClientRect(status.handle, &client));
    EXPECT_EQ(client.right, 48);
    EXPECT_EQ(client.bottom, 24);
    RECT frame = {0, 0, 48, 24};
    AdjustWindowRectEx(&frame, WS_POPUP | WS_BORDER, FALSE, WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE);
    EXPECT_EQ(frame.right - frame.left, width);

    // An overlapped window always has a caption.
    RecordingWindow overlapped({0, 0, 200, 100}, WS_OVERLAPPED);
    EXPECT_EQ(GetWindowLongW(overlapped.handle, GWL_STYLE) & WS_CAPTION, LONG(WS_CAPTION));
    GetClientRect(overlapped.handle, &client);
    EXPECT_EQ(client.bottom,
              100 - 2 * GetSystemMetrics(SM_CYDLGFRAME) - GetSystemMetrics(SM_CYCAPTION));
}

TEST(Screen, MetricsAndWorkArea) {
    EXPECT_EQ(GetSystemMetrics(SM_CXBORDER), 1);
    EXPECT_EQ(GetSystemMetrics(SM_CYBORDER), 1);
    EXPECT_EQ(GetSystemMetrics(SM_CXEDGE), 2);
    EXPECT_EQ(GetSystemMetrics(SM_CYEDGE), 2);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1920);
    RECT area = {};
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0));
    EXPECT_EQ(area.right, 1920);
    EXPECT_EQ(area.bottom, 1040);
    EXPECT_FALSE(SystemParametersInfoA(SPI_GETWORKAREA, 0, nullptr, 0));
}

// Dispatches what the thread's queue holds; how many WM_PAINT came.
int pumpCountingPaints(HWND window) {
    MSG message;
    int paints = 0;
    for (int guard = 0; guard < 100 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++guard) {
        paints += message.message == WM_PAINT && message.hwnd == window;
        DispatchMessageW(&message);
    }
    return paints;
}

TEST(Painting, OnlyVisibleInvalidWindowsPaintAndOnlyTheInvalidPart) {
    RecordingWindow window({0, 0, 100, 60}, WS_POPUP | WS_BORDER);
    pumpCountingPaints(window.handle);
    EXPECT_TRUE(InvalidateRect(window.handle, nullptr, FALSE));
    EXPECT_EQ(pumpCountingPaints(window.handle), 0) << "hidden windows don't paint";

    ShowWindow(window.handle, SW_SHOWNOACTIVATE);
    EXPECT_EQ(pumpCountingPaints(window.handle), 1) << "showing makes it all invalid";
    EXPECT_EQ(pumpCountingPaints(window.handle), 0) << "DefWindowProc validated it";

    RECT part = {10, 10, 20, 30};
    InvalidateRect(window.handle, &part, TRUE);
    RECT update;
    ASSERT_TRUE(GetUpdateRect(window.handle, &update, FALSE));
    EXPECT_EQ(update.left, 10);
    EXPECT_EQ(update.bottom, 30);
    std::optional<PAINTSTRUCT> painted;
    window.onMessage = [&](UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message != WM_PAINT)
            return {};
        PAINTSTRUCT paint;
        EXPECT_NE(BeginPaint(window.handle, &paint), nullptr);
        painted = paint;
        EndPaint(window.handle, &paint);
        return 0;
    };
    EXPECT_TRUE(UpdateWindow(window.handle));
    ASSERT_TRUE(painted);
    EXPECT_EQ(painted->rcPaint.left, 10);
    EXPECT_EQ(painted->rcPaint.right, 20);
    EXPECT_EQ(painted->rcPaint.top, 10);
    EXPECT_TRUE(painted->fErase);
    painted.reset();
    EXPECT_TRUE(UpdateWindow(window.handle));
    EXPECT_FALSE(painted) << "nothing invalid, no WM_PAINT";

    // Validating the part that was invalid leaves nothing to paint; an
    // invalid area is cut to the client area.
    InvalidateRect(window.handle, &part, FALSE);
    ValidateRect(window.handle, &part);
    EXPECT_FALSE(GetUpdateRect(window.handle, nullptr, FALSE));
    RECT beyond = {90, 50, 500, 500};
    InvalidateRect(window.handle, &beyond, FALSE);
    GetUpdateRect(window.handle, &update, FALSE);
    EXPECT_EQ(update.right, 98);
    EXPECT_EQ(update.bottom, 58);
    // A size change makes the whole client area invalid.
    ValidateRect(window.handle, nullptr);
    SetWindowPos(window.handle, nullptr, 0, 0, 50, 40, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    GetUpdateRect(window.handle, &update, FALSE);
    EXPECT_EQ(update.right, 48);
    EXPECT_EQ(update.bottom, 38);

    HDC dc = GetDC(window.handle);
    EXPECT_NE(dc, nullptr);
    EXPECT_EQ(ReleaseDC(window.handle, dc), 1);
    EXPECT_EQ(ReleaseDC(window.handle, dc), 0) << "released once";
}

TEST(Messages, PostedMessagesWaitInOrderAndGoWithTheirWindow) {
    RecordingWindow first, second;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&message);
    PostMessageW(first.handle, WM_USER, 1, 0);
    PostMessageW(second.handle, WM_USER, 2, 0);
    PostMessageW(first.handle, WM_USER + 1, 3, 0);
    ASSERT_TRUE(PeekMessageW(&message, second.handle, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(message.wParam, 2u) << "filtered by window";
    ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_USER + 1, WM_USER + 1, PM_REMOVE));
    EXPECT_EQ(message.wParam, 3u) << "filtered by message";
    ASSERT_TRUE(GetMessageW(&message, nullptr, 0, 0));
    EXPECT_EQ(message.wParam, 1u);
    EXPECT_EQ(DispatchMessageW(&message), 0);
    EXPECT_EQ(first.of({WM_USER}).size(), 1u);
    // DefWindowProc turns a character of the input method into WM_CHAR.
    SendMessageW(first.handle, WM_IME_CHAR, 0x4F60, 1);
    ASSERT_TRUE(PeekMessageW(&message, first.handle, WM_CHAR, WM_CHAR, PM_REMOVE));
    EXPECT_EQ(message.wParam, 0x4F60u);

    DestroyWindow(second.handle);
    EXPECT_FALSE(PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_REMOVE))
        << "a destroyed window's messages go with it";
    PostQuitMessage(3);
    EXPECT_EQ(GetMessageW(&message, nullptr, 0, 0), FALSE);
    EXPECT_EQ(message.message, UINT(WM_QUIT));
    EXPECT_EQ(message.wParam, 3u);

    SetLastError(0);
    EXPECT_EQ(SendMessageW(second.handle, WM_USER, 0, 0), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_FALSE(PostMessageW(second.handle, WM_USER, 0, 0));
}

TEST(Focus, MovesWithKillAndSetFocusAndLeavesADestroyedWindow) {
    auto first = std::make_unique<RecordingWindow>();
    RecordingWindow second;
    SetFocus(first->handle);
    EXPECT_EQ(GetFocus(), first->handle);
    EXPECT_EQ(SetFocus(second.handle), first->handle);
    ASSERT_EQ(first->of({WM_KILLFOCUS}).size(), 1u);
    EXPECT_EQ(first->of({WM_KILLFOCUS})[0].wParam, WPARAM(second.handle));
    ASSERT_EQ(second.of({WM_SETFOCUS}).size(), 1u);
    EXPECT_EQ(second.of({WM_SETFOCUS})[0].wParam, WPARAM(first->handle));
    SetFocus(first->handle);
    first.reset();
    EXPECT_EQ(GetFocus(), nullptr);
}

TEST(Caret, BelongsToItsWindowAndGoesWithIt) {
    auto window = std::make_unique<RecordingWindow>();
    POINT caret = {9, 9};
    EXPECT_TRUE(GetCaretPos(&caret));
    EXPECT_EQ(caret.x, 0) << "no caret";
    EXPECT_FALSE(SetCaretPos(3, 4));
    ASSERT_TRUE(CreateCaret(window->handle, nullptr, 2, 16));
    EXPECT_TRUE(SetCaretPos(30, 40));
    ASSERT_TRUE(GetCaretPos(&caret));
    EXPECT_EQ(caret.x, 30);
    EXPECT_EQ(caret.y, 40);
    window.reset();
    GetCaretPos(&caret);
    EXPECT_EQ(caret.x, 0);
    EXPECT_FALSE(DestroyCaret());
}

struct Clicked {
    std::vector<UINT> kinds;
    std::vector<tests::Received> setCursor;
};

// What the host's click at point made window hear.
Clicked clickAt(RecordingWindow &window, POINT point) {
    window.received.clear();
    EXPECT_EQ(tavo_MouseClick(point), window.handle);
    Clicked clicked;
    for (const tests::Received &one : window.received) {
        clicked.kinds.push_back(one.message);
        if (one.message == WM_SETCURSOR)
            clicked.setCursor.push_back(one);
    }
    return clicked;
}

TEST(Mouse, DisabledPopupsHearClicksOnlyThroughSetCursor) {
    RecordingWindow popup({400, 300, 500, 340}, WS_POPUP | WS_DISABLED | WS_BORDER | WS_VISIBLE);
    Clicked clicked = clickAt(popup, {450, 320});
    EXPECT_EQ(clicked.kinds, (std::vector<UINT>(3, WM_SETCURSOR)));
    ASSERT_EQ(clicked.setCursor.size(), 3u);
    EXPECT_EQ(clicked.setCursor[0].wParam, WPARAM(popup.handle));
    EXPECT_EQ(LOWORD(clicked.setCursor[0].lParam), WORD(HTERROR));
    EXPECT_EQ(HIWORD(clicked.setCursor[0].lParam), WM_MOUSEMOVE);
    EXPECT_EQ(HIWORD(clicked.setCursor[1].lParam), WM_LBUTTONDOWN);
    EXPECT_EQ(HIWORD(clicked.setCursor[2].lParam), WM_LBUTTONUP);
    POINT pointer;
    GetCursorPos(&pointer);
    EXPECT_EQ(pointer.x, 450);
    EXPECT_EQ(pointer.y, 320);
}

TEST(Mouse, EnabledWindowsAreAskedToActivateThenHearTheButton) {
    RecordingWindow back({0, 0, 300, 300}, WS_POPUP | WS_VISIBLE);
    RecordingWindow front({100, 100, 200, 200}, WS_POPUP | WS_BORDER | WS_VISIBLE);
    SetFocus(back.handle);
    Clicked clicked = clickAt(front, {150, 120});
    EXPECT_EQ(clicked.kinds,
              (std::vector<UINT>{WM_NCHITTEST, WM_SETCURSOR, WM_MOUSEMOVE, WM_NCHITTEST,
                                 WM_MOUSEACTIVATE, WM_SETFOCUS, WM_SETCURSOR, WM_LBUTTONDOWN,
                                 WM_NCHITTEST, WM_SETCURSOR, WM_LBUTTONUP}));
    EXPECT_EQ(GetFocus(), front.handle) << "DefWindowProc answers MA_ACTIVATE";
    auto down = front.of({WM_LBUTTONDOWN});
    ASSERT_EQ(down.size(), 1u);
    EXPECT_EQ(GET_X_LPARAM(down[0].lParam), 49) << "client coordinates, inside the border";
    EXPECT_EQ(GET_Y_LPARAM(down[0].lParam), 19);
    EXPECT_EQ(down[0].wParam, WPARAM(MK_LBUTTON));
    EXPECT_EQ(LOWORD(clicked.setCursor[1].lParam), HTCLIENT);

    // A window that refuses activation and eats the press hears no
    // WM_LBUTTONDOWN and leaves the focus where it was.
    SetFocus(back.handle);
    front.onMessage = [](UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_MOUSEACTIVATE)
            return MA_NOACTIVATEANDEAT;
        return {};
    };
    clicked = clickAt(front, {150, 120});
    EXPECT_TRUE(front.of({WM_LBUTTONDOWN}).empty());
    EXPECT_EQ(front.of({WM_LBUTTONUP}).size(), 1u);
    EXPECT_EQ(GetFocus(), back.handle);

    // On the border: the hit is HTBORDER, and no client message follows.
    front.onMessage = nullptr;
    clicked = clickAt(front, {100, 150});
    EXPECT_EQ(LOWORD(clicked.setCursor.back().lParam), HTBORDER);
    EXPECT_TRUE(front.of({WM_LBUTTONDOWN, WM_LBUTTONUP}).empty());
    EXPECT_EQ(tavo_MouseClick({1000, 1000}), nullptr) << "nothing there";
    SetFocus(nullptr);
}

TEST(Mouse, DefaultSetCursorUsesTheClassCursor) {
    WNDCLASSEXW description = {};
    description.cbSize = sizeof description;
    description.lpfnWndProc = procedureA;
    description.hInstance = kModuleA;
    description.hCursor = reinterpret_cast<HCURSOR>(0x4321);
    description.lpszClassName = u"CursorThing";
    ASSERT_NE(RegisterClassExW(&description), 0);
    HWND window = CreateWindowExW(0, u"CursorThing", nullptr, WS_POPUP, 0, 0, 10, 10, nullptr,
                                  nullptr, kModuleA, nullptr);
    SetCursor(nullptr);
    EXPECT_TRUE(
        SendMessageW(window, WM_SETCURSOR, WPARAM(window), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(GetCursor(), description.hCursor);
    SetCursor(nullptr);
    EXPECT_FALSE(
        SendMessageW(window, WM_SETCURSOR, WPARAM(window), MAKELPARAM(HTBORDER, WM_MOUSEMOVE)));
    EXPECT_EQ(GetCursor(), nullptr);
    DestroyWindow(window);
    UnregisterClassW(u"CursorThing", kModuleA);
}

COLORREF pixelAt(const posix::Surface &picture, LONG x, LONG y) {
    return picture.at(x, y);
}

TEST(Screen, PicturesComposeWindowsInZOrderWithTheirFrames) {
    RecordingWindow back({20, 20, 80, 60}, WS_POPUP | WS_BORDER | WS_VISIBLE);
    RecordingWindow front({50, 40, 110, 80}, WS_POPUP | WS_DISABLED | WS_VISIBLE, nullptr,
                          WS_EX_DLGMODALFRAME);
    RecordingWindow hidden({0, 0, 200, 200});
    posix::Surface picture = posix::snapshotScreen({0, 0, 120, 100});
    ASSERT_EQ(picture.width, 120);
    ASSERT_EQ(picture.height, 100);
    EXPECT_EQ(pixelAt(picture, 5, 5), posix::kDesktopColour) << "hidden windows don't show";
    EXPECT_EQ(pixelAt(picture, 20, 20), RGB(0, 0, 0)) << "the one-pixel border";
    EXPECT_EQ(pixelAt(picture, 21, 21), RGB(255, 255, 255)) << "an unpainted client area";
    // The modal frame: a raised edge, then the face, in front of the other.
    EXPECT_EQ(pixelAt(picture, 50, 45), RGB(192, 192, 192));
    EXPECT_EQ(pixelAt(picture, 51, 45), RGB(255, 255, 255));
    EXPECT_EQ(pixelAt(picture, 52, 45), RGB(192, 192, 192));
    EXPECT_EQ(pixelAt(picture, 53, 45), RGB(255, 255, 255)) << "the client area";
    EXPECT_EQ(pixelAt(picture, 109, 60), RGB(0, 0, 0));
    EXPECT_EQ(pixelAt(picture, 108, 60), RGB(128, 128, 128));
    EXPECT_EQ(pixelAt(picture, 79, 30), RGB(0, 0, 0));
    EXPECT_EQ(pixelAt(picture, 79, 50), RGB(255, 255, 255)) << "the front window covers";
    // A window alone, covered or not.
    posix::Surface alone = posix::snapshotWindow(back.handle);
    ASSERT_EQ(alone.width, 60);
    ASSERT_EQ(alone.height, 40);
    EXPECT_EQ(pixelAt(alone, 59, 30), RGB(0, 0, 0));
    EXPECT_EQ(posix::snapshotWindow(nullptr).width, 0);

    // The caret inverts its window's pixels where it is shown.
    SetFocus(nullptr);
    ASSERT_TRUE(CreateCaret(back.handle, nullptr, 2, 10));
    SetCaretPos(4, 4);
    picture = posix::snapshotScreen({0, 0, 120, 100});
    EXPECT_EQ(pixelAt(picture, 25, 25), RGB(255, 255, 255)) << "hidden when made";
    ShowCaret(back.handle);
    picture = posix::snapshotScreen({0, 0, 120, 100});
    EXPECT_EQ(pixelAt(picture, 25, 25), RGB(0, 0, 0));
    EXPECT_EQ(pixelAt(picture, 25, 34), RGB(0, 0, 0));
    EXPECT_EQ(pixelAt(picture, 27, 25), RGB(255, 255, 255));
    DestroyCaret();
}

} // namespace
