// The composition-string block (the platform's COMPOSITIONSTRING header
// and eleven areas in a fixed order) and the message requests that become
// composition messages.
#ifndef TAVO_FRAME_COMPSTR_H
#define TAVO_FRAME_COMPSTR_H

#include "engine/privdata.h"

// Area numbers, in the order they lie in the block.
#define AREA_COMPREADATTR 0
#define AREA_COMPREADCLAUSE 1
#define AREA_COMPREADSTR 2
#define AREA_COMPATTR 3
#define AREA_COMPCLAUSE 4
#define AREA_COMPSTR 5
#define AREA_RESULTREADCLAUSE 6
#define AREA_RESULTREADSTR 7
#define AREA_RESULTCLAUSE 8
#define AREA_RESULTSTR 9
#define AREA_PRIVATE 10

BOOL InitCompStr(LPINPUTCONTEXT lpIMC);
BOOL ResizeIMCC(HIMCC *handle, DWORD size);
BOOL ResizeCompStr(HIMCC *hCompStr, int area, DWORD bytes);
void ResetCompStr(LPCOMPOSITIONSTRING compStr);
BOOL UpdateCompStr(HIMCC *hCompStr, PrivateData *data, LPCTSTR text);
void StopTAVO(HIMCC *hCompStr, PrivateData *data);
// Commits the length units already in the ResultStr area of a locked
// block: terminates them, shows them as the composition with the cursor
// at their end, and requests the composition message that carries them.
void CommitResultStr(LPCOMPOSITIONSTRING compStr, PrivateData *data, DWORD length);
void BuildMessages(HIMC hIMC, BOOL generate);

// The block locked, or null when it can't be or is not laid out as this
// module lays it out (a block made again after a failed selection is all
// zeros until the next selection fills it).
LPCOMPOSITIONSTRING LockCompStr(HIMCC hCompStr);

// The TCHAR text of an area of a locked block.
#define COMPSTR_TEXT(compStr, offsetField) ((LPTSTR)((BYTE *)(compStr) + (compStr)->offsetField))
#define COMPSTR_DWORDS(compStr, offsetField) ((DWORD *)((BYTE *)(compStr) + (compStr)->offsetField))

#endif
