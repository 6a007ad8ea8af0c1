// The UI window: it shows nothing itself, keeps the record that the two
// pop-ups share, and turns the manager's notifications into their
// updates.
#include "ui/uiwnd.h"

#include "frame/globdata.h"
#include "ui/resource.h"

void LockUI(HWND uiWnd, UILocks *locks, BOOL contextBlocks) {
    ZeroMemory(locks, sizeof *locks);
    locks->hUIPrivate = (HGLOBAL)GetWindowLongPtr(uiWnd, IMMGWL_PRIVATE);
    if (locks->hUIPrivate != NULL)
        locks->ui = (UIPrivate *)GlobalLock(locks->hUIPrivate);
    locks->hIMC = (HIMC)GetWindowLongPtr(uiWnd, IMMGWL_IMC);
    if (locks->hIMC != NULL)
        locks->lpIMC = ImmLockIMC(locks->hIMC);
    if (locks->lpIMC == NULL || !contextBlocks)
        return;
    locks->data = (PrivateData *)ImmLockIMCC(locks->lpIMC->hPrivate);
    locks->compStr = (LPCOMPOSITIONSTRING)ImmLockIMCC(locks->lpIMC->hCompStr);
}

void UnlockUI(UILocks *locks) {
    if (locks->compStr != NULL)
        ImmUnlockIMCC(locks->lpIMC->hCompStr);
    if (locks->data != NULL)
        ImmUnlockIMCC(locks->lpIMC->hPrivate);
    if (locks->lpIMC != NULL)
        ImmUnlockIMC(locks->hIMC);
    if (locks->ui != NULL)
        GlobalUnlock(locks->hUIPrivate);
    ZeroMemory(locks, sizeof *locks);
}

void IMESetContext(HWND uiWnd, BOOL fSet, LPARAM lParam) {
    if (!fSet) {
        ShowCompWnd(uiWnd, SW_HIDE);
        ShowStatusWnd(uiWnd, SW_HIDE);
        return;
    }
    if ((DWORD)lParam & ISC_SHOWUICOMPOSITIONWINDOW)
        ShowCompWnd(uiWnd, SW_SHOWNOACTIVATE);
    if ((DWORD)lParam & ISC_SHOWUIALL)
        ShowStatusWnd(uiWnd, SW_SHOWNOACTIVATE);
}

// The line height of the stock system font on the screen.
static int SystemFontHeight(void) {
    HDC dc = GetDC(NULL);
    if (dc == NULL)
        return 0;
    HGDIOBJ old = SelectObject(dc, GetStockObject(SYSTEM_FONT));
    TEXTMETRIC metrics;
    int height = GetTextMetrics(dc, &metrics) ? metrics.tmHeight : 0;
    SelectObject(dc, old);
    ReleaseDC(NULL, dc);
    return height;
}

static void InitUIPrivate(UIPrivate *ui) {
    ZeroMemory(ui, sizeof *ui);
    ui->cxBorder = GetSystemMetrics(SM_CXBORDER);
    ui->cyBorder = GetSystemMetrics(SM_CYBORDER);
    ui->cxEdge = GetSystemMetrics(SM_CXEDGE);
    ui->cyEdge = GetSystemMetrics(SM_CYEDGE);
    SystemParametersInfo(SPI_GETWORKAREA, 0, &ui->workArea, 0);
    ui->hpenDot = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    ui->hbrDot = CreateSolidBrush(RGB(0, 0, 0));
    ui->hbrBack = CreateSolidBrush(RGB(223, 223, 223));
    ui->sysFontHeight = SystemFontHeight();
    UpdateFont(ui);
}

void CreateUIWnd(HWND uiWnd) {
    SetWindowPos(uiWnd, NULL, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOZORDER);
    ShowWindow(uiWnd, SW_HIDE);
    HGLOBAL block = GlobalAlloc(GHND, sizeof(UIPrivate));
    SetWindowLongPtr(uiWnd, IMMGWL_PRIVATE, (LONG_PTR)block);
    UIPrivate *ui = block != NULL ? (UIPrivate *)GlobalLock(block) : NULL;
    if (ui != NULL) {
        InitUIPrivate(ui);
        GlobalUnlock(block);
    }
    // Heard whether or not the record could be made; earlier sounds and
    // speech go on.
    PlaySound(MAKEINTRESOURCE(WAVE_UI_CREATED), globData.hInstance, SND_RESOURCE | SND_ASYNC);
}

