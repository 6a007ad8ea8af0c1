// The module's windows: the UI window that the input-method manager makes
// from the UI class, its private record, and the composition and status
// pop-up windows that it owns.
#ifndef TAVO_UI_UIWND_H
#define TAVO_UI_UIWND_H

#include "dict/tablist.h"
#include "engine/privdata.h"

// What the UI window and its two pop-ups share, in a movable block whose
// handle is in the UI window's IMMGWL_PRIVATE slot.
struct UIPrivate {
    int cxBorder;
    int cyBorder;
    int cxEdge;
    int cyEdge;
    int charWidth;     // the sample character in the IME font
    int charHeight;    // a text line's height
    int cellWidth;     // a braille cell's advance
    int cellHeight;    // a braille cell's height
    int sysFontHeight; // the system font's line height
    RECT workArea;
    HWND statusWnd;
    POINT statusPos; // the status window's anchor, screen coordinates
    RECT modeButton;
    RECT shapeButton;
    HWND compWnd;
    POINT compPos; // the composition window's anchor, screen coordinates
    int marginX;   // text margins of the composition window, both sides together
    int marginY;
    TabList *lines; // the composition window's lines; null when none
    BOOL brailleMode;
    int lineHeight;
    int lineGap;
    int fontSize; // the point size hFont was made for; 0 before the first
    HFONT hFont;
    HBRUSH hbrBack;
    HBRUSH hbrDot;
    HPEN hpenDot;
};

// The blocks a handler works on, locked by LockUI and released by
// UnlockUI; each is null when it is missing or can't be locked.
struct UILocks {
    HGLOBAL hUIPrivate;
    UIPrivate *ui;
    HIMC hIMC;
    LPINPUTCONTEXT lpIMC;
    PrivateData *data;
    LPCOMPOSITIONSTRING compStr;
};

// The UI record and the context; with contextBlocks also the engine
// record and the composition string.
void LockUI(HWND uiWnd, UILocks *locks, BOOL contextBlocks);
void UnlockUI(UILocks *locks);

// Window classes and the UI window.
BOOL RegisterIMEClasses(HINSTANCE hInstance);
void UnregisterIMEClasses(HINSTANCE hInstance);
LRESULT CALLBACK UIWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
void IMESetContext(HWND uiWnd, BOOL fSet, LPARAM lParam);
void CreateUIWnd(HWND uiWnd);
void DestroyUIWnd(HWND uiWnd);
void UpdateFont(UIPrivate *ui);

// The composition window.
void UpdateCompWnd(HWND uiWnd);
void CreateCompWnd(HWND uiWnd, UIPrivate *ui);
void MoveCompWnd(HWND uiWnd);
void SetCompWndSize(UIPrivate *ui, int width, int height);
void ShowCompWnd(HWND uiWnd, int showCommand);
int GetCompWnd(HWND uiWnd, LPCOMPOSITIONFORM form);
LRESULT CALLBACK CompWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
void PaintCompWnd(HWND uiWnd, HDC hdc);
void SetCompCursor(HWND uiWnd, UINT mouseMessage);
void ImeProcessClick(HIMC hIMC, int line);

// Braille cells.
extern const BYTE brailleCellTable[128];
void BrailleTextOut(const UIPrivate *ui, HDC hdc, LPCTSTR text);

// The status window.
void ShowStatusWnd(HWND uiWnd, int showCommand);
void CreateStatusWnd(HWND uiWnd, UIPrivate *ui);
void MoveStatusWnd(HWND uiWnd);
void SetStatusWndSize(UIPrivate *ui, int width, int height);
void UpdateStatusWnd(HWND uiWnd);
LRESULT GetStatusWnd(HWND uiWnd);
LRESULT CALLBACK StatusWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
void SetStatusCursor(HWND uiWnd, UINT mouseMessage);
void PaintStatusWnd(HWND uiWnd, HDC hdc);

#endif
