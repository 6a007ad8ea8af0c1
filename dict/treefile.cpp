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

static DWORD *Side(treefile_record *record, int right) {
    return right ? &record->right : &record->left;
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
    if (tf != NULL)
        tf->file = file;
    return tf;
}

void treefile_close(treefile *tf) {
    if (tf == NULL)
        return;
    if (tf->readBuffer != NULL)
        GlobalFree(tf->readBuffer);
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

// Where the search ends: the stored key met on a null or upward link.
// Returns 0 when it equals the key (or can't be read), else 2 with critBit set.
static int CompareStoredKey(treefile_context *c) {
    const char *stored = "";
    if (c->node != 0) {
        SetFilePointer(c->tf->file, (LONG)(c->node + PTREE_RECORD_SIZE), NULL, FILE_BEGIN);
        stored = treefile_readString(c->tf);
        if (stored == NULL)
            return 0; // out of memory: better no node than a misplaced one
    }
    DWORD length = (DWORD)strlen(stored);
    if (length == c->keyLength && memcmp(stored, c->key, length) == 0)
        return 0;
    c->critBit = CriticalBit((const BYTE *)stored, length, c->key, c->keyLength);
    return 2;
}

// The search step of an insertion. Nodes on the way down are remembered
// so that the insertion point can be found on the way back without
// recursion, however deep a hostile or degenerate tree grows.
int treefile_insertNow(treefile_context *c) {
    DWORD pathNodes[16 + 1];
    WORD pathBits[16 + 1];
    DWORD *nodes = pathNodes;
    WORD *bits = pathBits;
    DWORD capacity = 16, depth = 0;
    int result;
    for (;;) {
        treefile_readHeader(c->tf->file, c->node, &c->record);
        BOOL passed =
            c->node != 0 && (c->parentBit == PTREE_HEADER_BIT || c->record.bit > c->parentBit);
        if (!passed)
            break;
        if (depth == capacity) {
            DWORD *moreNodes = (DWORD *)GlobalAlloc(GMEM_FIXED, 2 * capacity * sizeof(DWORD));
            WORD *moreBits = (WORD *)GlobalAlloc(GMEM_FIXED, 2 * capacity * sizeof(WORD));
            if (moreNodes == NULL || moreBits == NULL) {
                result = 0; // out of memory: leave the file untouched
                GlobalFree(moreNodes);
                GlobalFree(moreBits);
                goto done;
            }
            memcpy(moreNodes, nodes, depth * sizeof(DWORD));
            memcpy(moreBits, bits, depth * sizeof(WORD));
            if (nodes != pathNodes) {
                GlobalFree(nodes);
                GlobalFree(bits);
            }
            nodes = moreNodes;
            bits = moreBits;
            capacity *= 2;
        }
        nodes[depth] = c->parent;
        bits[depth] = c->parentBit;
        depth++;
        c->parent = c->node;
        c->parentBit = c->record.bit;
        c->node = KeyBit(c->key, c->keyLength, c->record.bit) ? c->record.right : c->record.left;
    }
    result = CompareStoredKey(c);
    // The new node goes directly below the deepest node passed whose bit
    // index is smaller than the critical bit, or below the header.
    while (result == 2 && c->parent != 0 && c->parentBit >= c->critBit) {
        depth--;
        c->parent = nodes[depth];
        c->parentBit = bits[depth];
    }
done:
    if (nodes != pathNodes) {
        GlobalFree(nodes);
        GlobalFree(bits);
    }
    return result;
}

int treefile_insertData(treefile *tf, const char *key, const void *data, DWORD length) {
    if (tf == NULL || key == NULL)
        return 0;
    DWORD keyLength = (DWORD)strlen(key);
    if (keyLength > TREEFILE_MAX_KEY)
        return 0;
    treefile_record header;
    treefile_readHeader(tf->file, 0, &header);
    treefile_context c = {};
    c.tf = tf;
    c.node = header.left;
    c.parent = 0;
    c.parentBit = PTREE_HEADER_BIT;
    c.key = (const BYTE *)key;
    c.keyLength = keyLength;
    if (treefile_insertNow(&c) == 0)
        return 0;

    DWORD position = SetFilePointer(tf->file, 0, NULL, FILE_END);
    treefile_record parent;
    treefile_readHeader(tf->file, c.parent, &parent);
    int parentSide = KeyBit(c.key, keyLength, parent.bit);
    int ownSide = KeyBit(c.key, keyLength, c.critBit);
    treefile_record added = {c.critBit, 0, 0};
    *Side(&added, ownSide) = position;
    *Side(&added, !ownSide) = *Side(&parent, parentSide);

    treefile_writeHeader(tf->file, position, &added);
    WriteBytes(tf->file, key, keyLength);
    WriteBytes(tf->file, data, data == NULL ? 0 : length);
    *Side(&parent, parentSide) = position;
    treefile_writeHeader(tf->file, c.parent, &parent);
    return 1;
}

int treefile_insert(treefile *tf, const char *key, const char *data) {
    return treefile_insertData(tf, key, data, data == NULL ? 0 : (DWORD)strlen(data));
}
