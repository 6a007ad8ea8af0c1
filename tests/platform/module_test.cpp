// Loading modules the Windows way: attach and detach order and counts,
// exports, and resources compiled from the modules' resource lists.
#include "platform/platform.h"
#include "tests/platform/scratch_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

const std::string kBase = std::string(TAVO_TEST_MODULE_DIR) + "/tavo_testmod_base.so";
const std::string kUser = std::string(TAVO_TEST_MODULE_DIR) + "/tavo_testmod_user.so";
const std::u16string kOptionMenu =
    u"Oskelyut--Lumora 1.3 版輸入法設定      1 %s點字鍵盤   2 %s內置發音   3 %s閱讀字根   4 "
    u"%s輸入字串以點字畫面顯示   5 %s查詢模式內以點字畫面顯示   6 %s反白顯示   7 "
    u"放大輸入法範圍的字型   8 縮小輸入法範圍的字型";

typedef int (*Answer)(void);
typedef int (*StringGetter)(UINT, LPWSTR, int);

// An export as the function it is (through void (*)(void), which any
// function pointer converts to without complaint).
template <class Function> Function exported(HMODULE module, const char *name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void (*)(void)>(GetProcAddress(module, name)));
}

std::string fileBytes(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

std::string resourceBytes(HMODULE module, HRSRC resource) {
    auto data = static_cast<const char *>(LockResource(LoadResource(module, resource)));
    return data ? std::string(data, SizeofResource(module, resource)) : std::string();
}

class Modules : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("TAVO_TESTMOD_LOG", log.c_str(), 1);
        unsetenv("TAVO_TESTMOD_FAIL");
    }
    void TearDown() override {
        unsetenv("TAVO_TESTMOD_LOG");
        unsetenv("TAVO_TESTMOD_FAIL");
    }

    // The lines the modules' entry points wrote since the last call.
    std::vector<std::string> events() {
        std::vector<std::string> lines;
        std::istringstream in(fileBytes(log));
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        std::ofstream(log, std::ios::trunc);
        return lines;
    }

    ScratchFolder folder;
    std::string log = folder.file("events");
};

typedef std::vector<std::string> Events;

TEST_F(Modules, ImportsAreAttachedFirstAndDetachedLast) {
    HMODULE user = LoadLibraryA(kUser.c_str());
    ASSERT_NE(user, nullptr);
    EXPECT_EQ(events(), (Events{"attach base with strings", "attach user"}));
    EXPECT_EQ(GetModuleHandleA("tavo_testmod_base.so"), GetModuleHandleA("tavo_testmod_base"));
    EXPECT_NE(GetModuleHandleA("tavo_testmod_base"), nullptr);

    EXPECT_TRUE(FreeLibrary(user));
    EXPECT_EQ(events(), (Events{"detach user", "detach base"}));
    EXPECT_EQ(GetModuleHandleA("tavo_testmod_user"), nullptr);
    EXPECT_EQ(GetModuleHandleA("tavo_testmod_base"), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_MOD_NOT_FOUND));
}

TEST_F(Modules, LoadingAgainOnlyCountsAReference) {
    HMODULE user = LoadLibraryA(kUser.c_str());
    ASSERT_NE(user, nullptr);
    // By bare name, in any case, with a Windows extension: the same module.
    EXPECT_EQ(LoadLibraryA("TAVO_TESTMOD_USER.DLL"), user);
    HMODULE base = LoadLibraryW(u"tavo_testmod_base");
    EXPECT_EQ(base, GetModuleHandleA("tavo_testmod_base"));
    EXPECT_EQ(events().size(), 2u);

    EXPECT_TRUE(FreeLibrary(user));
    EXPECT_TRUE(FreeLibrary(base));
    EXPECT_EQ(events(), Events{});
    EXPECT_TRUE(FreeLibrary(user));
    EXPECT_EQ(events(), (Events{"detach user", "detach base"}));
    EXPECT_FALSE(FreeLibrary(user));
}

