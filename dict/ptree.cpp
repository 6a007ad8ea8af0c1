// Matching keys in "libptree" images: the descent from the root, checked
// against the image's bounds at every step.
#include "dict/ptree.h"

#include <cstdlib>
#include <cstring>

static WORD ReadWord(const BYTE *p) {
    return (WORD)(p[0] | (p[1] << 8));
}

static DWORD ReadDword(const BYTE *p) {
    return (DWORD)p[0] | ((DWORD)p[1] << 8) | ((DWORD)p[2] << 16) | ((DWORD)p[3] << 24);
}

// Bit b of a key of the given length; bits past its end read as 0.
static int KeyBit(const BYTE *key, int length, DWORD bit) {
    DWORD byte = bit >> 3;
    if (byte >= (DWORD)length)
        return 0;
    return (key[byte] >> (7 - (bit & 7))) & 1;
}

// A node record lies wholly inside the image. Offset 0 is the header, which
// every link treats as null.
static BOOL NodeInImage(const ptree *tree, DWORD node) {
    return node != 0 && node < tree->size && tree->size - node >= PTREE_RECORD_SIZE;
}

// The position just past the last zero byte: data that starts before it is
// terminated inside the image.
static DWORD DataLimit(const BYTE *image, DWORD size) {
    while (size > 0 && image[size - 1] != 0)
        size--;
    return size;
}

ptree *ptree_open(const void *image, DWORD size) {
    const BYTE *bytes = (const BYTE *)image;
    if (bytes == NULL || size < PTREE_RECORD_SIZE + sizeof(PTREE_MAGIC))
        return NULL;
    if (memcmp(bytes + PTREE_RECORD_SIZE, PTREE_MAGIC, sizeof(PTREE_MAGIC) - 1) != 0)
        return NULL;
    ptree *tree = (ptree *)GlobalAlloc(GPTR, sizeof(ptree));
    if (tree == NULL)
        return NULL;
    tree->image = bytes;
    tree->size = size;
    tree->dataLimit = DataLimit(bytes, size);
    return tree;
}

ptree *ptree_open_handle(HANDLE file) {
    if (file == INVALID_HANDLE_VALUE)
        return NULL;
    DWORD sizeHigh = 0;
    DWORD size = GetFileSize(file, &sizeHigh);
    HANDLE mapping = NULL;
    LPVOID view = NULL;
    ptree *tree = NULL;
    if (size != INVALID_FILE_SIZE && sizeHigh == 0)
        mapping = CreateFileMapping(file, NULL, PAGE_READONLY, 0, 0, NULL);
    if (mapping != NULL)
        view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    if (view != NULL)
        tree = ptree_open(view, size);
    if (tree == NULL) {
        if (view != NULL)
            UnmapViewOfFile(view);
        if (mapping != NULL)
            CloseHandle(mapping);
        CloseHandle(file);
        return NULL;
    }
    tree->file = file;
    tree->mapping = mapping;
    return tree;
}

int ptree_check_id(const ptree *tree, const char *id) {
    if (tree == NULL)
        return 0;
    if (id == NULL)
        return 1;
    DWORD start = PTREE_RECORD_SIZE + sizeof(PTREE_MAGIC);
    size_t length = strlen(id);
    if (tree->size - start <= length)
        return 0;
    return memcmp(tree->image + start, id, length + 1) == 0;
}

void ptree_close(ptree *tree) {
    if (tree == NULL)
        return;
    if (tree->file != NULL) {
        UnmapViewOfFile(tree->image);
        CloseHandle(tree->mapping);
        CloseHandle(tree->file);
    }
    if (tree->nodes != NULL)
        GlobalFree(tree->nodes);
    GlobalFree(tree);
}

void ptree_clearInfo(ptree *tree) {
    if (tree != NULL)
        tree->matchData = NULL;
}

const char *ptree_data(const ptree *tree) {
    return tree == NULL ? NULL : tree->matchData;
}

// Whether the key stored at the node is a prefix of the first `length`
// bytes of the key; sets `*stored` to the stored key's length.
static BOOL KeyMatches(const ptree *tree, DWORD node, const BYTE *key, int length, int *stored) {
    DWORD start = node + PTREE_RECORD_SIZE;
    DWORD room = tree->size - start;
    DWORD limit = room < (DWORD)length + 1 ? room : (DWORD)length + 1;
    const BYTE *nodeKey = tree->image + start;
    const BYTE *end = (const BYTE *)memchr(nodeKey, 0, limit);
    if (end == NULL)
        return FALSE;
    *stored = (int)(end - nodeKey);
    if (start + *stored + 1 >= tree->dataLimit)
        return FALSE;
    return memcmp(nodeKey, key, *stored) == 0;
}

// One descent from the context's node. Bit indices strictly increase on
// the way down, so even a hostile image ends a descent within 65,535 steps.
// Returns the matched key's length (context->node then names its node),
// or 0 with context->lastBit the last bit tested.
static int Descend(ptree_matchContext *context) {
    const ptree *tree = context->tree;
    for (;;) {
        DWORD node = context->node;
        if (!NodeInImage(tree, node))
            return 0;
        const BYTE *record = tree->image + node;
        WORD bit = ReadWord(record);
        if (bit != PTREE_HEADER_BIT &&
            (context->lastBit == PTREE_HEADER_BIT || bit > context->lastBit)) {
            if (context->depth < PTREE_PATH) {
                context->pathNode[context->depth] = node;
                context->pathBit[context->depth] = bit;
            }
            context->depth++;
            context->lastBit = bit;
            int right = KeyBit(context->key, context->length, bit);
            context->node = ReadDword(record + (right ? 6 : 2));
            continue;
        }
        int stored = 0;
        if (KeyMatches(tree, node, context->key, context->length, &stored))
            return stored;
        return 0;
    }
}

