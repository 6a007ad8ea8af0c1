// Writing "libptree" images into a file, one key at a time, as the user
// dictionary is compiled.
#include "dict/treefile.h"

#include "dict/ptree.h"

#include <cstring>

// Bit indices are 16-bit with 0xFFFF reserved for the header, so a key
// may hold at most 8,191 bytes.
#define TREEFILE_MAX_KEY 8191
#define TREEFILE_READ_STEP 100

static void PackRecord(const treefile_record *record, BYTE *bytes) {
    bytes[0] = (BYTE)record->bit;
    bytes[1] = (BYTE)(record->bit >> 8);
    for (int i = 0; i < 4; i++) {
        bytes[2 + i] = (BYTE)(record->left >> (8 * i));
        bytes[6 + i] = (BYTE)(record->right >> (8 * i));
    }
}

static void UnpackRecord(const BYTE *bytes, treefile_record *record) {
    record->bit = (WORD)(bytes[0] | (bytes[1] << 8));
    record->left = 0;
    record->right = 0;
    for (int i = 0; i < 4; i++) {
        record->left |= (DWORD)bytes[2 + i] << (8 * i);
        record->right |= (DWORD)bytes[6 + i] << (8 * i);
    }
}

static int KeyBit(const BYTE *key, DWORD length, DWORD bit) {
    DWORD byte = bit >> 3;
    if (byte >= length)
        return 0;
    return (key[byte] >> (7 - (bit & 7))) & 1;
}

void treefile_writeHeader(HANDLE file, DWORD offset, const treefile_record *record) {
    BYTE bytes[PTREE_RECORD_SIZE];
    PackRecord(record, bytes);
    DWORD written = 0;
    SetFilePointer(file, (LONG)offset, NULL, FILE_BEGIN);
    WriteFile(file, bytes, sizeof(bytes), &written, NULL);
}

BOOL treefile_readHeader(HANDLE file, DWORD offset, treefile_record *record) {
    BYTE bytes[PTREE_RECORD_SIZE] = {0};
    DWORD read = 0;
    SetFilePointer(file, (LONG)offset, NULL, FILE_BEGIN);
    BOOL ok = ReadFile(file, bytes, sizeof(bytes), &read, NULL);
    UnpackRecord(bytes, record);
    return ok;
}

static void WriteBytes(HANDLE file, const void *bytes, DWORD length) {
    BYTE zero = 0;
    DWORD written = 0;
    if (length > 0)
        WriteFile(file, bytes, length, &written, NULL);
    WriteFile(file, &zero, 1, &written, NULL);
}

void treefile_writeString(HANDLE file, const char *text) {
    if (text == NULL)
        text = "";
    WriteBytes(file, text, (DWORD)strlen(text));
}

// Makes room for one more byte in the read buffer, 100 bytes at a time.
static BOOL GrowReadBuffer(treefile *tf) {
    BYTE *grown = (BYTE *)GlobalAlloc(GMEM_FIXED, tf->readCapacity + TREEFILE_READ_STEP);
    if (grown == NULL)
        return FALSE;
    if (tf->readBuffer != NULL) {
        memcpy(grown, tf->readBuffer, tf->readCapacity);
        GlobalFree(tf->readBuffer);
    }
    tf->readBuffer = grown;
    tf->readCapacity += TREEFILE_READ_STEP;
    return TRUE;
}

char *treefile_readString(treefile *tf) {
    DWORD count = 0;
    for (;;) {
        if (count == tf->readCapacity && !GrowReadBuffer(tf))
            return NULL;
        BYTE byte = 0;
        DWORD read = 0;
        if (!ReadFile(tf->file, &byte, 1, &read, NULL) || read == 0)
            byte = 0;
        tf->readBuffer[count++] = byte;
        if (byte == 0)
            return (char *)tf->readBuffer;
    }
}

// Makes room in the list of records for one more.
static BOOL ReserveNode(treefile *tf) {
    if (tf->nodeCount < tf->nodeCapacity)
        return TRUE;
    DWORD capacity = tf->nodeCapacity == 0 ? 64 : tf->nodeCapacity * 2;
    treefile_node *grown =
        (treefile_node *)GlobalAlloc(GMEM_FIXED, capacity * sizeof(treefile_node));
    if (grown == NULL)
        return FALSE;
    if (tf->nodes != NULL) {
        memcpy(grown, tf->nodes, tf->nodeCount * sizeof(treefile_node));
        GlobalFree(tf->nodes);
    }
    tf->nodes = grown;
    tf->nodeCapacity = capacity;
    return TRUE;
}

