// The reading of a text through the "TAVO dictionary database": the
// reading codes of its characters, found word by word, longest first.
#ifndef TAVO_DICT_LOOKUP_H
#define TAVO_DICT_LOOKUP_H

#include "dict/ptree.h"

// The length of the first of the readings in a dictionary entry's data.
// They are separated by TAB, and the second byte of a reading code may be
// 9 itself (as in baa1), so the scan steps over whole codes.
SIZE_T FirstReadingLength(const char *data);

// A new reading-code string (GlobalFree it), or null for a null text.
char *LookupCantonese(ptree *dict, LPCTSTR text);

#endif
