// The reading of a text through the "TAVO dictionary database": the
// reading codes of its characters, found word by word, longest first.
#ifndef TAVO_DICT_LOOKUP_H
#define TAVO_DICT_LOOKUP_H

#include "dict/ptree.h"

// A new reading-code string (GlobalFree it), or null for a null text.
char *LookupCantonese(ptree *dict, LPCTSTR text);

#endif
