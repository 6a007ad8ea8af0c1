// Compiling the user dictionary text into the user database when the text
// is newer, and opening that database for matching.
#include "dict/userdict.h"

#include "frame/globdata.h"

#include <cstring>

#define READ_CHUNK 4096
#define LINE_STEP 100

static HANDLE OpenIn(LPCTSTR dir, LPCTSTR name, DWORD access, DWORD share, DWORD creation) {
    SetCurrentDirectory(dir);
    return CreateFile(name, access, share, NULL, creation,
                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_RANDOM_ACCESS, NULL);
}

// A build that stopped short (memory ran out reading a line or adding an
// entry) must not look up to date, or the entries it missed would stay
// missing until the text is edited again: the database is given a time
// just before the text's, so that the next set-up builds it again.
static void MarkOutOfDate(HANDLE text, HANDLE database) {
    FILETIME textTime;
    if (!GetFileTime(text, NULL, NULL, &textTime))
        return;
    ULONGLONG earlier = ((ULONGLONG)textTime.dwHighDateTime << 32) | textTime.dwLowDateTime;
    if (earlier > 0)
        earlier--;
    FILETIME databaseTime = {(DWORD)earlier, (DWORD)(earlier >> 32)};
    SetFileTime(database, NULL, NULL, &databaseTime);
}

// Whether the whole text was read.
static BOOL ReadToTheEnd(HANDLE text) {
    DWORD high = 0;
    DWORD size = GetFileSize(text, &high);
    return size != INVALID_FILE_SIZE && high == 0 &&
           SetFilePointer(text, 0, NULL, FILE_CURRENT) >= size;
}

// The text file was written later than the database.
static BOOL TextIsNewer(HANDLE text, HANDLE database) {
    FILETIME textTime, databaseTime;
    if (!GetFileTime(text, NULL, NULL, &textTime) ||
        !GetFileTime(database, NULL, NULL, &databaseTime))
        return FALSE;
    return CompareFileTime(&textTime, &databaseTime) > 0;
}

void UpdateUserDatabase(void) {
    HANDLE text = OpenIn(globData.windowsDir, globData.userDictFile, GENERIC_READ, FILE_SHARE_READ,
                         OPEN_EXISTING);
    // The database is opened without sharing: the rebuild waits while any
    // handle, in this process or another, has it open.
    HANDLE database = OpenIn(globData.systemDir, globData.userDbFile, GENERIC_READ | GENERIC_WRITE,
                             0, OPEN_EXISTING);
    BOOL rebuild = FALSE;
    if (text == INVALID_HANDLE_VALUE) {
        if (database != INVALID_HANDLE_VALUE)
            CloseHandle(database);
        return;
    }
    if (database == INVALID_HANDLE_VALUE) {
        database = CreateFile(globData.userDbFile, GENERIC_READ | GENERIC_WRITE, 0, NULL,
                              CREATE_NEW, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_RANDOM_ACCESS, NULL);
        rebuild = database != INVALID_HANDLE_VALUE;
    } else {
        rebuild = TextIsNewer(text, database);
    }
    if (rebuild) {
        treefile *tf = treefile_create(database, USERDICT_ID);
        if (tf != NULL)
            ProcessUserDictionary(tf, text);
        if (tf == NULL || tf->failed || !ReadToTheEnd(text))
            MarkOutOfDate(text, database);
        treefile_close(tf);
    }
    if (database != INVALID_HANDLE_VALUE)
        CloseHandle(database);
    CloseHandle(text);
}

ptree *OpenUserDatabase(void) {
    HANDLE file = OpenIn(globData.systemDir, globData.userDbFile, GENERIC_READ, FILE_SHARE_READ,
                         OPEN_EXISTING);
    return ptree_open_handle(file);
}

// A line buffer that grows by half its size at a time, so that even a
// line of megabytes is read in linear time.
struct LineBuffer {
    char *bytes;
    DWORD length;
    DWORD capacity;
};

