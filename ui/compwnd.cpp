// The composition window's layout and place: the engine's display broken
// into lines at runs of three spaces, drawn as text or as braille cells,
// sized to the widest line and kept just below the caret inside the work
// area.
#include "ui/uiwnd.h"

#include "dict/lookup.h"
#include "dict/text.h"
#include "frame/canton.h"
#include "frame/globdata.h"

#define BRAILLE_SCHEME 1

// Whether the engine has anything on show: a reading, candidates, a query
// or the option menu.
static BOOL IsShowing(const PrivateData *data) {
    return data->optionMode || data->mode > MODE_IDLE;
}

// The text to show, taken from the composition string, and whether it is
// drawn as braille cells.
static LPCTSTR PickText(const UILocks *locks, DWORD *length, BOOL *braille) {
    const PrivateData *data = locks->data;
    const LPCOMPOSITIONSTRING cs = locks->compStr;
    if (!data->optionMode && data->mode == MODE_READING) {
        *length = cs->dwCompReadStrLen;
        *braille = globData.brailleDisplay != 0;
        return (LPCTSTR)((BYTE *)cs + cs->dwCompReadStrOffset);
    }
    *length = cs->dwCompStrLen;
    *braille = !data->optionMode && data->mode == MODE_QUERY && globData.brailleExplanation;
    return (LPCTSTR)((BYTE *)cs + cs->dwCompStrOffset);
}

// A copy of the text in which every run of three spaces is one TAB.
static LPTSTR SplitLines(LPCTSTR text, DWORD length) {
    LPTSTR copy = (LPTSTR)GlobalAlloc(GMEM_FIXED, (length + 1) * sizeof(TCHAR));
    if (copy == NULL)
        return NULL;
    DWORD out = 0;
    for (DWORD i = 0; i < length; out++) {
        if (i + 2 < length && text[i] == ' ' && text[i + 1] == ' ' && text[i + 2] == ' ') {
            copy[out] = '\t';
            i += 3;
        } else {
            copy[out] = text[i++];
        }
    }
    copy[out] = 0;
    return copy;
}

// The braille-ASCII form of the text: each dictionary word by its reading,
// other characters as they are. Frees the text.
static LPTSTR ToBraille(ptree *dictTree, LPTSTR text) {
    char *codes = LookupCantonese(dictTree, text);
    GlobalFree(text);
    if (codes == NULL)
        return NULL;
    LPTSTR braille = canton_decode(BRAILLE_SCHEME, codes);
    GlobalFree(codes);
    return braille;
}

static int LineWidth(const UIPrivate *ui, HDC dc, LPCTSTR line) {
    int length = lstrlen(line);
    if (ui->brailleMode)
        return length * ui->cellWidth;
    SIZE extent = {0, 0};
    GetTextExtentPoint32(dc, line, length, &extent);
    return extent.cx;
}

// Sets the line metrics and returns the text's size: the widest line and
// the height of all lines with their gaps.
static SIZE MeasureLines(UIPrivate *ui, HDC dc) {
    ui->lineHeight = ui->brailleMode ? ui->cellHeight : ui->charHeight;
    ui->lineGap = ui->brailleMode ? ui->cellHeight / 4 : 1;
    SIZE size = {0, 0};
    TabList *lines = ui->lines;
    if (lines == NULL)
        return size;
    size.cy = (LONG)lines->count * ui->lineHeight + ((LONG)lines->count - 1) * ui->lineGap;
    for (DWORD i = 0; i < lines->count; i++) {
        GotoTabItem(lines, i);
        int width = LineWidth(ui, dc, lines->item);
        if (width > size.cx)
            size.cx = width;
    }
    GotoTabItem(lines, 0);
    return size;
}

// Replaces the lines with those of the engine's display.
static void BuildLines(const UILocks *locks, UIPrivate *ui) {
    DWORD length = 0;
    LPCTSTR shown = PickText(locks, &length, &ui->brailleMode);
    LPTSTR text = SplitLines(shown, length);
    if (text != NULL && ui->brailleMode)
        text = ToBraille(locks->data->dictTree, text);
    if (ui->lines != NULL)
        DeleteTabList(ui->lines);
    ui->lines = text != NULL ? CreateTabList(text) : NULL;
    if (text != NULL)
        GlobalFree(text);
}

static void LayOut(const UILocks *locks, UIPrivate *ui) {
    HDC dc = GetDC(NULL);
    HGDIOBJ oldFont = dc != NULL ? SelectObject(dc, ui->hFont) : NULL;
    BuildLines(locks, ui);
    SIZE text = MeasureLines(ui, dc);
    if (dc != NULL) {
        SelectObject(dc, oldFont);
        ReleaseDC(NULL, dc);
    }
    ui->marginX = 2 * ui->cxEdge;
    ui->marginY = 2 * ui->cyEdge;
    // Candidates, explanations and the menu get room around them.
    if (locks->data->optionMode || locks->data->mode > MODE_READING) {
        ui->marginX += ui->charWidth / 2;
        ui->marginY += ui->charHeight / 2;
    }
    SetCompWndSize(ui, ui->marginX + 2 * ui->cxBorder + text.cx,
                   ui->marginY + 2 * ui->cyBorder + text.cy);
}

