// Reader of "libptree" images: PATRICIA trees laid out as flat node
// records, used in place from memory or from a read-only file mapping.
// The one query is longest-prefix matching of a Big5 key.
//
// Images from files are untrusted: every offset is checked against the
// image size recorded at open, so a damaged image only loses keys.
#ifndef TAVO_DICT_PTREE_H
#define TAVO_DICT_PTREE_H

#include "platform/platform.h"

// Fixed part of a node record: bit index, left link, right link, stored
// little-endian and unaligned in 10 bytes; key and data follow it.
#define PTREE_RECORD_SIZE 10
#define PTREE_HEADER_BIT 0xFFFF
#define PTREE_MAGIC "libptree"

struct ptree {
    const BYTE *image;     // first byte of the image
    HANDLE file;           // owned file when opened from a file, else 0
    HANDLE mapping;        // owned mapping when opened from a file
    const char *matchData; // data of the last successful match, or null
    DWORD size;            // bytes of the image that may be read
    DWORD dataLimit;       // data must start below this to be terminated in the image
    DWORD matchNode;       // offset of the node of the last successful match
    DWORD *nodes;          // offsets of the nodes, ascending, once ptree_dataSize needed them
    DWORD nodeCount;
};

// Nodes of a descent remembered so that a shortened key can resume below
// the part of the path it shares; deeper paths restart from the root.
#define PTREE_PATH 64

// The state of one descent: where it is and what it has passed.
struct ptree_matchContext {
    ptree *tree;
    DWORD node;      // offset of the node to visit
    DWORD lastBit;   // bit index of the last node passed (PTREE_HEADER_BIT at the root)
    const BYTE *key; // the key being matched
    int length;      // its current length
    int depth;       // nodes passed so far
    DWORD pathNode[PTREE_PATH];
    WORD pathBit[PTREE_PATH];
};

ptree *ptree_open(const void *image, DWORD size);
ptree *ptree_open_handle(HANDLE file);
int ptree_check_id(const ptree *tree, const char *id);
void ptree_close(ptree *tree);
int ptree_match(ptree *tree, const char *key, int n);
int ptree_matchNow(ptree_matchContext *context);
void ptree_clearInfo(ptree *tree);
const char *ptree_data(const ptree *tree);
// The length of the last match's data as the image lays it out: the bytes
// from its start up to the next node record (or the end of the image),
// less the terminator. Unlike strlen this holds for data with zero bytes
// (voice recordings); 0 after a failed match or when the nodes can't be
// listed for want of memory.
DWORD ptree_dataSize(ptree *tree);

#endif
