// Writing an image from keys and data held in memory, sorted by their bytes.
#include "tools/common/image_writer.h"

#include <algorithm>
#include <filesystem>

#include "dict/ptree.h"
#include "dict/treefile.h"
#include "tools/common/tool_files.h"

namespace {

// The size the image must have once every entry is in: the writer reports
// no failed writes, so a short file is how a full disk shows.
unsigned long long expectedSize(const std::string &id, const std::vector<ImageEntry> &entries) {
    unsigned long long size = PTREE_RECORD_SIZE + sizeof(PTREE_MAGIC) + id.size() + 1;
    for (const ImageEntry &entry : entries)
        size += PTREE_RECORD_SIZE + entry.key.size() + 1 + entry.data.size() + 1;
    return size;
}

bool insertAll(HANDLE file, const std::string &id, const std::vector<ImageEntry> &entries,
               std::string &error, const ImageEntry **failed) {
    treefile *tf = treefile_create(file, id.c_str());
    if (tf == NULL) {
        error = "out of memory";
        return false;
    }
    bool ok = true;
    for (const ImageEntry &entry : entries) {
        if (!treefile_insertData(tf, entry.key.c_str(), entry.data.data(),
                                 (DWORD)entry.data.size())) {
            error = "cannot store this key (too long, or out of memory)";
            *failed = &entry;
            ok = false;
            break;
        }
    }
    treefile_close(tf);
    if (!ok)
        return false;
    DWORD sizeHigh = 0;
    DWORD size = GetFileSize(file, &sizeHigh);
    unsigned long long written = ((unsigned long long)sizeHigh << 32) | size;
    if (size == INVALID_FILE_SIZE || written != expectedSize(id, entries) ||
        !FlushFileBuffers(file)) {
        error = "writing failed (is the disk full?)";
        return false;
    }
    return true;
}

bool rename(const std::string &from, const std::string &to, std::string &error) {
    std::error_code code;
    std::filesystem::rename(std::filesystem::path((const char8_t *)from.c_str()),
                            std::filesystem::path((const char8_t *)to.c_str()), code);
    if (code)
        error = "cannot rename " + from + " to " + to + ": " + code.message();
    return !code;
}

} // namespace

void imageSortEntries(std::vector<ImageEntry> &entries) {
    // std::string compares as unsigned bytes, which is Big5 order.
    std::stable_sort(entries.begin(), entries.end(),
                     [](const ImageEntry &a, const ImageEntry &b) { return a.key < b.key; });
}

bool imageWriteFile(const std::string &path, const std::string &id,
                    const std::vector<ImageEntry> &entries, std::string &error,
                    const ImageEntry **failed) {
    *failed = NULL;
    if (expectedSize(id, entries) > 0x7FFFFFFF) {
        error = "the image would pass 2 GB";
        return false;
    }
    std::string temporary = path + ".tmp";
    std::basic_string<WCHAR> wideTemporary = toolWidePath(temporary);
    HANDLE file = CreateFileW(wideTemporary.c_str(), GENERIC_READ | GENERIC_WRITE, 0, NULL,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        error = "cannot create " + temporary + ": " + toolLastError();
        return false;
    }
    bool ok = insertAll(file, id, entries, error, failed);
    CloseHandle(file);
    if (ok)
        ok = rename(temporary, path, error);
    if (!ok)
        DeleteFileW(wideTemporary.c_str());
    return ok;
}