static BOOL AppendBytes(LineBuffer *line, const BYTE *bytes, DWORD count) {
    if (line->length + count + 1 > line->capacity) {
        DWORD capacity = line->capacity + line->capacity / 2 + LINE_STEP;
        if (capacity < line->length + count + 1)
            capacity = line->length + count + 1;
        char *grown = (char *)GlobalAlloc(GMEM_FIXED, capacity);
        if (grown == NULL)
            return FALSE;
        if (line->bytes != NULL) {
            memcpy(grown, line->bytes, line->length);
            GlobalFree(line->bytes);
        }
        line->bytes = grown;
        line->capacity = capacity;
    }
    memcpy(line->bytes + line->length, bytes, count);
    line->length += count;
    line->bytes[line->length] = 0;
    return TRUE;
}

// Keeps the bytes of a chunk up to a LF, dropping control bytes other
// than TAB. Returns the number of bytes used, LF included, or 0 when the
// line goes on past the chunk.
static DWORD TakeLine(LineBuffer *line, const BYTE *chunk, DWORD count, BOOL *ok) {
    DWORD start = 0;
    for (DWORD i = 0; i < count; i++) {
        BYTE byte = chunk[i];
        if (byte >= 32 || byte == '\t')
            continue;
        *ok = *ok && AppendBytes(line, chunk + start, i - start);
        start = i + 1;
        if (byte == '\n')
            return i + 1;
    }
    *ok = *ok && AppendBytes(line, chunk + start, count - start);
    return 0;
}

char *ReadString(HANDLE file) {
    LineBuffer line = {NULL, 0, 0};
    BYTE chunk[READ_CHUNK];
    BOOL ok = TRUE, any = FALSE;
    DWORD start = SetFilePointer(file, 0, NULL, FILE_CURRENT);
    for (;;) {
        DWORD count = 0;
        if (!ReadFile(file, chunk, sizeof(chunk), &count, NULL) || count == 0)
            break;
        any = TRUE;
        DWORD used = TakeLine(&line, chunk, count, &ok);
        if (used > 0) {
            // Leave the file just after the LF, as if read a byte at a time.
            SetFilePointer(file, (LONG)used - (LONG)count, NULL, FILE_CURRENT);
            break;
        }
    }
    if (any && ok && line.bytes == NULL)
        ok = AppendBytes(&line, NULL, 0);
    if (!any || !ok) {
        if (line.bytes != NULL)
            GlobalFree(line.bytes);
        // A line that could not be kept is left unread, so that the caller
        // can tell this end from the end of the file.
        if (!ok && start != INVALID_SET_FILE_POINTER)
            SetFilePointer(file, (LONG)start, NULL, FILE_BEGIN);
        return NULL;
    }
    return line.bytes;
}

static BOOL IsSeparator(char c) {
    return c == ' ' || c == '\t';
}

// Cuts the key off the line and joins the candidates by single TABs, in
// place. Returns the candidates, or null when the line is not an entry:
// no separator at all, or a key followed by separators and nothing else
// (an entry without candidates would only add an empty item).
static char *SplitEntry(char *line) {
    char *separator = line;
    while (*separator != 0 && !IsSeparator(*separator))
        separator++;
    if (*separator == 0)
        return NULL;
    *separator = 0;
    char *candidates = separator + 1;
    while (IsSeparator(*candidates))
        candidates++;
    char *out = candidates;
    for (char *in = candidates; *in != 0;) {
        if (!IsSeparator(*in)) {
            *out++ = *in++;
            continue;
        }
        while (IsSeparator(*in))
            in++;
        if (*in != 0)
            *out++ = '\t';
    }
    *out = 0;
    return *candidates == 0 ? NULL : candidates;
}

void ProcessUserDictionary(treefile *tf, HANDLE file) {
    char *line;
    while ((line = ReadString(file)) != NULL) {
        char *candidates = SplitEntry(line);
        if (candidates != NULL)
            treefile_insert(tf, _strlwr(line), candidates);
        GlobalFree(line);
    }
}
