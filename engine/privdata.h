// The engine's record for one input context, kept in the context's
// private block (hPrivate), which the platform sizes from IMEINFO.
#ifndef TAVO_ENGINE_PRIVDATA_H
#define TAVO_ENGINE_PRIVDATA_H

#include "dict/ptree.h"
#include "dict/tablist.h"

// Pending message kinds (msgFlags).
#define MSG_START 0x01
#define MSG_CHANGE 0x02
#define MSG_END 0x04

// Engine modes.
#define MODE_IDLE 0
#define MODE_READING 1
#define MODE_CHOOSING 2
#define MODE_QUERY 3

struct PrivateData {
    ptree *phraseTree;     // the phrase database file, or null
    ptree *dictTree;       // the dictionary image: words to reading codes
    ptree *queryTree;      // the query image: a character to its explanations
    ptree *userTree;       // the user database, or null
    const WORD *fullWidth; // full-width forms of 0x20..0x7E (not owned)
    DWORD msgCount;        // message slots the pending requests need
    DWORD msgFlags;        // pending message kinds
    TCHAR compChar;        // wParam of the next composition message
    DWORD gcsFlags;        // change flags of the next composition message
    DWORD mode;            // MODE_IDLE .. MODE_QUERY
    TCHAR ch;              // the current key's character, 0 for none
    TCHAR vkey;            // the current key's virtual key
    DWORD optionMode;      // the option menu is showing
    DWORD readLen;         // characters in the reading
    DWORD segCount;        // segments chosen so far
    DWORD segStart;        // where the current segment starts in the reading
    DWORD segLen;          // reading characters the candidates cover; 0 = no match
    TabList *candList;     // candidates of the current segment
    DWORD pageView;        // 1: the page of nine; 0: the candidate at candCursor
    LPTSTR matchText;      // shorter candidates still to be offered
    DWORD singleChars;     // every candidate is one character
    DWORD candCursor;      // the highlighted candidate
    LPTSTR queryItem;      // copy of the candidate being queried
    TabList *queryList;    // explanations of the queried character
    DWORD queryKey;        // which character of the candidate is queried
    TCHAR queryChar[4];    // the queried character
    LPTSTR queryAlt;       // the example word a single character carries
    DWORD queryAltPos;     // where the character stands in queryAlt
    BYTE dotChord;         // dots of the braille chord held so far
};

// What a composition message tells the application has changed.
#define CHANGED_READING (GCS_COMPREADSTR | GCS_COMPREADATTR | GCS_COMPREADCLAUSE)
#define CHANGED_COMPTEXT (GCS_COMPSTR | GCS_COMPATTR | GCS_COMPCLAUSE)
#define CHANGED_SHOWN (CHANGED_COMPTEXT | GCS_CURSORPOS | GCS_DELTASTART) // new text to show
#define CHANGED_EMPTIED CHANGED_COMPTEXT                                  // the composition emptied
#define CHANGED_CHOSEN                                                                             \
    (GCS_COMPREADCLAUSE | GCS_RESULTREADSTR | GCS_RESULTREADCLAUSE) // a segment chosen
#define CHANGED_PASSED (GCS_RESULTSTR | GCS_RESULTCLAUSE)           // a character passed through
#define CHANGED_COMMITTED                                                                          \
    (GCS_COMPSTR | GCS_COMPCLAUSE | GCS_CURSORPOS | GCS_DELTASTART | GCS_RESULTSTR |               \
     GCS_RESULTCLAUSE)

// Message requests: an operation never sends a message itself; it counts
// the slots needed and marks the kind, and BuildMessages sends them.
inline void RequestStart(PrivateData *data) {
    data->msgCount++;
    data->msgFlags |= MSG_START;
}

inline void RequestChange(PrivateData *data, DWORD changed) {
    data->msgCount++;
    data->msgFlags |= MSG_CHANGE;
    data->gcsFlags |= changed;
}

// The platform sizes the private block from this record; on a 32-bit
// build it is 116 bytes with UTF-16 text and 112 with Big5 text.
#ifdef UNICODE
static_assert(sizeof(void *) != 4 || sizeof(PrivateData) == 116);
#else
static_assert(sizeof(void *) != 4 || sizeof(PrivateData) == 112);
#endif

#endif
