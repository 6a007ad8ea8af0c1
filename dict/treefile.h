// Writer of "libptree" images straight into a file, one key at a time.
// Each insertion appends one node and rewrites one record, so the file is
// a valid image after every step. The records written are also kept in
// memory, so that the search of an insertion costs no file access but the
// read of the one stored key it ends on: a dictionary of any shape is
// compiled in about linear time.
#ifndef TAVO_DICT_TREEFILE_H
#define TAVO_DICT_TREEFILE_H

#include "platform/platform.h"

// A node record as written, kept in memory so that a search never reads
// the file: links are indices of this list (0 = the header, or null).
struct treefile_node {
    DWORD offset;
    DWORD keyLength;
    WORD bit;
    DWORD left;
    DWORD right;
};

struct treefile {
    HANDLE file;      // opened read-write by the caller, not owned
    BYTE *readBuffer; // a stored key read back during a search
    DWORD readCapacity;
    treefile_node *nodes; // every record of the file, the header first
    DWORD nodeCount;
    DWORD nodeCapacity;
    BOOL failed; // an insertion could not be made (memory, or the file)
};

// The fixed part of a node record, unpacked.
struct treefile_record {
    WORD bit;
    DWORD left;
    DWORD right;
};

struct treefile_context {
    treefile *tf;
    DWORD node;     // the node about to be visited (an index of tf->nodes)
    DWORD parent;   // the last node passed (0 = header)
    WORD parentBit; // its bit index
    const BYTE *key;
    DWORD keyLength;
    WORD critBit; // first bit where the key differs from the stored key met
};

treefile *treefile_create(HANDLE file, const char *id);
int treefile_insert(treefile *tf, const char *key, const char *data);
// Inserts data of the given length, which may hold zero bytes; a zero
// byte still follows it in the file.
int treefile_insertData(treefile *tf, const char *key, const void *data, DWORD length);
void treefile_close(treefile *tf);

void treefile_writeHeader(HANDLE file, DWORD offset, const treefile_record *record);
BOOL treefile_readHeader(HANDLE file, DWORD offset, treefile_record *record);
void treefile_writeString(HANDLE file, const char *text);
char *treefile_readString(treefile *tf);
int treefile_insertNow(treefile_context *context);

#endif
