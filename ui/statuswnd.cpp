// The status window: two picture buttons, the input mode (Cantonese or
// alphanumeric) and the character shape (full or half width), each
// switched by a click.
#include "ui/uiwnd.h"

#include "frame/globdata.h"
#include "ui/resource.h"

#define BUTTON_SIZE 24

void ShowStatusWnd(HWND uiWnd, int showCommand) {
    UILocks locks;
    LockUI(uiWnd, &locks, FALSE);
    UIPrivate *ui = locks.ui;
    if (ui != NULL && ui->statusWnd == NULL)
        CreateStatusWnd(uiWnd, ui);
    if (ui != NULL && ui->statusWnd != NULL)
        ShowWindow(ui->statusWnd, showCommand);
    UnlockUI(&locks);
}

void CreateStatusWnd(HWND uiWnd, UIPrivate *ui) {
    SetRect(&ui->modeButton, 0, 0, BUTTON_SIZE, BUTTON_SIZE);
    ui->shapeButton = ui->modeButton;
    OffsetRect(&ui->shapeButton, BUTTON_SIZE, 0);
    int width = 2 * (ui->cxEdge + ui->cxBorder) + ui->shapeButton.right - ui->modeButton.left;
    int height = 2 * (ui->cyEdge + ui->cyBorder) + ui->shapeButton.bottom;
    ui->statusWnd = CreateWindowEx(WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE, globData.statusClass,
                                   NULL, WS_POPUP | WS_DISABLED | WS_BORDER, 0, 0, width, height,
                                   uiWnd, NULL, globData.hInstance, NULL);
    if (ui->statusWnd != NULL)
        MoveStatusWnd(uiWnd);
}

void MoveStatusWnd(HWND uiWnd) {
    UILocks locks;
    LockUI(uiWnd, &locks, FALSE);
    UIPrivate *ui = locks.ui;
    RECT rect;
    if (ui != NULL && ui->statusWnd != NULL && locks.lpIMC != NULL) {
        POINT anchor = locks.lpIMC->ptStatusWndPos;
        ClientToScreen(locks.lpIMC->hWnd, &anchor);
        if ((anchor.x != ui->statusPos.x || anchor.y != ui->statusPos.y) &&
            GetWindowRect(ui->statusWnd, &rect)) {
            ui->statusPos = anchor;
            SetStatusWndSize(ui, rect.right - rect.left, rect.bottom - rect.top);
            ScreenToClient(locks.lpIMC->hWnd, &anchor);
            locks.lpIMC->ptStatusWndPos = anchor;
        }
    }
    UnlockUI(&locks);
}

void SetStatusWndSize(UIPrivate *ui, int width, int height) {
    // At the left edge of the screen unless the anchor lies left of it.
    int x = ui->statusPos.x < 0 ? ui->statusPos.x : 0;
    int y = ui->statusPos.y;
    int overBottom = y + height - ui->workArea.bottom;
    if (overBottom > 0)
        y -= overBottom;
    SetWindowPos(ui->statusWnd, HWND_TOP, x, y, width, height, SWP_NOACTIVATE);
}

void UpdateStatusWnd(HWND uiWnd) {
    UILocks locks;
    LockUI(uiWnd, &locks, FALSE);
    if (locks.ui != NULL && locks.ui->statusWnd != NULL)
        InvalidateRect(locks.ui->statusWnd, NULL, FALSE);
    UnlockUI(&locks);
}

LRESULT GetStatusWnd(HWND uiWnd) {
    UILocks locks;
    LockUI(uiWnd, &locks, FALSE);
    RECT rect;
    LRESULT position = 0;
    if (locks.ui != NULL && locks.ui->statusWnd != NULL &&
        GetWindowRect(locks.ui->statusWnd, &rect))
        position = (LRESULT)(((DWORD)(rect.top & 0xFFFF) << 16) | (DWORD)(rect.left & 0xFFFF));
    UnlockUI(&locks);
    return position;
}

LRESULT CALLBACK StatusWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC hdc = BeginPaint(hWnd, &paint);
        if (hdc != NULL)
            PaintStatusWnd(GetWindow(hWnd, GW_OWNER), hdc);
        EndPaint(hWnd, &paint);
        return 0;
    }
    case WM_SETCURSOR:
        SetStatusCursor(GetWindow(hWnd, GW_OWNER), HIWORD(lParam));
        return 0;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    }
    return DefWindowProc(hWnd, message, wParam, lParam);
}

void SetStatusCursor(HWND uiWnd, UINT mouseMessage) {
    UILocks locks;
    LockUI(uiWnd, &locks, FALSE);
    UIPrivate *ui = locks.ui;
    POINT point;
    DWORD toggle = 0;
    if (ui != NULL && ui->statusWnd != NULL && GetCursorPos(&point)) {
        ScreenToClient(ui->statusWnd, &point);
        if (PtInRect(&ui->modeButton, point))
            toggle = IME_CMODE_NATIVE;
        else if (PtInRect(&ui->shapeButton, point))
            toggle = IME_CMODE_FULLSHAPE;
        if (toggle != 0)
            SetCursor(LoadCursor(globData.hInstance, MAKEINTRESOURCE(CURSOR_HAND)));
    }
    HIMC hIMC = locks.lpIMC != NULL ? locks.hIMC : NULL;
    DWORD conversion = locks.lpIMC != NULL ? locks.lpIMC->fdwConversion : 0;
    DWORD sentence = locks.lpIMC != NULL ? locks.lpIMC->fdwSentence : 0;
    // The change is notified back to this window: nothing stays locked.
    UnlockUI(&locks);
    if (toggle == 0 || mouseMessage != WM_LBUTTONDOWN || hIMC == NULL)
        return;
    // The input mode is heard as the keyboard toggle makes it heard.
    if (toggle == IME_CMODE_NATIVE)
        PlayWave(WAVE_NATIVE_ON | (conversion & IME_CMODE_NATIVE));
    ImmSetConversionStatus(hIMC, conversion ^ toggle, sentence);
}

// Copies a picture of the module into rect; nothing when it can't load.
static void DrawPicture(HDC hdc, HDC memory, UINT id, const RECT *rect) {
    HBITMAP picture = GetBitmap(globData.hInstance, id);
    if (picture == NULL)
        return;
    HGDIOBJ old = SelectObject(memory, picture);
    BitBlt(hdc, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, memory,
           0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteObject(picture);
}

void PaintStatusWnd(HWND uiWnd, HDC hdc) {
    UILocks locks;
    LockUI(uiWnd, &locks, FALSE);
    if (locks.ui != NULL && locks.lpIMC != NULL) {
        DWORD conversion = locks.lpIMC->fdwConversion;
        HDC memory = CreateCompatibleDC(hdc);
        if (memory != NULL) {
            DrawPicture(hdc, memory,
                        conversion & IME_CMODE_NATIVE ? BITMAP_NATIVE : BITMAP_ALPHANUMERIC,
                        &locks.ui->modeButton);
            DrawPicture(hdc, memory,
                        conversion & IME_CMODE_FULLSHAPE ? BITMAP_FULLSHAPE : BITMAP_HALFSHAPE,
                        &locks.ui->shapeButton);
            DeleteDC(memory);
        }
    }
    UnlockUI(&locks);
}