void UpdateCompWnd(HWND uiWnd) {
    UILocks locks;
    LockUI(uiWnd, &locks, TRUE);
    UIPrivate *ui = locks.ui;
    if (ui == NULL) {
        UnlockUI(&locks);
        return;
    }
    if (ui->compWnd == NULL)
        CreateCompWnd(uiWnd, ui);
    BOOL show = locks.data != NULL && locks.compStr != NULL;
    if (show) {
        UpdateFont(ui);
        show = locks.lpIMC->fOpen && IsShowing(locks.data);
    }
    if (show)
        LayOut(&locks, ui);
    // An empty display has no lines and shows no empty box.
    show = show && ui->lines != NULL;
    if (ui->compWnd != NULL) {
        if (show)
            InvalidateRect(ui->compWnd, NULL, FALSE);
        ShowWindow(ui->compWnd, show ? SW_SHOWNOACTIVATE : SW_HIDE);
    }
    UnlockUI(&locks);
}

void CreateCompWnd(HWND uiWnd, UIPrivate *ui) {
    ui->compWnd = CreateWindowEx(0, globData.compClass, NULL, WS_POPUP | WS_DISABLED | WS_BORDER, 0,
                                 0, 0, 0, uiWnd, NULL, globData.hInstance, NULL);
    if (ui->compWnd != NULL)
        MoveCompWnd(uiWnd);
}

// The anchor the application asks for: its composition position, or else
// the caret; in screen coordinates.
static POINT CompAnchor(LPINPUTCONTEXT lpIMC) {
    POINT anchor = {0, 0};
    if (lpIMC->cfCompForm.dwStyle != CFS_DEFAULT)
        anchor = lpIMC->cfCompForm.ptCurrentPos;
    else
        GetCaretPos(&anchor);
    ClientToScreen(lpIMC->hWnd, &anchor);
    return anchor;
}

void MoveCompWnd(HWND uiWnd) {
    UILocks locks;
    LockUI(uiWnd, &locks, FALSE);
    UIPrivate *ui = locks.ui;
    RECT rect;
    if (ui != NULL && ui->compWnd != NULL && locks.lpIMC != NULL) {
        POINT anchor = CompAnchor(locks.lpIMC);
        if ((anchor.x != ui->compPos.x || anchor.y != ui->compPos.y) &&
            GetWindowRect(ui->compWnd, &rect)) {
            ui->compPos = anchor;
            SetCompWndSize(ui, rect.right - rect.left, rect.bottom - rect.top);
            ScreenToClient(locks.lpIMC->hWnd, &anchor);
            locks.lpIMC->cfCompForm.ptCurrentPos = anchor;
        }
    }
    UnlockUI(&locks);
}

void SetCompWndSize(UIPrivate *ui, int width, int height) {
    int x = ui->compPos.x + 2 * ui->cxBorder;
    if (x <= ui->cxBorder)
        x = ui->cxBorder;
    // Two lines of the system font below the anchor.
    int y = ui->compPos.y + 2 * (ui->cyBorder + ui->sysFontHeight);
    if (y <= ui->cyBorder)
        y = ui->cyBorder;
    int overRight = ui->cxBorder + x + width - ui->workArea.right;
    if (overRight > 0)
        x -= overRight;
    int overBottom = ui->cyBorder + y + height - ui->workArea.bottom;
    if (overBottom > 0)
        y -= overBottom;
    SetWindowPos(ui->compWnd, HWND_TOP, x, y, width, height, SWP_NOACTIVATE);
}

void ShowCompWnd(HWND uiWnd, int showCommand) {
    UILocks locks;
    LockUI(uiWnd, &locks, TRUE);
    if (locks.data == NULL || !IsShowing(locks.data))
        showCommand = SW_HIDE;
    if (locks.ui != NULL && locks.ui->compWnd != NULL)
        ShowWindow(locks.ui->compWnd, showCommand);
    UnlockUI(&locks);
}

int GetCompWnd(HWND uiWnd, LPCOMPOSITIONFORM form) {
    UILocks locks;
    LockUI(uiWnd, &locks, FALSE);
    RECT rect;
    if (form != NULL && locks.ui != NULL && locks.ui->compWnd != NULL &&
        GetWindowRect(locks.ui->compWnd, &rect)) {
        POINT corner = {rect.left, rect.top};
        if (locks.lpIMC != NULL)
            ScreenToClient(locks.lpIMC->hWnd, &corner);
        OffsetRect(&rect, corner.x - rect.left, corner.y - rect.top);
        form->dwStyle = CFS_RECT;
        form->ptCurrentPos = corner;
        form->rcArea = rect;
    }
    UnlockUI(&locks);
    return 1;
}

LRESULT CALLBACK CompWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC hdc = BeginPaint(hWnd, &paint);
        if (hdc != NULL)
            PaintCompWnd(GetWindow(hWnd, GW_OWNER), hdc);
        EndPaint(hWnd, &paint);
        return 0;
    }
    case WM_SETCURSOR:
        // The window is disabled: clicks reach it only this way.
        SetCompCursor(GetWindow(hWnd, GW_OWNER), HIWORD(lParam));
        return 0;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    }
    return DefWindowProc(hWnd, message, wParam, lParam);
}
