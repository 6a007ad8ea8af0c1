// Giving an input context to the module and taking it back: platform
// defaults, the composition block and the context's open dictionaries.
#include "frame/context.h"
#include "frame/compstr.h"
#include "frame/exports.h"
#include "frame/globdata.h"
#include "dict/userdict.h"
#include "speech/speech.h"
#include "ui/resource.h"

#define PHRASE_DB_ID "TAVO phrase database"

namespace {

// The screen's font in the context's own text flavour.
void CopyScreenFont(LPINPUTCONTEXT lpIMC) {
    HDC dc = GetDC(NULL);
    HGDIOBJ font = GetCurrentObject(dc, OBJ_FONT);
#ifdef UNICODE
    GetObject(font, sizeof lpIMC->lfFont.W, &lpIMC->lfFont.W);
#else
    GetObject(font, sizeof lpIMC->lfFont.A, &lpIMC->lfFont.A);
#endif
    ReleaseDC(NULL, dc);
}

// The defaults that the application has not set yet, each marked once set.
void SetContextDefaults(LPINPUTCONTEXT lpIMC) {
    lpIMC->fOpen = TRUE;
    if (!(lpIMC->fdwInit & INIT_CONVERSION)) {
        lpIMC->fdwConversion |= IME_CMODE_NATIVE;
        lpIMC->fdwInit |= INIT_CONVERSION;
    }
    if (!(lpIMC->fdwInit & INIT_SENTENCE)) {
        lpIMC->fdwSentence |= IME_SMODE_SINGLECONVERT;
        lpIMC->fdwInit |= INIT_SENTENCE;
    }
    if (!(lpIMC->fdwInit & INIT_LOGFONT)) {
        CopyScreenFont(lpIMC);
        lpIMC->fdwInit |= INIT_LOGFONT;
    }
    if (!(lpIMC->fdwInit & INIT_COMPFORM)) {
        lpIMC->cfCompForm.dwStyle = CFS_DEFAULT;
        lpIMC->fdwInit |= INIT_COMPFORM;
    }
    if (!(lpIMC->fdwInit & INIT_STATUSWNDPOS)) {
        // The bottom-left corner of the work area.
        RECT workArea = {0, 0, 0, 0};
        SystemParametersInfo(SPI_GETWORKAREA, 0, &workArea, 0);
        lpIMC->ptStatusWndPos.x = 0;
        lpIMC->ptStatusWndPos.y = workArea.bottom;
        lpIMC->fdwInit |= INIT_STATUSWNDPOS;
    }
}

// A prefix tree read in place from an RCDATA resource of the module.
ptree *OpenResourceTree(UINT id) {
    DWORD size = 0;
    const void *image = GetBinary(globData.hInstance, id, &size);
    return ptree_open(image, size);
}

// The phrase database of the current directory, kept only when it is one.
ptree *OpenPhraseTree() {
    HANDLE file = CreateFile(globData.phraseDbFile, GENERIC_READ, FILE_SHARE_READ, NULL,
                             OPEN_EXISTING, FILE_FLAG_RANDOM_ACCESS, NULL);
    ptree *tree = ptree_open_handle(file);
    if (tree != NULL && !ptree_check_id(tree, PHRASE_DB_ID)) {
        ptree_close(tree);
        tree = NULL;
    }
    return tree;
}

// The current directory in a new block, whatever its length; null when it
// can't be had.
LPTSTR SaveCurrentDirectory() {
    DWORD size = GetCurrentDirectory(0, NULL);
    for (int attempt = 0; size > 0 && attempt < 2; attempt++) {
        LPTSTR dir = (LPTSTR)GlobalAlloc(GMEM_FIXED, size * sizeof(TCHAR));
        if (dir == NULL)
            return NULL;
        DWORD length = GetCurrentDirectory(size, dir);
        if (length > 0 && length < size)
            return dir;
        GlobalFree(dir);
        size = length; // it changed meanwhile: the size it needs now
    }
    return NULL;
}

// Closes a tree and forgets it, so that a second close does nothing.
void CloseTree(ptree **tree) {
    ptree_close(*tree);
    *tree = NULL;
}

void ClearEngineFields(PrivateData *data) {
    data->mode = MODE_IDLE;
    data->optionMode = 0;
    data->candList = NULL;
    data->matchText = NULL;
    data->queryItem = NULL;
    data->queryList = NULL;
    data->queryAlt = NULL;
    data->dotChord = 0;
}

void FreeText(LPTSTR *text) {
    if (*text != NULL)
        GlobalFree(*text);
    *text = NULL;
}

void DeleteList(TabList **list) {
    if (*list != NULL)
        DeleteTabList(*list);
    *list = NULL;
}

// The engine's lists and strings freed and set to null.
void FreeLeftovers(PrivateData *data) {
    DeleteList(&data->candList);
    DeleteList(&data->queryList);
    FreeText(&data->matchText);
    FreeText(&data->queryItem);
    FreeText(&data->queryAlt);
}

// Asks for the end of any composition and delivers it now.
void EndComposition(HIMC hIMC, PrivateData *data) {
    data->msgCount++;
    data->msgFlags |= MSG_END;
    BuildMessages(hIMC, TRUE);
}

} // namespace

