// Start-up of the module: what the manager learns from it, the global
// record filled once per process, and its sounds and data tables.
#include "engine/privdata.h"
#include "frame/exports.h"
#include "frame/globdata.h"
#include "tests/ime/ime_module.h"
#include "ui/resource.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

std::string Narrow(const TCHAR *text) {
    std::string ascii;
    for (; *text; text++)
        ascii += (char)*text;
    return ascii;
}

TEST(ModuleStartUp, InquireDescribesTheModule) {
    const ImeModule &module = TestModule();
    ASSERT_NE(module.library, nullptr) << TAVO_MODULE_FILE;
    IMEINFO info;
    memset(&info, 0xA5, sizeof info);
    TCHAR uiClass[64] = {'x', 0};
    EXPECT_FALSE(module.ImeInquire(NULL, uiClass, 0));
    EXPECT_EQ(uiClass[0], 'x') << "no class name without an IMEINFO";

    ASSERT_TRUE(module.ImeInquire(&info, uiClass, 0));
    EXPECT_EQ(info.dwPrivateDataSize, sizeof(PrivateData));
    EXPECT_EQ(info.fdwConversionCaps, 0x109u);
    EXPECT_EQ(info.fdwSentenceCaps, 8u);
    EXPECT_EQ(info.fdwUICaps, 2u);
    EXPECT_EQ(info.fdwSCSCaps, 0u);
    EXPECT_EQ(info.fdwSelectCaps, 0u);
#ifdef UNICODE
    EXPECT_EQ(info.fdwProperty, 0xC000Au);
    EXPECT_EQ(Narrow(uiClass), "VEXAIME");
#else
    EXPECT_EQ(info.fdwProperty, 0x4000Au);
    EXPECT_EQ(Narrow(uiClass), "RUDAIME");
#endif
}

TEST(ModuleStartUp, DestroyAndTheAnswersOnlyExports) {
    TestModule();
    auto destroy = ExportAs<BOOL(WINAPI *)(UINT)>("ImeDestroy");
    ASSERT_NE(destroy, nullptr);
    EXPECT_TRUE(destroy(0));
    EXPECT_FALSE(destroy(1));

    const TCHAR reading[] = {'n', 'e', 'i', 0};
    auto registerWord = ExportAs<decltype(&ImeRegisterWord)>("ImeRegisterWord");
    auto unregisterWord = ExportAs<decltype(&ImeUnregisterWord)>("ImeUnregisterWord");
    auto escape = ExportAs<decltype(&ImeEscape)>("ImeEscape");
    auto styles = ExportAs<decltype(&ImeGetRegisterWordStyle)>("ImeGetRegisterWordStyle");
    auto enumerate = ExportAs<decltype(&ImeEnumRegisterWord)>("ImeEnumRegisterWord");
    auto conversion = ExportAs<decltype(&ImeConversionList)>("ImeConversionList");
    ASSERT_TRUE(registerWord && unregisterWord && escape && styles && enumerate && conversion);
    char buffer[64] = {};
    EXPECT_EQ(registerWord(reading, 1, reading), 0);
    EXPECT_EQ(unregisterWord(reading, 1, reading), 0);
    EXPECT_EQ(escape(NULL, 0x1003, buffer), 0);
    EXPECT_EQ(styles(4, buffer), 0u);
    EXPECT_EQ(enumerate(NULL, reading, 0, NULL, buffer), 0u);
    EXPECT_EQ(conversion(NULL, reading, buffer, sizeof buffer, 1), 0u);
}

TEST(ModuleStartUp, ASecondAttachChangesNothing) {
    const ImeModule &module = TestModule();
    ASSERT_NE(module.DllMain, nullptr) << "the loader's entry point is exported";
    // The program has no string table: a second fill would empty the class.
    EXPECT_TRUE(module.DllMain(GetModuleHandleA(NULL), DLL_PROCESS_ATTACH, NULL));
    IMEINFO info{};
    TCHAR uiClass[64] = {};
    ASSERT_TRUE(module.ImeInquire(&info, uiClass, 0));
    EXPECT_GT(Narrow(uiClass).size(), 0u);
}

// The program's own copy of the record, filled from the module's strings.
TEST(GlobalData, FilledOnceFromTheModulesStrings) {
    HINSTANCE instance = TestModule().library;
    InitGlobalData(instance);
    EXPECT_EQ(globData.hInstance, instance);
#ifdef UNICODE
    EXPECT_EQ(Narrow(globData.uiClass), "VEXAIME");
    EXPECT_EQ(globData.brailleVariant, 0u);
    EXPECT_EQ(Narrow(globData.phraseDbFile), "vexa.idb");
#else
    EXPECT_EQ(Narrow(globData.uiClass), "RUDAIME");
    EXPECT_EQ(globData.brailleVariant, 1u);
    EXPECT_EQ(Narrow(globData.phraseDbFile), "ruda.idb");
#endif
    EXPECT_GT(Narrow(globData.statusClass).size(), 0u);
    EXPECT_NE(globData.optionMenu[0], 0);
    EXPECT_NE(globData.onText[0], 0);
    EXPECT_EQ(Narrow(globData.systemDir), TestModule().folder);
    EXPECT_EQ(globData.configOpen, 0u);

    GLOBDATA before = globData;
    InitGlobalData(GetModuleHandleA(NULL));
    EXPECT_EQ(memcmp(&before, &globData, sizeof before), 0);
}

TEST(Resources, DataTablesComeFromTheModule) {
    HINSTANCE instance = TestModule().library;
    DWORD size = 1;
    EXPECT_EQ(GetBinary(instance, 999, &size), nullptr);
    EXPECT_EQ(size, 0u);
    const BYTE *dictionary = (const BYTE *)GetBinary(instance, RCDATA_DICTIONARY, &size);
    ASSERT_NE(dictionary, nullptr);
    ASSERT_GT(size, 40u);
    EXPECT_EQ(memcmp(dictionary + PTREE_RECORD_SIZE, PTREE_MAGIC, 8), 0);
    EXPECT_NE(GetBinary(instance, RCDATA_FULLWIDTH, NULL), nullptr);
}

TEST(Resources, PlayWavePlaysTheModulesSound) {
    InitGlobalData(TestModule().library);
    PlayWave(WAVE_REFUSED);
    EXPECT_NE(SoundLog().find("resource 514"), std::string::npos) << SoundLog();
}

} // namespace
