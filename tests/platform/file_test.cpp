// Files: creation modes, reading, writing, seeking and times.
#include "platform/platform.h"
#include "tests/platform/scratch_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>

namespace {

HANDLE open(const std::string &path, DWORD access, DWORD creation, DWORD share = 0) {
    return CreateFileA(path.c_str(), access, share, nullptr, creation, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

void writeText(HANDLE file, const std::string &text) {
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file, text.data(), DWORD(text.size()), &written, nullptr));
    ASSERT_EQ(written, text.size());
}

std::string readText(HANDLE file, DWORD bytes) {
    std::string text(bytes, '\0');
    DWORD read = 0;
    EXPECT_TRUE(ReadFile(file, text.data(), bytes, &read, nullptr));
    text.resize(read);
    return text;
}

FILETIME fileTime(uint64_t ticks) {
    return {DWORD(ticks), DWORD(ticks >> 32)};
}

class Files : public ::testing::Test {
protected:
    void makeFile(const std::string &name, const std::string &text) {
        HANDLE file = open(folder.file(name), GENERIC_WRITE, CREATE_ALWAYS);
        writeText(file, text);
        CloseHandle(file);
    }

    ScratchFolder folder;
};

TEST_F(Files, CreationModesAndMissingFiles) {
    struct Case {
        DWORD creation;
        bool exists;
        DWORD error; // after the call; NO_ERROR on plain success
        bool opens;
        DWORD sizeAfter; // when it opens
    } cases[] = {
        {CREATE_NEW, true, ERROR_FILE_EXISTS, false, 0},
        {CREATE_NEW, false, NO_ERROR, true, 0},
        {CREATE_ALWAYS, true, ERROR_ALREADY_EXISTS, true, 0},
        {CREATE_ALWAYS, false, NO_ERROR, true, 0},
        {OPEN_EXISTING, true, NO_ERROR, true, 5},
        {OPEN_EXISTING, false, ERROR_FILE_NOT_FOUND, false, 0},
        {OPEN_ALWAYS, true, ERROR_ALREADY_EXISTS, true, 5},
        {OPEN_ALWAYS, false, NO_ERROR, true, 0},
        {TRUNCATE_EXISTING, true, NO_ERROR, true, 0},
        {TRUNCATE_EXISTING, false, ERROR_FILE_NOT_FOUND, false, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "creation " << c.creation << " exists " << c.exists);
        DeleteFileA(folder.file("f").c_str());
        if (c.exists)
            makeFile("f", "12345");
        SetLastError(ERROR_GEN_FAILURE);
        HANDLE file = open(folder.file("f"), GENERIC_READ | GENERIC_WRITE, c.creation);
        EXPECT_EQ(GetLastError(), c.error);
        ASSERT_EQ(file != INVALID_HANDLE_VALUE, c.opens);
        if (c.opens) {
            EXPECT_EQ(GetFileSize(file, nullptr), c.sizeAfter);
            CloseHandle(file);
        }
    }
    EXPECT_EQ(open(folder.file("no/such/f"), GENERIC_READ, OPEN_ALWAYS), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(open(folder.path(), GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));

    makeFile("f", "x");
    EXPECT_TRUE(DeleteFileA(folder.file("f").c_str()));
    EXPECT_FALSE(DeleteFileA(folder.file("f").c_str()));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(DeleteFileA(folder.file("no/f").c_str()));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
}

TEST_F(Files, ReadWriteSeekAndEnd) {
    HANDLE file = open(folder.file("f"), GENERIC_READ | GENERIC_WRITE, CREATE_NEW);
    writeText(file, "hello world");
    EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_BEGIN), 0u);
    EXPECT_EQ(readText(file, 5), "hello");
    EXPECT_EQ(SetFilePointer(file, 1, nullptr, FILE_CURRENT), 6u);
    EXPECT_EQ(readText(file, 100), "world");
    EXPECT_EQ(readText(file, 100), "");
    EXPECT_EQ(SetFilePointer(file, -5, nullptr, FILE_END), 6u);