TEST_F(Modules, AModuleThatImportsALoadedOneLeavesItAttached) {
    HMODULE base = LoadLibraryA(kBase.c_str());
    HMODULE user = LoadLibraryA(kUser.c_str());
    EXPECT_EQ(events(), (Events{"attach base with strings", "attach user"}));
    EXPECT_TRUE(FreeLibrary(user));
    EXPECT_EQ(events(), Events{"detach user"});
    EXPECT_TRUE(FreeLibrary(base));
    EXPECT_EQ(events(), Events{"detach base"});
}

TEST_F(Modules, AFailedAttachFailsTheLoadAndReleasesTheImports) {
    setenv("TAVO_TESTMOD_FAIL", "1", 1);
    SetLastError(0);
    EXPECT_EQ(LoadLibraryA(kUser.c_str()), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_DLL_INIT_FAILED));
    // As on Windows, the refusing module is told to detach too.
    EXPECT_EQ(events(), (Events{"attach base with strings", "attach user refused", "detach user",
                                "detach base"}));
    EXPECT_EQ(GetModuleHandleA("tavo_testmod_base"), nullptr);

    unsetenv("TAVO_TESTMOD_FAIL");
    HMODULE user = LoadLibraryA(kUser.c_str());
    ASSERT_NE(user, nullptr);
    EXPECT_TRUE(FreeLibrary(user));
}

TEST_F(Modules, LoadFailuresSayWhy) {
    EXPECT_EQ(LoadLibraryA(folder.file("missing.so").c_str()), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_MOD_NOT_FOUND));
    EXPECT_EQ(LoadLibraryA("tavo_no_such_module"), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_MOD_NOT_FOUND));
    std::ofstream(folder.file("text.so")) << "not a library";
    EXPECT_EQ(LoadLibraryA(folder.file("text.so").c_str()), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_BAD_EXE_FORMAT));
    int local = 0;
    EXPECT_FALSE(FreeLibrary(reinterpret_cast<HMODULE>(&local)));
    EXPECT_FALSE(FreeLibrary(nullptr));
}

TEST_F(Modules, OnlyTheModulesOwnExportsAreFound) {
    HMODULE user = LoadLibraryA(kUser.c_str());
    HMODULE base = GetModuleHandleA("tavo_testmod_base");
    auto baseAnswer = exported<Answer>(base, "testmod_baseAnswer");
    auto userAnswer = exported<Answer>(user, "testmod_userAnswer");
    ASSERT_NE(baseAnswer, nullptr);
    ASSERT_NE(userAnswer, nullptr);
    EXPECT_EQ(baseAnswer(), 42);
    EXPECT_EQ(userAnswer(), 43);

    // Not listed in the module-definition file.
    EXPECT_EQ(GetProcAddress(base, "testmod_baseHidden"), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PROC_NOT_FOUND));
    // The import's export is not the importer's.
    EXPECT_EQ(GetProcAddress(user, "testmod_baseAnswer"), nullptr);
    EXPECT_EQ(GetProcAddress(base, MAKEINTRESOURCEA(1)), nullptr);
    EXPECT_TRUE(FreeLibrary(user));
}

TEST_F(Modules, FileNamesOfModulesAndTheProgram) {
    HMODULE base = LoadLibraryA(kBase.c_str());
    char name[512];
    EXPECT_EQ(GetModuleFileNameA(base, name, sizeof name), kBase.size());
    EXPECT_EQ(std::string(name), kBase);
    WCHAR wide[512];
    EXPECT_EQ(GetModuleFileNameW(base, wide, 512), kBase.size());
    EXPECT_EQ(std::u16string(wide), std::u16string(kBase.begin(), kBase.end()));

    // Too small: cut, terminated, the size returned.
    EXPECT_EQ(GetModuleFileNameA(base, name, 5), 5u);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(std::string(name), kBase.substr(0, 4));

    char program[512];
    ssize_t length = readlink("/proc/self/exe", program, sizeof program);
    EXPECT_EQ(GetModuleFileNameA(nullptr, name, sizeof name), DWORD(length));
    EXPECT_EQ(std::string(name), std::string(program, size_t(length)));
    EXPECT_EQ(GetModuleHandleA(nullptr), GetModuleHandleW(nullptr));
    EXPECT_TRUE(FreeLibrary(base));
    EXPECT_EQ(GetModuleFileNameA(base, name, sizeof name), 0u);
}

