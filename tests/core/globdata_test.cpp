// The global record against the modules' string tables: every text that
// start-up loads must fit its field in the module's own text flavour.
#include "frame/globdata.h"
#include "tools/rc/rcfile.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Length of a UTF-8 text in this flavour's text units.
int UnitsInFlavour(const std::string &utf8) {
    int wide = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, NULL, 0);
    std::u16string units(wide, u'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, (LPWSTR)units.data(), wide);
#ifdef UNICODE
    return wide - 1;
#else
    BOOL lossy = FALSE;
    int bytes = WideCharToMultiByte(950, 0, (LPCWSTR)units.c_str(), -1, NULL, 0, NULL, &lossy);
    EXPECT_FALSE(lossy) << utf8 << " has characters Big5 can't hold";
    return bytes - 1;
#endif
}

std::map<unsigned, std::string> StringTable(const char *module) {
    std::map<unsigned, std::string> strings;
    std::string error;
    std::string path = std::string(TAVO_SOURCE_DIR) + "/resources/" + module + "/" + module + ".rc";
    EXPECT_TRUE(rcReadStringTable(path, strings, error)) << error;
    return strings;
}

TEST(GlobalRecord, IsZeroBeforeStartUp) {
    EXPECT_EQ(globData.hInstance, nullptr);
    EXPECT_EQ(globData.fontSize, 0u);
    EXPECT_EQ(globData.brailleVariant, 0u);
    EXPECT_EQ(globData.uiClass[0], 0);
}

TEST(GlobalRecord, SettingsStandTogetherInOrder) {
    const DWORD *first = &globData.dotKeyboard;
    EXPECT_EQ(&globData.speech, first + 1);
    EXPECT_EQ(&globData.reverseVideo, first + 2);
    EXPECT_EQ(&globData.verboseComposition, first + 3);
    EXPECT_EQ(&globData.brailleDisplay, first + 4);
    EXPECT_EQ(&globData.brailleExplanation, first + 5);
    EXPECT_EQ(&globData.fontSize, first + 6);
}

TEST(GlobalRecord, EveryStringFitsItsFieldInBothModules) {
    const struct {
        unsigned id;
        size_t room;
    } fields[] = {
        {IDS_UICLASS, sizeof globData.uiClass},
        {IDS_COMPCLASS, sizeof globData.compClass},
        {IDS_STATUSCLASS, sizeof globData.statusClass},
        {IDS_PHRASEDB, sizeof globData.phraseDbFile},
        {IDS_USERDB, sizeof globData.userDbFile},
        {IDS_USERDICT, sizeof globData.userDictFile},
        {IDS_CHARLABEL, sizeof globData.charLabel},
        {IDS_OPTIONMENU, sizeof globData.optionMenu},
        {IDS_ONTEXT, sizeof globData.onText},
        {IDS_OFFTEXT, sizeof globData.offText},
    };
    for (const char *module : {"vexa", "ruda"}) {
        std::map<unsigned, std::string> strings = StringTable(module);
        // and string 256, the module's name, which no code reads
        EXPECT_EQ(strings.size(), std::size(fields) + 1) << module;
        for (const auto &field : fields) {
            ASSERT_TRUE(strings.count(field.id)) << module << " lacks string " << field.id;
            int units = UnitsInFlavour(strings[field.id]);
            EXPECT_GT(units, 0);
            EXPECT_LT((size_t)units, field.room / sizeof(TCHAR))
                << module << " string " << field.id << " does not fit with its terminator";
        }
    }
}

TEST(GlobalRecord, TheTwoModulesDifferInNamesAndCaptionOnly) {
    std::map<unsigned, std::string> vexa = StringTable("vexa"), ruda = StringTable("ruda");
    EXPECT_EQ(vexa[IDS_UICLASS], "VEXAIME");
    EXPECT_EQ(ruda[IDS_UICLASS], "RUDAIME");
    EXPECT_EQ(ruda[IDS_PHRASEDB], "ruda.idb");
    EXPECT_EQ(vexa[IDS_ONTEXT], "開啟");
    EXPECT_EQ(vexa[IDS_OFFTEXT], "關閉");
    std::string vexaMenu = vexa[IDS_OPTIONMENU], rudaMenu = ruda[IDS_OPTIONMENU];
    EXPECT_EQ(vexaMenu.rfind("Oskelyut--Lumora 1.3 版輸入法設定      1 %s", 0), 0u);
    EXPECT_EQ(rudaMenu.rfind("Tesvani--Lumora 1.3 版輸入法設定      1 %s", 0), 0u);
    EXPECT_EQ(vexaMenu.substr(vexaMenu.find("--")), rudaMenu.substr(rudaMenu.find("--")));
    size_t slots = 0;
    for (size_t at = vexaMenu.find("%s"); at != std::string::npos; at = vexaMenu.find("%s", at + 1))
        slots++;
    EXPECT_EQ(slots, 6u);
}

} // namespace