// Where a descent for the key, now shortened, resumes: at the first node
// passed whose bit lies in the dropped bytes. Above it the shortened key
// takes the same turns, so the result is that of a fresh descent.
static void Resume(ptree_matchContext *context, DWORD root) {
    int known = context->depth < PTREE_PATH ? context->depth : PTREE_PATH;
    DWORD limit = (DWORD)context->length * 8;
    for (int i = 0; i < known; i++) {
        if (context->pathBit[i] >= limit) {
            context->node = context->pathNode[i];
            context->lastBit = i > 0 ? context->pathBit[i - 1] : PTREE_HEADER_BIT;
            context->depth = i;
            return;
        }
    }
    context->node = root;
    context->lastBit = PTREE_HEADER_BIT;
    context->depth = 0;
}

int ptree_matchNow(ptree_matchContext *context) {
    DWORD root = ReadDword(context->tree->image + 2);
    context->node = root;
    context->lastBit = PTREE_HEADER_BIT;
    context->depth = 0;
    while (context->length > 0) {
        int found = Descend(context);
        if (found > 0)
            return found;
        if (context->lastBit == PTREE_HEADER_BIT)
            return 0; // the root itself is missing: nothing can match
        // Drop everything from the byte that holds the last bit tested,
        // or at least one byte.
        int cut = (int)(context->lastBit >> 3);
        context->length = context->length > cut ? cut : context->length - 1;
        Resume(context, root);
    }
    return 0;
}

int ptree_match(ptree *tree, const char *key, int n) {
    if (tree == NULL)
        return 0;
    tree->matchData = NULL;
    if (key == NULL || n < 0)
        return 0;
    // A key never holds a zero byte, so nothing past one can match.
    int length = (int)(n == 0 ? strlen(key) : strnlen(key, (size_t)n));
    ptree_matchContext context;
    context.tree = tree;
    context.key = (const BYTE *)key;
    context.length = length;
    int found = ptree_matchNow(&context);
    if (found > 0) {
        tree->matchNode = context.node;
        tree->matchData = (const char *)tree->image + context.node + PTREE_RECORD_SIZE + found + 1;
    }
    return found;
}

// A list of offsets that grows by doubling, in global memory.
struct OffsetList {
    DWORD *items;
    DWORD count;
    DWORD capacity;
};

static BOOL AppendOffset(OffsetList *list, DWORD offset) {
    if (list->count == list->capacity) {
        DWORD capacity = list->capacity == 0 ? 64 : list->capacity * 2;
        DWORD *grown = (DWORD *)GlobalAlloc(GMEM_FIXED, capacity * sizeof(DWORD));
        if (grown == NULL)
            return FALSE;
        if (list->items != NULL) {
            memcpy(grown, list->items, list->count * sizeof(DWORD));
            GlobalFree(list->items);
        }
        list->items = grown;
        list->capacity = capacity;
    }
    list->items[list->count++] = offset;
    return TRUE;
}

static int CompareOffsets(const void *a, const void *b) {
    DWORD x = *(const DWORD *)a, y = *(const DWORD *)b;
    return x < y ? -1 : x > y;
}

// Lists, ascending, the nodes reached from the root along downward links.
// A hostile image may share nodes between paths; the walk stops after as
// many visits as the image has room for records, so it stays linear.
static BOOL ListNodes(ptree *tree) {
    OffsetList found = {NULL, 0, 0};
    OffsetList pending = {NULL, 0, 0}; // pairs: node, bit index of the node above it
    DWORD visits = tree->size / PTREE_RECORD_SIZE + 1;
    BOOL ok = AppendOffset(&pending, ReadDword(tree->image + 2)) &&
              AppendOffset(&pending, PTREE_HEADER_BIT);
    while (ok && pending.count > 0 && visits > 0) {
        DWORD parentBit = pending.items[--pending.count];
        DWORD node = pending.items[--pending.count];
        if (!NodeInImage(tree, node))
            continue;
        const BYTE *record = tree->image + node;
        WORD bit = ReadWord(record);
        if (bit == PTREE_HEADER_BIT || (parentBit != PTREE_HEADER_BIT && bit <= parentBit))
            continue; // an upward link: its node is reached from above
        visits--;
        ok = AppendOffset(&found, node) && AppendOffset(&pending, ReadDword(record + 6)) &&
             AppendOffset(&pending, bit) && AppendOffset(&pending, ReadDword(record + 2)) &&
             AppendOffset(&pending, bit);
    }
    if (pending.items != NULL)
        GlobalFree(pending.items);
    if (!ok) {
        if (found.items != NULL)
            GlobalFree(found.items);
        return FALSE;
    }
    if (found.count == 0 && !AppendOffset(&found, 0))
        return FALSE;
    qsort(found.items, found.count, sizeof(DWORD), CompareOffsets);
    tree->nodes = found.items;
    tree->nodeCount = found.count;
    return TRUE;
}

DWORD ptree_dataSize(ptree *tree) {
    if (tree == NULL || tree->matchData == NULL)
        return 0;
    if (tree->nodes == NULL && !ListNodes(tree))
        return 0;
    // The first node record that lies after the matched one.
    DWORD low = 0, high = tree->nodeCount;
    while (low < high) {
        DWORD middle = low + (high - low) / 2;
        if (tree->nodes[middle] <= tree->matchNode)
            low = middle + 1;
        else
            high = middle;
    }
    DWORD end = low < tree->nodeCount ? tree->nodes[low] : tree->size;
    DWORD start = (DWORD)((const BYTE *)tree->matchData - tree->image);
    if (end <= start)
        return 0;
    return end - start - (tree->image[end - 1] == 0 ? 1 : 0);
}
