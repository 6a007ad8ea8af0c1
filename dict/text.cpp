// Conversion between the module's TCHAR text and Big5, and small in-place
// string edits.
#include "dict/text.h"

static void *AllocFixed(SIZE_T bytes) {
    return GlobalAlloc(GMEM_FIXED, bytes);
}

#ifdef UNICODE
LPTSTR Big5ToTChar(const char *big5) {
    if (!big5)
        return 0;
    // A Big5 string never yields more UTF-16 units than it has bytes.
    int n = lstrlenA(big5) + 1;
    LPWSTR text = (LPWSTR)AllocFixed((SIZE_T)n * sizeof(WCHAR));
    if (!text)
        return 0;
    if (MultiByteToWideChar(BIG5_CODE_PAGE, 0, big5, -1, text, n) == 0)
        text[0] = 0;
    return text;
}

char *TCharToBig5(LPCTSTR text) {
    if (!text)
        return 0;
    // One UTF-16 unit becomes at most two bytes.
    int n = 2 * lstrlenW(text) + 1;
    char *big5 = (char *)AllocFixed((SIZE_T)n);
    if (!big5)
        return 0;
    if (WideCharToMultiByte(BIG5_CODE_PAGE, 0, text, -1, big5, n, 0, 0) == 0)
        big5[0] = 0;
    return big5;
}
#else
char *TCharToBig5(LPCTSTR text) {
    if (!text)
        return 0;
    int n = lstrlenA(text);
    char *big5 = (char *)AllocFixed((SIZE_T)(2 * n + 1));
    if (big5)
        lstrcpyA(big5, text);
    return big5;
}
#endif

// Lowers a single-byte character the way the platform lowers one
// character; bytes above 0x7F are not letters here and stay as they are.
static char LowerByte(char c) {
    if ((BYTE)c >= 0x80)
        return c;
    return (char)(UINT_PTR)CharLower((LPTSTR)(UINT_PTR)(BYTE)c);
}

void Big5Lower(char *big5) {
    if (!big5)
        return;
    for (char *p = big5; *p; p++) {
        if (IsDBCSLeadByteEx(BIG5_CODE_PAGE, (BYTE)*p)) {
            // Skip the trail byte, but never past the terminator.
            if (!p[1])
                return;
            p++;
            continue;
        }
        *p = LowerByte(*p);
    }
}

LPTSTR DuplicateString(LPCTSTR text) {
    if (!text)
        return 0;
    int n = lstrlen(text) + 1;
    LPTSTR copy = (LPTSTR)AllocFixed((SIZE_T)n * sizeof(TCHAR));
    if (copy)
        lstrcpy(copy, text);
    return copy;
}

void TruncateString(LPTSTR text, char stop) {
    if (!text)
        return;
    TCHAR c = (TCHAR)(BYTE)stop;
    while (*text && *text != c)
        text++;
    *text = 0;
}

LPTSTR TakeBig5AsTChar(char *big5) {
#ifdef UNICODE
    if (big5 == NULL)
        return NULL;
    LPTSTR text = Big5ToTChar(big5);
    GlobalFree(big5);
    return text;
#else
    return big5;
#endif
}
