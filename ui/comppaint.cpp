// Painting the composition window: its lines as text in the IME font or
// as braille cells on a light grey ground, inverted for reverse video.
#include "ui/uiwnd.h"

#include "frame/globdata.h"

static void PaintLines(const UIPrivate *ui, HDC hdc) {
    POINT origin = {ui->marginX / 2, ui->marginY / 2};
    TabList *lines = ui->lines;
    for (DWORD i = 0; i < lines->count; i++) {
        GotoTabItem(lines, i);
        MoveToEx(hdc, origin.x, origin.y + (int)i * (ui->lineHeight + ui->lineGap), NULL);
        if (ui->brailleMode)
            BrailleTextOut(ui, hdc, lines->item);
        else
            TextOut(hdc, 0, 0, lines->item, lstrlen(lines->item));
    }
    GotoTabItem(lines, 0);
}

void PaintCompWnd(HWND uiWnd, HDC hdc) {
    UILocks locks;
    LockUI(uiWnd, &locks, TRUE);
    UIPrivate *ui = locks.ui;
    RECT window;
    if (ui != NULL && locks.data != NULL && locks.compStr != NULL && ui->lines != NULL &&
        GetWindowRect(ui->compWnd, &window)) {
        RECT area = {0, 0, window.right - window.left, window.bottom - window.top};
        HGDIOBJ oldFont = SelectObject(hdc, ui->hFont);
        UINT oldAlign = SetTextAlign(hdc, TA_UPDATECP);
        int oldMode = SetBkMode(hdc, TRANSPARENT);
        HGDIOBJ oldBrush = SelectObject(hdc, ui->hbrDot);
        HGDIOBJ oldPen = SelectObject(hdc, ui->hpenDot);
        FillRect(hdc, &area, ui->hbrBack);
        PaintLines(ui, hdc);
        SetTextAlign(hdc, oldAlign);
        SelectObject(hdc, oldFont);
        SelectObject(hdc, oldBrush);
        SelectObject(hdc, oldPen);
        SetBkMode(hdc, oldMode);
        // Light grey becomes RGB(32,32,32), black text and dots white.
        if (globData.reverseVideo)
            InvertRect(hdc, &area);
    }
    UnlockUI(&locks);
}