class Resources : public Modules {
protected:
    void SetUp() override {
        Modules::SetUp();
        user = LoadLibraryA(kUser.c_str());
        base = GetModuleHandleA("tavo_testmod_base");
        ASSERT_NE(user, nullptr);
    }
    void TearDown() override {
        FreeLibrary(user);
        Modules::TearDown();
    }

    std::u16string wide(UINT id, int size = 512) {
        std::vector<WCHAR> buffer(size_t(std::max(size, 1)), u'#');
        int length = LoadStringW(base, id, buffer.data(), size);
        EXPECT_EQ(std::char_traits<WCHAR>::length(buffer.data()), size_t(length));
        return buffer.data();
    }

    std::string ansi(UINT id, int size = 512) {
        std::vector<char> buffer(size_t(std::max(size, 1)), '#');
        int length = LoadStringA(base, id, buffer.data(), size);
        EXPECT_EQ(std::strlen(buffer.data()), size_t(length));
        return buffer.data();
    }

    HMODULE user = nullptr;
    HMODULE base = nullptr;
};

TEST_F(Resources, StringsInUtf16AndBig5) {
    EXPECT_EQ(wide(288), u"字");
    EXPECT_EQ(ansi(288), "\xA6\x72");
    EXPECT_EQ(wide(304), kOptionMenu);
    std::string menu = ansi(304);
    WCHAR back[512];
    int length = MultiByteToWideChar(950, 0, menu.data(), int(menu.size()), back, 512);
    EXPECT_EQ(std::u16string(back, size_t(length)), kOptionMenu);
    EXPECT_EQ(wide(15), u"last of block one");
    EXPECT_EQ(wide(16), u"first of block two");
    EXPECT_EQ(wide(320), u"\U0001F600 smile");
}

TEST_F(Resources, MissingAndEmptyStringsGiveNothing) {
    EXPECT_EQ(wide(306), u"");
    EXPECT_EQ(wide(17), u"");  // a block that exists, without it
    EXPECT_EQ(wide(999), u""); // no block at all
    EXPECT_EQ(ansi(999), "");
    EXPECT_EQ(LoadStringW(user, 288, nullptr, 10), 0);
}

TEST_F(Resources, StringsAreCutToTheBufferAndAlwaysTerminated) {
    EXPECT_EQ(wide(305, 2), u"開");
    EXPECT_EQ(wide(305, 1), u"");
    EXPECT_EQ(ansi(305, 4), "\xB6\x7D"); // 開 fits, half of 啟 does not
    EXPECT_EQ(ansi(305, 2), "");
    EXPECT_EQ(wide(320, 2), u""); // never half a surrogate pair
    char untouched = '#';
    EXPECT_EQ(LoadStringA(base, 305, &untouched, 0), 0);
    EXPECT_EQ(untouched, '#');
}

TEST_F(Resources, SizeZeroGivesTheStringItself) {
    const WCHAR *text = nullptr;
    EXPECT_EQ(LoadStringW(base, 304, reinterpret_cast<LPWSTR>(&text), 0), int(kOptionMenu.size()));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::u16string(text, kOptionMenu.size()), kOptionMenu);
}

TEST_F(Resources, TheModuleReadsItsOwnThroughItsHandle) {
    auto get = exported<StringGetter>(base, "testmod_baseString");
    ASSERT_NE(get, nullptr);
    WCHAR text[8];
    EXPECT_EQ(get(288, text, 8), 1);
    EXPECT_EQ(std::u16string(text), u"字");
}