static void DeleteDrawingObjects(UIPrivate *ui) {
    HGDIOBJ objects[] = {ui->hFont, ui->hbrBack, ui->hbrDot, ui->hpenDot};
    for (HGDIOBJ object : objects)
        if (object != NULL)
            DeleteObject(object);
}

void DestroyUIWnd(HWND uiWnd) {
    // Synchronous: the window goes once its closing sound has been heard.
    PlaySound(MAKEINTRESOURCE(WAVE_UI_DESTROYED), globData.hInstance, SND_RESOURCE);
    HGLOBAL block = (HGLOBAL)GetWindowLongPtr(uiWnd, IMMGWL_PRIVATE);
    if (block == NULL)
        return;
    UIPrivate *ui = (UIPrivate *)GlobalLock(block);
    if (ui != NULL) {
        if (ui->compWnd != NULL)
            DestroyWindow(ui->compWnd);
        if (ui->lines != NULL)
            DeleteTabList(ui->lines);
        DeleteDrawingObjects(ui);
        GlobalUnlock(block);
    }
    GlobalFree(block);
    SetWindowLongPtr(uiWnd, IMMGWL_PRIVATE, 0);
}

void UpdateFont(UIPrivate *ui) {
    if (ui->fontSize == (int)globData.fontSize)
        return;
    HDC dc = GetDC(NULL);
    if (ui->hFont != NULL)
        DeleteObject(ui->hFont);
    ui->fontSize = (int)globData.fontSize;
    int height = MulDiv(-ui->fontSize, dc != NULL ? GetDeviceCaps(dc, LOGPIXELSY) : 96, 72);
    ui->hFont = CreateFont(height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, CHINESEBIG5_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                           DEFAULT_PITCH | FF_DONTCARE, NULL);
    if (dc == NULL)
        return;
    HGDIOBJ old = SelectObject(dc, ui->hFont);
    SIZE extent = {0, 0};
    GetTextExtentPoint32(dc, globData.charLabel, lstrlen(globData.charLabel), &extent);
    ui->charWidth = extent.cx;
    ui->charHeight = extent.cy;
    ui->cellHeight = extent.cy;
    ui->cellWidth = 2 * extent.cy / 3;
    SelectObject(dc, old);
    ReleaseDC(NULL, dc);
}

static void NotifyUI(HWND uiWnd, WPARAM notification) {
    switch (notification) {
    case IMN_SETCOMPOSITIONWINDOW:
        MoveCompWnd(uiWnd);
        break;
    case IMN_OPENSTATUSWINDOW:
        ShowStatusWnd(uiWnd, SW_SHOWNOACTIVATE);
        break;
    case IMN_CLOSESTATUSWINDOW:
        ShowStatusWnd(uiWnd, SW_HIDE);
        break;
    case IMN_SETCONVERSIONMODE:
        UpdateStatusWnd(uiWnd);
        break;
    }
}

static LRESULT ControlUI(HWND uiWnd, WPARAM command, LPARAM lParam) {
    if (command == IMC_GETCOMPOSITIONWINDOW)
        GetCompWnd(uiWnd, (LPCOMPOSITIONFORM)lParam);
    else if (command == IMC_GETSTATUSWINDOWPOS)
        return GetStatusWnd(uiWnd);
    return 0;
}

LRESULT CALLBACK UIWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        CreateUIWnd(hWnd);
        return 0;
    case WM_DESTROY:
        DestroyUIWnd(hWnd);
        return 0;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_IME_STARTCOMPOSITION:
    case WM_IME_COMPOSITION:
        UpdateCompWnd(hWnd);
        return 0;
    case WM_IME_ENDCOMPOSITION:
        ShowCompWnd(hWnd, SW_HIDE);
        return 0;
    case WM_IME_SETCONTEXT:
        IMESetContext(hWnd, (BOOL)wParam, lParam);
        return 0;
    case WM_IME_SELECT:
        IMESetContext(hWnd, (BOOL)wParam, 0);
        return 0;
    case WM_IME_NOTIFY:
        NotifyUI(hWnd, wParam);
        return 0;
    case WM_IME_CONTROL:
        return ControlUI(hWnd, wParam, lParam);
    }
    return DefWindowProc(hWnd, message, wParam, lParam);
}
