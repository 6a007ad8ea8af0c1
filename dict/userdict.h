// The user's own phrase list: a text file of "reading candidates..." lines
// in the Windows directory, compiled into a prefix-tree file in the system
// directory whenever the text is newer.
#ifndef TAVO_DICT_USERDICT_H
#define TAVO_DICT_USERDICT_H

#include "dict/ptree.h"
#include "dict/treefile.h"

#define USERDICT_ID "TAVO userdict"

// Rebuilds the user database when the text file is newer. Leaves the
// current directory changed; the caller restores it.
void UpdateUserDatabase(void);
// The user database opened for matching, or null when there is none.
ptree *OpenUserDatabase(void);
void ProcessUserDictionary(treefile *tf, HANDLE file);
// The next line of the file without its LF and control bytes, in a new
// block the caller frees; null at the end of the file.
char *ReadString(HANDLE file);

#endif
