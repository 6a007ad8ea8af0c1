// Clicks on the composition window: the pointing hand over its lines, and
// a click on a line typed as the key that the line stands for.
#include "ui/uiwnd.h"

#include "engine/engine.h"
#include "frame/compstr.h"
#include "frame/globdata.h"
#include "frame/keys.h"
#include "ui/resource.h"

// The line under the cursor, from 0, or -1: each line takes its height
// across the whole window; the gaps between lines belong to none.
static int LineAtCursor(const UIPrivate *ui) {
    POINT point;
    RECT window;
    if (!GetCursorPos(&point) || !GetWindowRect(ui->compWnd, &window))
        return -1;
    ScreenToClient(ui->compWnd, &point);
    RECT line = {0, ui->marginY / 2, window.right - window.left, ui->marginY / 2 + ui->lineHeight};
    int hit = -1;
    for (DWORD i = 0; i < ui->lines->count; i++) {
        if (PtInRect(&line, point))
            hit = (int)i;
        OffsetRect(&line, 0, ui->lineHeight + ui->lineGap);
    }
    return hit;
}

void SetCompCursor(HWND uiWnd, UINT mouseMessage) {
    UILocks locks;
    LockUI(uiWnd, &locks, FALSE);
    UIPrivate *ui = locks.ui;
    HIMC hIMC = locks.hIMC;
    int line = -1;
    if (ui != NULL && ui->compWnd != NULL && hIMC != NULL && ui->lines != NULL) {
        SetCursor(LoadCursor(globData.hInstance, MAKEINTRESOURCE(CURSOR_HAND)));
        if (mouseMessage == WM_LBUTTONDOWN)
            line = LineAtCursor(ui);
    }
    // The click's messages update this window again: nothing stays locked.
    UnlockUI(&locks);
    if (line >= 0)
        ImeProcessClick(hIMC, line);
}

// The key a click on the line stands for, into data's ch and vkey.
static void ClickedKey(PrivateData *data, int line) {
    if (data->optionMode) {
        // The menu's title and the empty line after it type nothing.
        if (line > 1)
            data->ch = data->vkey = (TCHAR)('0' + (line - 1));
    } else if (data->mode == MODE_CHOOSING && data->pageView) {
        if (!data->singleChars)
            data->ch = data->vkey = (TCHAR)('1' + line);
        else if (line >= 1) // a page of characters leads with a line of its own
            data->ch = data->vkey = (TCHAR)('0' + line);
    } else if (data->mode == MODE_CHOOSING || data->mode == MODE_QUERY) {
        data->vkey = VK_RIGHT;
    }
}

void ImeProcessClick(HIMC hIMC, int line) {
    LPINPUTCONTEXT lpIMC = hIMC != NULL ? ImmLockIMC(hIMC) : NULL;
    if (lpIMC == NULL)
        return;
    PrivateData *data = (PrivateData *)ImmLockIMCC(lpIMC->hPrivate);
    if (data != NULL) {
        BYTE keyState[256];
        ZeroMemory(keyState, sizeof keyState);
        data->msgCount = 0;
        data->ch = 0;
        data->vkey = 0;
        ClickedKey(data, line);
        if (data->ch != 0 || data->vkey != 0) {
            TranslateChar(hIMC, lpIMC, KeyCode(data->vkey, data->ch), keyState);
            BuildMessages(hIMC, TRUE);
        }
        ImmUnlockIMCC(lpIMC->hPrivate);
    }
    ImmUnlockIMC(hIMC);
}