TEST_F(Resources, FileDataByNumberAndByName) {
    std::string bin = fileBytes(std::string(TAVO_TEST_MODULE_SOURCE_DIR) + "/testmod.bin");
    std::string wav = fileBytes(std::string(TAVO_TEST_MODULE_SOURCE_DIR) + "/testmod.wav");
    ASSERT_FALSE(bin.empty());
    EXPECT_EQ(resourceBytes(base, FindResourceA(base, MAKEINTRESOURCEA(1), RT_RCDATA)), bin);
    EXPECT_EQ(resourceBytes(base, FindResourceA(base, "#1", MAKEINTRESOURCEA(10))), bin);
    EXPECT_EQ(resourceBytes(base, FindResourceW(base, u"Sample", u"wave")), wav);
    EXPECT_EQ(resourceBytes(base, FindResourceA(base, "generated", RT_RCDATA)), bin);
    HRSRC found = FindResourceA(base, MAKEINTRESOURCEA(1), RT_RCDATA);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(LockResource(LoadResource(base, found))) % 16, 0u);
    EXPECT_FALSE(FreeResource(LoadResource(base, found)));
}

TEST_F(Resources, WhatIsNotThereIsNotFound) {
    SetLastError(0);
    EXPECT_EQ(FindResourceA(base, MAKEINTRESOURCEA(2), RT_RCDATA), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_EQ(FindResourceA(base, MAKEINTRESOURCEA(1), RT_BITMAP), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_RESOURCE_TYPE_NOT_FOUND));
    EXPECT_EQ(FindResourceA(base, "SAMPLE\xA6\x72", "WAVE"), nullptr);
    // The importer has no resources of its own: its import's aren't its.
    EXPECT_EQ(FindResourceA(user, MAKEINTRESOURCEA(1), RT_RCDATA), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_RESOURCE_DATA_NOT_FOUND));
    // A resource of one module is no resource of another.
    HRSRC found = FindResourceA(base, MAKEINTRESOURCEA(1), RT_RCDATA);
    EXPECT_EQ(LoadResource(user, found), nullptr);
    EXPECT_EQ(SizeofResource(nullptr, found), 0u);
    int local = 0;
    EXPECT_EQ(FindResourceA(reinterpret_cast<HMODULE>(&local), "#1", RT_RCDATA), nullptr);
}

TEST_F(Resources, TheProgramHasItsOwn) {
    WCHAR text[8];
    EXPECT_EQ(LoadStringW(nullptr, 1, text, 8), 2);
    EXPECT_EQ(std::u16string(text), u"程式");
    EXPECT_EQ(LoadStringW(GetModuleHandleA(nullptr), 1, text, 8), 2);
    EXPECT_EQ(LoadStringW(nullptr, 288, text, 8), 0);
}

TEST_F(Modules, ManyLoadsAndUnloads) {
    for (int i = 0; i < 200; i++) {
        HMODULE user = LoadLibraryA(kUser.c_str());
        ASSERT_NE(user, nullptr);
        ASSERT_TRUE(FreeLibrary(user));
    }
    EXPECT_EQ(events().size(), 800u);
}

TEST_F(Modules, ThreadsTakeTurnsWithTheLoader) {
    auto loadAndFree = [] {
        for (int i = 0; i < 30; i++)
            if (HMODULE user = LoadLibraryA(kUser.c_str()))
                FreeLibrary(user);
    };
    std::thread first(loadAndFree), second(loadAndFree);
    first.join();
    second.join();
    // Every attach was followed by its detach before the next attach.
    Events lines = events();
    ASSERT_FALSE(lines.empty());
    for (size_t i = 0; i + 1 < lines.size(); i++) {
        if (lines[i] == "attach user") {
            EXPECT_EQ(lines[i + 1], "detach user");
        }
    }
    EXPECT_EQ(lines.size() % 4, 0u);
}

} // namespace
