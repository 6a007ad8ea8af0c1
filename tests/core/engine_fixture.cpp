// The engine test fixture: a context, its dictionaries and keys as the
// keyboard gives them.
#include "tests/core/engine_fixture.h"

#include "frame/compstr.h"
#include "frame/context.h"
#include "frame/keys.h"
#include "platform/posix/imm_host.h"

#include <cstdlib>

namespace {

// The menu as the string table has it, with its six slots.
const TCHAR kMenu[] = TEXT("Menu 1 %s 2 %s 3 %s 4 %s 5 %s 6 %s 7 8");

// The built input-method module beside the tests, for its sounds; null
// when it has not been built.
HINSTANCE SoundModule() {
    static HINSTANCE module = [] {
        char path[MAX_PATH] = "";
        std::string exe(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
        std::string folder = exe.substr(0, exe.rfind('/'));
        return (HINSTANCE)LoadLibraryA((folder + "/../modules/vexa.so").c_str());
    }();
    return module;
}

} // namespace

Kindlist Kinds(const std::vector<TRANSMSG> &messages) {
    Kindlist kinds;
    for (const TRANSMSG &message : messages)
        kinds.push_back(message.message);
    return kinds;
}

void EngineContext::SetUp() {
    setenv("TAVO_REGISTRY", dir.path("registry").c_str(), 1);
    setenv("TAVO_SOUND", ("capture:" + dir.path("sound.wav")).c_str(), 1);
    setenv("TAVO_SOUND_TIMESCALE", "0.001", 1);
    globData.hInstance = SoundModule();
    lstrcpy(globData.uiClass, TEXT("ENGINETEST"));
    lstrcpy(globData.optionMenu, kMenu);
    lstrcpy(globData.onText, TEXT("on"));
    lstrcpy(globData.offText, TEXT("off"));
    globData.fontSize = 24;
    imc = tavo_CreateInputContext(nullptr, sizeof(PrivateData));
    ic = ImmLockIMC(imc);
    ASSERT_NE(ic, nullptr);
    ASSERT_TRUE(InitCompStr(ic));
    ic->fdwConversion = IME_CMODE_NATIVE;
    data = (PrivateData *)ImmLockIMCC(ic->hPrivate);
    ASSERT_NE(data, nullptr);
}

void EngineContext::TearDown() {
    if (data != nullptr) {
        ClearPrivateData(data);
        ImmUnlockIMCC(ic->hPrivate);
        ClearContext(ic);
    }
    if (ic != nullptr)
        ImmUnlockIMC(imc);
    ImmDestroyContext(imc);
    data = nullptr;
    ic = nullptr;
    globData = saved;
}

void EngineContext::Use(const Dictionaries &dictionaries) {
    ClearPrivateData(data);
    images = {BuildImage("TAVO phrase database", dictionaries.phrases),
              BuildImage("TAVO userdict", dictionaries.user),
              BuildImage("TAVO dictionary database", dictionaries.dictionary),
              BuildImage("TAVO query database", dictionaries.query)};
    ptree **trees[] = {&data->phraseTree, &data->userTree, &data->dictTree, &data->queryTree};
    const ImageEntries *entries[] = {&dictionaries.phrases, &dictionaries.user,
                                     &dictionaries.dictionary, &dictionaries.query};
    for (size_t i = 0; i < images.size(); i++)
        *trees[i] =
            entries[i]->empty() ? nullptr : ptree_open(images[i].data(), (DWORD)images[i].size());
}

std::vector<TRANSMSG> EngineContext::Key(TCHAR ch, BYTE vkey) {
    data->msgCount = 0;
    DWORD key = NextChar(data, KeyCode(vkey, ch), 0, keys);
    if (key != 0)
        TranslateChar(imc, ic, key, keys);
    BuildMessages(imc, FALSE);
    std::vector<TRANSMSG> messages;
    TRANSMSG *buffer = (TRANSMSG *)ImmLockIMCC(ic->hMsgBuf);
    for (DWORD i = 0; buffer != nullptr && i < ic->dwNumMsgBuf; i++)
        messages.push_back(buffer[i]);
    ImmUnlockIMCC(ic->hMsgBuf);
    ic->dwNumMsgBuf = 0;
    return messages;
}

std::vector<TRANSMSG> EngineContext::Type(const char *text) {
    std::vector<TRANSMSG> all;
    for (const char *c = text; *c != 0; c++) {
        std::vector<TRANSMSG> messages = Key(*c, (BYTE)toupper(*c));
        all.insert(all.end(), messages.begin(), messages.end());
    }
    return all;
}

std::vector<TRANSMSG> EngineContext::Menu() {
    keys[VK_CONTROL] = 0x80;
    std::vector<TRANSMSG> messages = Key(0, KEY_MENU);
    keys[VK_CONTROL] = 0;
    return messages;
}

namespace {

tstring AreaText(HIMCC block, DWORD COMPOSITIONSTRING::*offset, DWORD COMPOSITIONSTRING::*length) {
    auto *cs = (LPCOMPOSITIONSTRING)ImmLockIMCC(block);
    tstring text((LPCTSTR)((BYTE *)cs + cs->*offset), cs->*length);
    ImmUnlockIMCC(block);
    return text;
}

} // namespace

tstring EngineContext::Composition() {
    return AreaText(ic->hCompStr, &COMPOSITIONSTRING::dwCompStrOffset,
                    &COMPOSITIONSTRING::dwCompStrLen);
}

tstring EngineContext::Reading() {
    return AreaText(ic->hCompStr, &COMPOSITIONSTRING::dwCompReadStrOffset,
                    &COMPOSITIONSTRING::dwCompReadStrLen);
}

tstring EngineContext::Result() {
    return AreaText(ic->hCompStr, &COMPOSITIONSTRING::dwResultStrOffset,
                    &COMPOSITIONSTRING::dwResultStrLen);
}

tstring EngineContext::Chosen() {
    return AreaText(ic->hCompStr, &COMPOSITIONSTRING::dwResultReadStrOffset,
                    &COMPOSITIONSTRING::dwResultReadStrLen);
}

std::vector<DWORD> EngineContext::ReadClause() {
    auto *cs = (LPCOMPOSITIONSTRING)ImmLockIMCC(ic->hCompStr);
    DWORD *entries = COMPSTR_DWORDS(cs, dwCompReadClauseOffset);
    std::vector<DWORD> clause(entries, entries + cs->dwCompReadClauseLen / 4);
    ImmUnlockIMCC(ic->hCompStr);
    return clause;
}

Items EngineContext::Candidates() {
    Items items;
    TabList *list = data->candList;
    if (list == nullptr)
        return items;
    DWORD at = list->index;
    for (DWORD i = 0; i < list->count; i++) {
        GotoTabItem(list, i);
        items.push_back(list->item);
    }
    GotoTabItem(list, at);
    return items;
}

// The capture log has a line per sound: its time, its name ("resource
// 512" for an event sound) and its length, separated by two spaces.
std::vector<int> EngineContext::Sounds() {
    std::vector<BYTE> bytes = ReadWholeFile(dir.path("sound.wav.log"));
    std::string log(bytes.begin(), bytes.end());
    std::vector<int> sounds;
    const std::string name = "  resource ";
    for (size_t at = log.find(name); at != std::string::npos; at = log.find(name, at + 1))
        sounds.push_back(atoi(log.c_str() + at + name.size()));
    return sounds;
}

void EngineContext::ExpectSounds(const std::vector<int> &expected) {
    if (globData.hInstance != nullptr) {
        EXPECT_EQ(Sounds(), expected);
    }
}