treefile *treefile_create(HANDLE file, const char *id) {
    if (file == NULL)
        return NULL;
    SetFilePointer(file, 0, NULL, FILE_BEGIN);
    SetEndOfFile(file);
    treefile_record header = {PTREE_HEADER_BIT, 0, 0};
    treefile_writeHeader(file, 0, &header);
    treefile_writeString(file, PTREE_MAGIC);
    treefile_writeString(file, id);
    treefile *tf = (treefile *)GlobalAlloc(GPTR, sizeof(treefile));
    if (tf == NULL)
        return NULL;
    tf->file = file;
    if (!ReserveNode(tf)) {
        GlobalFree(tf);
        return NULL;
    }
    treefile_node top = {0, sizeof(PTREE_MAGIC) - 1, PTREE_HEADER_BIT, 0, 0};
    tf->nodes[tf->nodeCount++] = top;
    return tf;
}

void treefile_close(treefile *tf) {
    if (tf == NULL)
        return;
    if (tf->readBuffer != NULL)
        GlobalFree(tf->readBuffer);
    if (tf->nodes != NULL)
        GlobalFree(tf->nodes);
    GlobalFree(tf);
}

// The first bit at which two keys differ, both read with zero bits past
// their ends; the keys are known to differ.
static WORD CriticalBit(const BYTE *a, DWORD aLength, const BYTE *b, DWORD bLength) {
    DWORD byte = 0;
    for (;; byte++) {
        BYTE x = byte < aLength ? a[byte] : 0;
        BYTE y = byte < bLength ? b[byte] : 0;
        if (x != y) {
            BYTE diff = x ^ y;
            DWORD bit = 0;
            while (!(diff & (0x80 >> bit)))
                bit++;
            return (WORD)(byte * 8 + bit);
        }
    }
}

// The key stored at a node, read back from the file in one read, or null
// when it can't be (no memory, or a file that no longer holds it).
static const BYTE *ReadStoredKey(treefile *tf, DWORD node) {
    DWORD length = tf->nodes[node].keyLength;
    while (tf->readCapacity < length + 1)
        if (!GrowReadBuffer(tf))
            return NULL;
    DWORD read = 0;
    SetFilePointer(tf->file, (LONG)(tf->nodes[node].offset + PTREE_RECORD_SIZE), NULL, FILE_BEGIN);
    if (length > 0 && (!ReadFile(tf->file, tf->readBuffer, length, &read, NULL) || read != length))
        return NULL;
    return tf->readBuffer;
}

// Where the search ends: the stored key met on a null or upward link.
// Returns 0 when it equals the key, -1 when it can't be read, else 2 with
// critBit set.
static int CompareStoredKey(treefile_context *c, DWORD node) {
    const BYTE *stored = (const BYTE *)"";
    DWORD length = 0;
    if (node != 0) {
        stored = ReadStoredKey(c->tf, node);
        if (stored == NULL)
            return -1; // better no node than a misplaced one
        length = c->tf->nodes[node].keyLength;
    }
    if (length == c->keyLength && memcmp(stored, c->key, length) == 0)
        return 0;
    c->critBit = CriticalBit(stored, length, c->key, c->keyLength);
    return 2;
}

// The next node on the key's path below the node, or 0 where the path
// ends (a null link, or an upward one).
static DWORD NextOnPath(const treefile_context *c, DWORD node, WORD bit) {
    const treefile_node *at = &c->tf->nodes[node];
    DWORD next = KeyBit(c->key, c->keyLength, bit) ? at->right : at->left;
    return next;
}

static BOOL IsDownward(const treefile *tf, DWORD node, WORD parentBit) {
    return node != 0 && (parentBit == PTREE_HEADER_BIT || tf->nodes[node].bit > parentBit);
}