BOOL InitPrivateData(PrivateData *data) {
    // Trees, lists and strings still here were left by a deselection that
    // could not lock the context: freed now, they don't leak.
    ClearPrivateData(data);
    FreeLeftovers(data);
    ClearEngineFields(data);
    data->dictTree = OpenResourceTree(RCDATA_DICTIONARY);
    data->queryTree = OpenResourceTree(RCDATA_QUERY);
    // The files are opened from the system directory made current. The
    // application's directory may be longer than MAX_PATH; when it can't
    // be kept to come back to, the files are left unopened rather than
    // the application left in another directory.
    LPTSTR savedDir = SaveCurrentDirectory();
    if (savedDir != NULL) {
        SetCurrentDirectory(globData.systemDir);
        data->phraseTree = OpenPhraseTree();
        UpdateUserDatabase();
        data->userTree = OpenUserDatabase();
        SetCurrentDirectory(savedDir);
        GlobalFree(savedDir);
    }
    data->fullWidth = (const WORD *)GetBinary(globData.hInstance, RCDATA_FULLWIDTH, NULL);
    return TRUE;
}

BOOL ClearPrivateData(PrivateData *data) {
    CloseTree(&data->phraseTree);
    CloseTree(&data->dictTree);
    CloseTree(&data->queryTree);
    CloseTree(&data->userTree);
    return TRUE;
}

void InitContext(LPINPUTCONTEXT lpIMC, PrivateData *) {
    if (!(lpIMC->fdwInit & INIT_COMPFORM))
        lpIMC->cfCompForm.dwStyle = CFS_DEFAULT;
    // A position the application chose is left alone.
    if (lpIMC->cfCompForm.dwStyle == CFS_DEFAULT && lpIMC->hWnd != NULL) {
        POINT origin = {0, 0};
        ScreenToClient(lpIMC->hWnd, &origin);
        lpIMC->cfCompForm.ptCurrentPos = origin;
    }
}

BOOL ClearContext(LPINPUTCONTEXT lpIMC) {
    PrivateData *data = (PrivateData *)ImmLockIMCC(lpIMC->hPrivate);
    if (data == NULL)
        return TRUE;
    FreeLeftovers(data);
    ImmUnlockIMCC(lpIMC->hPrivate);
    return TRUE;
}

BOOL Select(LPINPUTCONTEXT lpIMC, BOOL select) {
    if (select && !InitCompStr(lpIMC))
        return FALSE;
    if (lpIMC->hPrivate == NULL)
        return FALSE;
    PrivateData *data = (PrivateData *)ImmLockIMCC(lpIMC->hPrivate);
    if (data == NULL)
        return FALSE;
    if (select)
        InitPrivateData(data);
    else
        ClearPrivateData(data);
    SetContextDefaults(lpIMC);
    InitContext(lpIMC, data);
    ImmUnlockIMCC(lpIMC->hPrivate);
    return TRUE;
}

extern "C" {

BOOL WINAPI ImeSelect(HIMC hIMC, BOOL select) {
    if (hIMC == NULL)
        return TRUE;
    LPINPUTCONTEXT lpIMC = ImmLockIMC(hIMC);
    if (lpIMC == NULL)
        return FALSE;
    BOOL result = FALSE;
    PrivateData *data = (PrivateData *)ImmLockIMCC(lpIMC->hPrivate);
    if (data != NULL) {
        // A composition still open when the context is selected, or
        // messages never delivered, were left by a deselection that could
        // not run to its end: the application is told now that the
        // composition ended, or it would show it until the next key.
        if (select && (data->mode != MODE_IDLE || data->optionMode || lpIMC->dwNumMsgBuf > 0))
            EndComposition(hIMC, data);
        result = Select(lpIMC, select);
        if (!select)
            EndComposition(hIMC, data);
        ClearContext(lpIMC);
        ImmUnlockIMCC(lpIMC->hPrivate);
    }
    ImmUnlockIMC(hIMC);
    return result;
}

BOOL WINAPI ImeSetActiveContext(HIMC hIMC, BOOL active) {
    if (!active) {
        speech_stop();
        return TRUE;
    }
    LPINPUTCONTEXT lpIMC = hIMC != NULL ? ImmLockIMC(hIMC) : NULL;
    if (lpIMC == NULL)
        return TRUE;
    PrivateData *data = (PrivateData *)ImmLockIMCC(lpIMC->hPrivate);
    if (data != NULL) {
        InitContext(lpIMC, data);
        ImmUnlockIMCC(lpIMC->hPrivate);
    }
    ImmUnlockIMC(hIMC);
    return TRUE;
}

} // extern "C"
