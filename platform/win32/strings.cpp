// LoadStringA on Windows: the module's string table holds UTF-16 texts,
// which the byte flavour takes as Big5-HKSCS whatever the system's ANSI
// code page is.
#define TAVO_WIN32_DIRECT
#include "platform/platform.h"
#include "platform/cp950/convert.h"
#include "platform/cp950/cp950.h"

#include <string>

namespace {

// The texts as Windows stores them: blocks of 16 strings, each a length
// and that many UTF-16 units; string id lives in block id / 16 + 1.
bool findText(HINSTANCE instance, UINT id, const WCHAR *&text, int &length) {
    HRSRC block = FindResourceW(instance, MAKEINTRESOURCEW(id / 16 + 1), (LPCWSTR)RT_STRING);
    HGLOBAL loaded = block != NULL ? LoadResource(instance, block) : NULL;
    const WCHAR *units = loaded != NULL ? (const WCHAR *)LockResource(loaded) : NULL;
    if (units == NULL)
        return false;
    const WCHAR *end = units + SizeofResource(instance, block) / sizeof(WCHAR);
    for (UINT skip = id % 16; skip > 0 && units < end; skip--)
        units += 1 + *units;
    if (units >= end || *units == 0 || units + 1 + *units > end)
        return false;
    length = *units;
    text = units + 1;
    return true;
}

// How many bytes of bytes fit in room without cutting a character in two.
int wholeCharacters(const std::string &bytes, int room) {
    int taken = 0;
    while (taken < (int)bytes.size()) {
        int size = cp950_isLeadByte((BYTE)bytes[taken]) && taken + 1 < (int)bytes.size() ? 2 : 1;
        if (taken + size > room)
            break;
        taken += size;
    }
    return taken;
}

} // namespace

int WINAPI tavo_LoadStringA(HINSTANCE instance, UINT id, LPSTR buffer, int bufferMax) {
    if (buffer == NULL || bufferMax <= 0)
        return 0;
    buffer[0] = 0;
    const WCHAR *text;
    int length;
    if (!findText(instance, id, text, length))
        return 0;
    int needed = cp950_fromWide(Cp950Encoding::big5, 0, text, length, NULL, 0, NULL, NULL);
    if (needed <= 0)
        return 0;
    std::string bytes(needed, '\0');
    cp950_fromWide(Cp950Encoding::big5, 0, text, length, bytes.data(), needed, NULL, NULL);
    int copied = wholeCharacters(bytes, bufferMax - 1);
    bytes.copy(buffer, copied);
    buffer[copied] = 0;
    return copied;
}