// The search of an insertion, in memory: down the key's path to the
// stored key it ends on, then down again to the deepest node whose bit
// index is smaller than the critical bit, below which the new node goes
// (c->parent; the header when there is none). Returns 0 when the key is
// already stored, -1 when the search failed (no memory, or a file that
// does not hold what was written), else 2.
int treefile_insertNow(treefile_context *c) {
    const treefile *tf = c->tf;
    DWORD node = c->node;
    for (WORD bit = c->parentBit; IsDownward(tf, node, bit);) {
        bit = tf->nodes[node].bit;
        node = NextOnPath(c, node, bit);
    }
    int compared = CompareStoredKey(c, node);
    if (compared != 2)
        return compared;
    while (IsDownward(tf, c->node, c->parentBit) && tf->nodes[c->node].bit < c->critBit) {
        c->parent = c->node;
        c->parentBit = tf->nodes[c->node].bit;
        c->node = NextOnPath(c, c->node, c->parentBit);
    }
    return 2;
}

static DWORD *NodeSide(treefile_node *node, int right) {
    return right ? &node->right : &node->left;
}

// The fixed part of a record as the file holds it: links as offsets.
static treefile_record RecordOf(const treefile *tf, DWORD index) {
    const treefile_node *node = &tf->nodes[index];
    treefile_record record = {node->bit, tf->nodes[node->left].offset,
                              tf->nodes[node->right].offset};
    return record;
}

int treefile_insertData(treefile *tf, const char *key, const void *data, DWORD length) {
    if (tf == NULL || key == NULL)
        return 0;
    DWORD keyLength = (DWORD)strlen(key);
    if (keyLength > TREEFILE_MAX_KEY)
        return 0;
    treefile_context c = {};
    c.tf = tf;
    c.node = tf->nodes[0].left;
    c.parent = 0;
    c.parentBit = PTREE_HEADER_BIT;
    c.key = (const BYTE *)key;
    c.keyLength = keyLength;
    if (data == NULL)
        length = 0;
    // The whole node goes out in one write: record, key, data, terminators.
    DWORD nodeSize = PTREE_RECORD_SIZE + keyLength + 1 + length + 1;
    if (nodeSize < length)
        return 0;
    int search = treefile_insertNow(&c);
    if (search != 2) {
        tf->failed = tf->failed || search < 0;
        return 0;
    }
    BYTE *bytes = ReserveNode(tf) ? (BYTE *)GlobalAlloc(GMEM_FIXED, nodeSize) : NULL;
    DWORD position = bytes != NULL ? SetFilePointer(tf->file, 0, NULL, FILE_END) : 0;
    if (bytes == NULL || position == INVALID_SET_FILE_POINTER) {
        GlobalFree(bytes);
        tf->failed = TRUE;
        return 0;
    }

    // The new node takes the parent's link on the key's side; its own link
    // on the key's side points at itself.
    DWORD added = tf->nodeCount;
    treefile_node *parent = &tf->nodes[c.parent];
    int parentSide = KeyBit(c.key, keyLength, parent->bit);
    int ownSide = KeyBit(c.key, keyLength, c.critBit);
    treefile_node node = {position, keyLength, c.critBit, 0, 0};
    *NodeSide(&node, ownSide) = added;
    *NodeSide(&node, !ownSide) = *NodeSide(parent, parentSide);
    *NodeSide(parent, parentSide) = added;
    tf->nodes[tf->nodeCount++] = node;

    treefile_record record = RecordOf(tf, added);
    PackRecord(&record, bytes);
    memcpy(bytes + PTREE_RECORD_SIZE, key, keyLength + 1);
    if (length > 0)
        memcpy(bytes + PTREE_RECORD_SIZE + keyLength + 1, data, length);
    bytes[nodeSize - 1] = 0;
    DWORD written = 0;
    BOOL appended = WriteFile(tf->file, bytes, nodeSize, &written, NULL) && written == nodeSize;
    GlobalFree(bytes);
    if (!appended) {
        // A node the file lacks must not be linked: the tree stays as it was.
        *NodeSide(parent, parentSide) = *NodeSide(&node, !ownSide);
        tf->nodeCount--;
        SetFilePointer(tf->file, (LONG)position, NULL, FILE_BEGIN);
        SetEndOfFile(tf->file);
        tf->failed = TRUE;
        return 0;
    }
    record = RecordOf(tf, c.parent);
    treefile_writeHeader(tf->file, tf->nodes[c.parent].offset, &record);
    return 1;
}

int treefile_insert(treefile *tf, const char *key, const char *data) {
    return treefile_insertData(tf, key, data, data == NULL ? 0 : (DWORD)strlen(data));
}
