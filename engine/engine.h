// The composition engine's operations. Every operation takes the address
// of the context's composition-string handle (the block may move when it
// grows) and the locked engine record; it edits the composition string
// and records message requests in the record, which BuildMessages turns
// into messages afterwards.
#ifndef TAVO_ENGINE_ENGINE_H
#define TAVO_ENGINE_ENGINE_H

#include "engine/privdata.h"

// Navigation keys that the engine compares with the whole key value.
#define KEY_PRIOR 0x21
#define KEY_NEXT 0x22
#define KEY_LEFT 0x25
#define KEY_UP 0x26
#define KEY_RIGHT 0x27
#define KEY_DOWN 0x28
// The key left of 1: with Control the option menu, with Control and Shift
// the switch between Cantonese and alphanumeric input.
#define KEY_MENU 0xC0

// Key dispatch: hands the current key (ch and vkey already in the record)
// to the operation that the mode and the option menu call for.
void TranslateChar(HIMC hIMC, LPINPUTCONTEXT lpIMC, DWORD key, const BYTE *keyState);

// Reading entry.
void ExtendReading(HIMCC *hCompStr, PrivateData *data);
void ReduceReading(HIMCC *hCompStr, PrivateData *data);
void DisplayReading(HIMCC *hCompStr, PrivateData *data);
void BypassConversion(LPINPUTCONTEXT lpIMC, HIMCC *hCompStr, PrivateData *data);
void TranslateToAscii(LPINPUTCONTEXT lpIMC, HIMCC *hCompStr, PrivateData *data);

// The option menu.
void DisplayOption(HIMCC *hCompStr, PrivateData *data);
void OptionChar(HIMCC *hCompStr, PrivateData *data, DWORD key, const BYTE *keyState);

// Candidates: the page or the single candidate on show, and the keys
// that choose or query one (PhraseChar returns 1 when it took the key).
void DisplayConverted(HIMCC *hCompStr, PrivateData *data);
LPTSTR FormatConverted(LPCTSTR item);
LPTSTR FormatExplanation(LPCTSTR explanation, LPCTSTR head);
int PhraseChar(HIMCC *hCompStr, PrivateData *data, DWORD key, const BYTE *keyState);

// The character query. Returned strings are GlobalAlloc blocks.
void SetupQuery(HIMCC *hCompStr, PrivateData *data, DWORD index);
int PerformQuery(HIMCC *hCompStr, PrivateData *data, DWORD k);
void DisplayQuery(HIMCC *hCompStr, PrivateData *data);
LPTSTR QueryChar(ptree *dictTree, ptree *queryTree, LPCTSTR text, DWORD k);
char *Big5ReadingStr(ptree *dictTree, const char *big5);
LPTSTR ExtractChar(LPCTSTR text, DWORD index);

// Conversion of the reading into text, segment by segment.
void ConvertFirst(HIMCC *hCompStr, PrivateData *data, BOOL autoCommit);
void ConvertNow(LPCOMPOSITIONSTRING cs, PrivateData *data);
void ConvertNext(HIMCC *hCompStr, PrivateData *data);
void ExtendConvert(HIMCC *hCompStr, PrivateData *data);
void ReduceConvert(HIMCC *hCompStr, PrivateData *data);
void MergeResult(HIMCC *hCompStr, PrivateData *data);
void BuildConversionList(PrivateData *data);
// An item's length: its characters, or one character for a character
// followed by "|" and an explanation (two bytes each in Big5).
DWORD ItemLen(LPCTSTR item);
// The TAB-separated items of the longest reading prefix of text (at most
// limit characters, 0 for all) in either tree, the first tree's first on
// equal lengths; a new string or null. The prefix length goes to *matched.
LPTSTR TranslateString(ptree *first, ptree *second, LPCTSTR text, DWORD limit, DWORD *matched);

#endif