    // A failed seek reports itself and leaves the pointer alone.
    EXPECT_EQ(SetFilePointer(file, -7, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NEGATIVE_SEEK));
    EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_CURRENT), 6u);

    EXPECT_EQ(SetFilePointer(file, 5, nullptr, FILE_BEGIN), 5u);
    EXPECT_TRUE(SetEndOfFile(file));
    EXPECT_EQ(GetFileSize(file, nullptr), 5u);

    // Beyond 4 GiB the high part carries the position.
    LONG high = 1;
    EXPECT_EQ(SetFilePointer(file, 16, &high, FILE_BEGIN), 16u);
    EXPECT_EQ(high, 1);
    EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));

    // With an OVERLAPPED the transfer starts at its offset.
    OVERLAPPED at = {};
    at.Offset = 1;
    char buffer[3];
    DWORD read = 0;
    EXPECT_TRUE(ReadFile(file, buffer, 3, &read, &at));
    EXPECT_EQ(std::string(buffer, read), "ell");
    EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_CURRENT), 4u);
    CloseHandle(file);
}

TEST_F(Files, StaleAndForeignHandlesAreRefused) {
    HANDLE file = open(folder.file("f"), GENERIC_READ | GENERIC_WRITE, CREATE_NEW);
    HANDLE mapping = nullptr;
    writeText(file, "x");
    mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    EXPECT_TRUE(CloseHandle(file));
    char buffer[1];
    DWORD done = 0;
    for (HANDLE bad : {file, INVALID_HANDLE_VALUE, HANDLE(0x1234), HANDLE(nullptr), mapping}) {
        SetLastError(NO_ERROR);
        EXPECT_FALSE(ReadFile(bad, buffer, 1, &done, nullptr));
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
        EXPECT_EQ(GetFileSize(bad, nullptr), INVALID_FILE_SIZE);
    }
    EXPECT_FALSE(CloseHandle(file));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_TRUE(CloseHandle(mapping));

    // A live handle does only what it was opened for.
    HANDLE reader = open(folder.file("f"), GENERIC_READ, OPEN_EXISTING);
    EXPECT_FALSE(WriteFile(reader, "x", 1, &done, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(SetEndOfFile(reader));
    CloseHandle(reader);
}

TEST_F(Files, TimesFollowWritesAndCountFrom1601) {
    HANDLE file = open(folder.file("f"), GENERIC_READ | GENERIC_WRITE, CREATE_NEW);
    // 2001-09-09 01:46:40 UTC, Unix time 1000000000.
    const uint64_t billionSeconds = 116444736000000000ULL + 1000000000ULL * 10000000ULL;
    const FILETIME past = fileTime(billionSeconds);
    ASSERT_TRUE(SetFileTime(file, nullptr, nullptr, &past));
    FILETIME creation, access, lastWrite;
    ASSERT_TRUE(GetFileTime(file, &creation, &access, &lastWrite));
    EXPECT_EQ(CompareFileTime(&lastWrite, &past), 0);
    struct stat info;
    ASSERT_EQ(stat(folder.file("f").c_str(), &info), 0);
    EXPECT_EQ(info.st_mtime, 1000000000);

    writeText(file, "later");
    ASSERT_TRUE(GetFileTime(file, nullptr, nullptr, &lastWrite));
    EXPECT_EQ(CompareFileTime(&lastWrite, &past), 1);
    EXPECT_EQ(CompareFileTime(&past, &lastWrite), -1);
    CloseHandle(file);

    // The high part outweighs the low part.
    const FILETIME low = {0xFFFFFFFF, 1}, high = {0, 2};
    EXPECT_EQ(CompareFileTime(&low, &high), -1);
}

TEST_F(Files, NamesReachTheFileSystemAsUtf8) {
    // 你好 in Big5 is A7 41 A6 6E: the trail byte 0x41 must stay 'A'.
    const std::string big5 = "\xA7\x41\xA6\x6E.txt";
    HANDLE file = CreateFileA(folder.file(big5).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    struct stat info;
    EXPECT_EQ(stat(folder.file("你好.txt").c_str(), &info), 0);

    std::u16string wide = std::u16string(u"/你好.txt");
    std::string folderName = folder.path();
    std::u16string widePath(folderName.begin(), folderName.end());
    EXPECT_TRUE(DeleteFileW((widePath + wide).c_str()));
    EXPECT_NE(stat(folder.file("你好.txt").c_str(), &info), 0);

    // 佢 is CA 5C: its trail byte is a backslash, which must not split the
    // name, while a backslash of its own separates folders.
    const std::string keoi = folder.path() + "\\\xCA\x5C.txt";
    file = CreateFileA(keoi.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    EXPECT_EQ(stat(folder.file("佢.txt").c_str(), &info), 0);

    const WCHAR loneSurrogate[] = {u'a', 0xD800, u'b', 0};
    EXPECT_EQ(CreateFileW(loneSurrogate, GENERIC_READ, 0, nullptr, OPEN_ALWAYS, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_NAME));
}

} // namespace
