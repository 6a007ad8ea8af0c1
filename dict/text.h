// Text helpers between the module's TCHAR text and the Big5 text in which
// every dictionary is keyed. Returned strings are GMEM_FIXED blocks that
// the caller frees with GlobalFree.
#ifndef TAVO_DICT_TEXT_H
#define TAVO_DICT_TEXT_H

#include "platform/platform.h"

#define BIG5_CODE_PAGE 950

#ifdef UNICODE
LPTSTR Big5ToTChar(const char *big5);
#endif
char *TCharToBig5(LPCTSTR text);
// The module's text for a Big5 block, which it takes over (frees in vexa,
// hands back as it is in ruda); null for null.
LPTSTR TakeBig5AsTChar(char *big5);
void Big5Lower(char *big5);
LPTSTR DuplicateString(LPCTSTR text);
void TruncateString(LPTSTR text, char stop);

#endif
