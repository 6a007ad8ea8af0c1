// File mappings and their views.
#include "platform/platform.h"
#include "tests/platform/scratch_folder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

class Mappings : public ::testing::Test {
protected:
    HANDLE openFile(DWORD access, const std::string &content) {
        HANDLE writer = CreateFileA(folder.file("m").c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        WriteFile(writer, content.data(), DWORD(content.size()), &written, nullptr);
        CloseHandle(writer);
        return CreateFileA(folder.file("m").c_str(), access, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    }

    ScratchFolder folder;
};

TEST_F(Mappings, ViewOfAWholeFileOutlivesItsHandles) {
    HANDLE file = openFile(GENERIC_READ, "abcdef");
    HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    ASSERT_NE(mapping, nullptr);
    const char *view = static_cast<const char *>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0));
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(CloseHandle(mapping));
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_EQ(std::string(view, 6), "abcdef");

    // The view keeps the file open as it was shared.
    HANDLE exclusive = CreateFileA(folder.file("m").c_str(), GENERIC_WRITE, 0, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_EQ(exclusive, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(UnmapViewOfFile(view));
    EXPECT_FALSE(UnmapViewOfFile(view));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_ADDRESS));
    exclusive = CreateFileA(folder.file("m").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(exclusive, INVALID_HANDLE_VALUE);
    CloseHandle(exclusive);
}

TEST_F(Mappings, EmptyFileCannotBeMapped) {
    HANDLE file = openFile(GENERIC_READ, "");
    EXPECT_EQ(CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_INVALID));
    CloseHandle(file);
}

TEST_F(Mappings, AccessAndBoundsAreChecked) {
    HANDLE file = openFile(GENERIC_READ, "abc");
    EXPECT_EQ(CreateFileMappingA(file, nullptr, PAGE_READWRITE, 0, 0, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    EXPECT_EQ(CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 100, nullptr), nullptr);
    HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    EXPECT_EQ(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    EXPECT_EQ(MapViewOfFile(mapping, FILE_MAP_READ, 0, 4096, 0), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_MAPPED_ALIGNMENT));
    EXPECT_EQ(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 4), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    CloseHandle(mapping);
    CloseHandle(file);
}

TEST_F(Mappings, WritableMappingGrowsAndWritesTheFile) {
    HANDLE file = openFile(GENERIC_READ | GENERIC_WRITE, "");
    HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READWRITE, 0, 8, nullptr);
    ASSERT_NE(mapping, nullptr);
    EXPECT_EQ(GetFileSize(file, nullptr), 8u);
    char *view = static_cast<char *>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
    ASSERT_NE(view, nullptr);
    std::memcpy(view, "written!", 8);
    EXPECT_TRUE(UnmapViewOfFile(view));
    char back[8];
    DWORD read = 0;
    EXPECT_TRUE(ReadFile(file, back, 8, &read, nullptr));
    EXPECT_EQ(std::string(back, read), "written!");
    CloseHandle(mapping);
    CloseHandle(file);
}

} // namespace
