// The scenarios of the Windows tests, in both modules: the cases of the
// Linux suite that show the module working under a real input-method
// manager, and the Windows platform's own: Big5-HKSCS text, the user's
// files and the speech library's start and end.
#include "tests/windows/imetest/keys.h"
#include "tests/windows/imetest/scenario.h"

#include "platform/cp950/convert.h"

#include <imm.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>

namespace imetest {

namespace {

const wchar_t kSettingsKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\";
const std::wstring kHkscs = L"嘅咗啲嘢嚟哋";

std::wstring settingsKey(const Module &module) {
    return kSettingsKey + module.uiClass;
}

bool contains(const std::wstring &text, const std::wstring &part) {
    return text.find(part) != std::wstring::npos;
}

std::wstring ids(const std::vector<Message> &messages) {
    std::wstring out;
    for (const Message &m : messages)
        out += (out.empty() ? L"" : L" ") + std::to_wstring(m.message);
    return out;
}

bool sameIds(const std::vector<Message> &messages, std::vector<UINT> expected) {
    if (messages.size() != expected.size())
        return false;
    for (size_t i = 0; i < expected.size(); i++)
        if (messages[i].message != expected[i])
            return false;
    return true;
}

// ---- Typing and choosing ----------------------------------------------

// Where Wine garbles the messages, their fields are checked where the
// garbling puts them: 32 bits up, that is, four bytes further into the
// list than Wine reads, where Windows' own layout has them.
void messagesCarryTheirFields(Check &check) {
    check.type("n");
    std::vector<Message> messages = check.app.fresh();
    check.expectMessages(sameIds(messages, {WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION}),
                         L"a start and a composition, not " + ids(messages));
    if (messages.size() == 2) {
        check.expect(messages[1].wParam == WPARAM('n'), L"the character in wParam");
        check.expect(messages[1].lParam == LPARAM(0x1BF), L"the change flags in lParam");
    }
    if (check.app.messagesGarbled()) {
        const std::vector<Message> &garbled = check.app.garbled();
        check.expect(garbled.size() == 1 && ULONG64(garbled[0].wParam) == ULONG64('n') << 32 &&
                         ULONG64(garbled[0].lParam) == ULONG64(0x1BF) << 32,
                     L"the composition's character and flags, 32 bits up");
    }
    check.expect(check.app.composition() == L"n", L"the reading shows: " + check.app.composition());
}

void choosingCommitsOnce(Check &check) {
    check.type(check.module.neihou);
    check.type("<Space>");
    std::wstring page = check.app.composition();
    check.expect(contains(page, L"1 你好") && contains(page, L"2 您好"), L"the page: " + page);
    check.expect(check.app.committed().empty(), L"nothing committed before choosing");
    check.type("1");
    check.expect(check.app.committed() == L"你好", L"committed: " + check.app.committed());
    check.expectMessages(!check.app.composing(), L"the composition ended");
    check.expectMessages(check.app.count(WM_IME_STARTCOMPOSITION) == 1 &&
                             check.app.count(WM_IME_ENDCOMPOSITION) == 1,
                         L"one start and one end");
}

void spaceCommitsTheOnlyCandidate(Check &check) {
    check.type(check.module.mgoi);
    check.type("<Space>");
    check.expect(check.app.committed() == L"唔該", L"committed: " + check.app.committed());
    check.expectMessages(!check.app.composing(), L"the composition ended");
}

void escEmptiesAndEnds(Check &check) {
    check.type("n e");
    check.expect(check.app.composition() == L"ne", L"the reading: " + check.app.composition());
    check.app.fresh();
    check.type("<Esc>");
    std::vector<Message> messages = check.app.fresh();
    check.expectMessages(!messages.empty() && messages.back().message == WM_IME_ENDCOMPOSITION,
                         L"Esc ends the composition: " + ids(messages));
    check.expect(check.app.composition().empty(), L"nothing shows after Esc");
    check.expect(check.app.committed().empty(), L"nothing committed");
    check.type("m");
    check.expect(check.app.composition() == L"m", L"a new reading starts afresh");
}

// The last Backspace ends the composition without changing the shown
// string first: the next letter starts a reading afresh.
void backspaceToEmptyEnds(Check &check) {
    check.type("n g <Backspace>");
    check.expect(check.app.composition() == L"n", L"one letter taken back");
    check.app.fresh();
    check.type("<Backspace>");
    std::vector<Message> messages = check.app.fresh();
    check.expectMessages(!messages.empty() && messages.back().message == WM_IME_ENDCOMPOSITION,
                         L"the last Backspace ends the composition: " + ids(messages));
    check.expect(check.app.committed().empty(), L"nothing committed: " + check.app.committed());
    check.type("m");
    check.expect(check.app.composition() == L"m",
                 L"a new reading starts afresh: " + check.app.composition());
}

void enterCommitsTheReading(Check &check) {
    ImmSetConversionStatus(check.app.context(), IME_CMODE_NATIVE, IME_SMODE_NONE);
    check.type(check.module.nei5);
    check.app.fresh();
    check.type("<Enter>");
    std::vector<Message> messages = check.app.fresh();
    check.expectMessages(sameIds(messages, {WM_IME_COMPOSITION, WM_IME_ENDCOMPOSITION}),
                         L"a result and an end: " + ids(messages));
    check.expect(check.app.committed() == check.module.nei5Result,
                 L"committed: " + check.app.committed());
}

void fullShapeCommitsFullWidthForms(Check &check) {
    ImmSetConversionStatus(check.app.context(), IME_CMODE_NATIVE | IME_CMODE_FULLSHAPE,
                           IME_SMODE_NONE);
    check.type(check.module.nei5);
    check.type("<Enter>");
    std::wstring expected;
    for (wchar_t c : check.module.nei5Result)
        expected += wchar_t(c + 0xFEE0);
    check.expect(check.app.committed() == expected, L"committed: " + check.app.committed());
}

// ---- Pages, query and options -----------------------------------------

void pagingWrapsAround(Check &check) {
    check.type(check.module.si);
    check.type("<Space>");
    std::wstring first = check.app.composition();
    check.expect(contains(first, L"1 "), L"a page: " + first);
    int pages = 1;
    for (; pages < 60; pages++) {
        check.type("<PageDown>");
        if (check.app.composition() == first)
            break;
    }
    check.expect(pages > 1 && pages < 60, L"Page Down comes back to the first page after " +
                                              std::to_wstring(pages) + L" pages");
    check.type("<PageUp>");
    check.expect(check.app.composition() == first, L"Page Up on the first page is refused");
    check.expect(check.app.committed().empty(), L"nothing committed");
}

// The single view shows a candidate by the word that explains it; Q shows
// its description, Left the candidate again, and its digit chooses it.
void queryBrowsesAndChooses(Check &check) {
    check.type(check.module.si);
    check.type("<Space> <Down>");
    std::wstring single = check.app.composition();
    check.expect(single.rfind(L"1 ", 0) == 0 && single.size() > 2, L"the single view: " + single);
    check.type("Q");
    std::wstring description = check.app.composition();
    check.expect(!description.empty() && description != single, L"the description: " + description);
    check.type("<Left>");
    check.expect(check.app.composition() == single, L"back to the candidate");
    check.type("1");
    std::wstring committed = check.app.committed();
    check.expect(committed.size() == 1 && contains(single, committed),
                 L"committed " + committed + L" from " + single);
}

void optionMenuGivesThePageBack(Check &check) {
    check.type(check.module.neihou);
    check.type("<Space>");
    std::wstring page = check.app.composition();
    check.type("<Ctrl+`>");
    check.expect(contains(check.app.composition(), L"開啟"),
                 L"the menu: " + check.app.composition());
    check.type("<Esc>");
    check.expect(check.app.composition() == page, L"the page again");
    check.type("2");
    check.expect(check.app.committed() == L"您好", L"committed: " + check.app.committed());
}

// ---- Settings dialog ----------------------------------------------------

struct Clicker {
    std::wstring caption;
    bool found = false;
};

// This process's dialog, if one shows.
HWND ownDialog() {
    for (HWND window = FindWindowW(L"#32770", nullptr); window;
         window = FindWindowExW(nullptr, window, L"#32770", nullptr)) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (process == GetCurrentProcessId())
            return window;
    }
    return nullptr;
}

// Ticks Reverse Video (258) and presses OK in the dialog once it shows.
DWORD WINAPI clickDialog(void *argument) {
    Clicker *clicker = (Clicker *)argument;
    for (int tries = 0; tries < 500; tries++) {
        if (HWND dialog = ownDialog()) {
            wchar_t caption[128] = L"";
            GetWindowTextW(dialog, caption, 128);
            clicker->caption = caption;
            clicker->found = true;
            SendMessageW(GetDlgItem(dialog, 258), BM_CLICK, 0, 0);
            SendMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
            return 0;
        }
        Sleep(20);
    }
    return 0;
}

// Whether a caption is the module's. A byte module's dialog takes its
// caption through the system's code page, which under Wine is not Hong
// Kong's 950 unless the prefix says so: there what that code page lacks
// shows as "?".
bool isCaptionOf(const Module &module, const std::wstring &caption) {
    if (caption == module.caption)
        return true;
    if (module.unicode || GetACP() == 950 || caption.size() != module.caption.size())
        return false;
    for (size_t i = 0; i < caption.size(); i++)
        if (caption[i] != module.caption[i] && !(caption[i] == L'?' && module.caption[i] >= 0x80))
            return false;
    return true;
}

void settingsDialogSavesOnOk(Check &check) {
    Clicker clicker;
    HANDLE thread = CreateThread(nullptr, 0, clickDialog, &clicker, 0, nullptr);
    BOOL shown =
        ImmConfigureIMEW(GetKeyboardLayout(0), check.app.window(), IME_CONFIG_GENERAL, nullptr);
    WaitForSingleObject(thread, 15000);
    CloseHandle(thread);
    check.expect(clicker.found, L"the settings dialog showed");
    check.expect(isCaptionOf(check.module, clicker.caption),
                 L"the dialog's caption: " + clicker.caption);
    check.expect(shown == TRUE, L"ImmConfigureIMEW succeeded");
    check.expect(readSetting(check.module, L"Reverse Video") == 1, L"Reverse Video saved");
    check.expect(readSetting(check.module, L"Dot Keys") == 0, L"Dot Keys saved unticked");
    check.expect(readSetting(check.module, L"Font Size") == 24, L"Font Size saved as it was");
}

// ---- Dot keys -------------------------------------------------------------

void dotKeyChordsTypeCells(Check &check) {
    // A chord ends when its keys are released; Wine 8 hands the input
    // method key presses only, never releases, so no chord ends there.
    if (runningUnderWine()) {
        check.skip(L"Wine hands no key releases to the input method");
        return;
    }
    // Dots 1 and 4 (f and j) give "c" when the last key of the chord is up.
    check.type("+f +j -f");
    check.expect(check.app.composition().empty(), L"nothing before the chord ends");
    check.type("-j");
    std::vector<Message> messages = check.app.fresh();
    check.expectMessages(sameIds(messages, {WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION}),
                         L"the chord starts the composition: " + ids(messages));
    check.expect(check.app.composition() == L"c", L"the cell: " + check.app.composition());
    check.type("[af]");
    check.expect(check.app.composition() == L"cA",
                 L"dot 7 makes a capital: " + check.app.composition());
}

// ---- The Windows platform -------------------------------------------------

std::string big5(const std::wstring &text) {
    int needed = cp950_fromWide(Cp950Encoding::big5, 0, text.data(), (int)text.size(), nullptr, 0,
                                nullptr, nullptr);
    std::string bytes(needed > 0 ? needed : 0, '\0');
    if (needed > 0)
        cp950_fromWide(Cp950Encoding::big5, 0, text.data(), (int)text.size(), bytes.data(), needed,
                       nullptr, nullptr);
    return bytes;
}

// The digit of the page line whose candidate or explaining word holds
// the character, or 0.
char digitFor(const std::wstring &page, wchar_t wanted) {
    size_t at = 0;
    while ((at = page.find(wanted, at)) != std::wstring::npos) {
        size_t start = page.rfind(L"   ", at);
        start = start == std::wstring::npos ? 0 : start + 3;
        if (page[start] >= L'1' && page[start] <= L'9' && page[start + 1] == L' ')
            return char(page[start]);
        at++;
    }
    return 0;
}

// 嘅 咗 啲 嘢 嚟 哋 reach the application intact: as UTF-16 from vexa, as
// their Big5-HKSCS codes from ruda.
void hkscsCharactersArriveIntact(Check &check) {
    for (size_t i = 0; i < check.module.hkscs.size() && i < kHkscs.size(); i++) {
        std::wstring wanted(1, kHkscs[i]);
        size_t before = check.app.committed().size();
        check.type(check.module.hkscs[i]);
        check.type("<Space>");
        // Chosen by its number on the page, unless Space committed it.
        std::wstring page = check.app.composition();
        char digit = digitFor(page, kHkscs[i]);
        if (check.app.committed().size() == before && digit)
            check.type(std::string(1, digit));
        if (!check.app.composition().empty())
            check.type("<Esc> <Esc>");
        check.expect(check.app.committed().substr(before) == wanted,
                     wanted + L" from the page " + page);
    }
    check.expect(check.app.committed() == kHkscs, L"committed: " + check.app.committed());
    if (!check.module.unicode)
        check.expect(check.app.committedBytes() == big5(kHkscs),
                     L"the Big5-HKSCS codes of the six characters");
}

std::wstring userFolder() {
    wchar_t path[MAX_PATH];
    DWORD length = GetEnvironmentVariableW(L"APPDATA", path, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(path) + L"\\Tavo" : L"";
}

bool exists(const std::wstring &path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring systemFile(const std::wstring &name) {
    wchar_t path[MAX_PATH];
    GetSystemDirectoryW(path, MAX_PATH);
    return std::wstring(path) + L"\\" + name;
}

// The user's phrase list, written before the module starts.
bool prepareUserDictionary(const Module &module) {
    std::wstring folder = userFolder();
    CreateDirectoryW(folder.c_str(), nullptr);
    std::ofstream out(std::filesystem::path(folder) / (module.name + ".dic"), std::ios::binary);
    out << module.userKeyText << " " << big5(L"你好嘅") << "\r\n";
    return bool(out);
}

// The database is compiled into the user's folder, not the system
// directory, and its phrase is found.
void userDictionaryIsCompiledForTheUser(Check &check) {
    std::wstring name(check.module.name.begin(), check.module.name.end());
    check.type(check.module.userKey);
    check.type("<Space>");
    check.expect(check.app.committed() == L"你好嘅", L"committed: " + check.app.committed());
    check.expect(exists(userFolder() + L"\\" + name + L".udb"),
                 L"the user database is in %APPDATA%\\Tavo");
    check.expect(!exists(systemFile(name + L".udb")), L"no user database in the system directory");
}

std::set<DWORD> threadsOfProcess() {
    std::set<DWORD> threads;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        if (entry.th32OwnerProcessID == GetCurrentProcessId())
            threads.insert(entry.th32ThreadID);
    CloseHandle(snapshot);
    return threads;
}

// The speech library's own entry point runs: loading it starts its worker
// and unloading it ends the worker. (Before any module has loaded it.)
void speechLibraryStartsAndEnds(Check &check) {
    // What the library imports is loaded first: it may start threads of
    // its own.
    for (const wchar_t *import : {L"winmm.dll", L"advapi32.dll", L"user32.dll"})
        LoadLibraryW(import);
    std::set<DWORD> before = threadsOfProcess();
    HMODULE library = LoadLibraryW(L"tavo_spk.dll");
    check.expect(library != nullptr, L"tavo_spk.dll loads");
    if (!library)
        return;
    // The library's worker is among the threads that started; others may
    // be the system's (Wine's sound layer starts one of its own).
    std::set<DWORD> after = threadsOfProcess();
    std::vector<HANDLE> started;
    for (DWORD thread : after)
        if (!before.count(thread))
            if (HANDLE handle = OpenThread(SYNCHRONIZE, FALSE, thread))
                started.push_back(handle);
    check.expect(!started.empty(), L"a worker started");
    typedef int(WINAPI * Read)(const char *);
    Read read = (Read)(void *)GetProcAddress(library, "speech_read");
    check.expect(read && read("\xA7\x41\xA6\x6E") == 1, L"speech_read answers 1");
    FreeLibrary(library);
    bool ended = !started.empty() &&
                 WaitForMultipleObjects(DWORD(started.size()), started.data(), FALSE, 5000) <
                     WAIT_OBJECT_0 + started.size();
    check.expect(ended, L"the worker ends when the library is unloaded");
    for (HANDLE handle : started)
        CloseHandle(handle);
}

const std::vector<Scenario> kScenarios = {
    {"messages", {{L"Verbose Composition", 1}}, messagesCarryTheirFields},
    {"choose", {}, choosingCommitsOnce},
    {"commit-at-once", {}, spaceCommitsTheOnlyCandidate},
    {"escape", {{L"Verbose Composition", 1}}, escEmptiesAndEnds},
    {"backspace", {{L"Verbose Composition", 1}}, backspaceToEmptyEnds},
    {"enter", {}, enterCommitsTheReading},
    {"full-shape", {}, fullShapeCommitsFullWidthForms},
    {"paging", {}, pagingWrapsAround},
    {"query", {}, queryBrowsesAndChooses},
    {"option-menu", {}, optionMenuGivesThePageBack},
    {"settings-dialog", {}, settingsDialogSavesOnOk},
    {"dot-keys", {{L"Dot Keys", 1}, {L"Verbose Composition", 1}}, dotKeyChordsTypeCells},
    {"hkscs", {}, hkscsCharactersArriveIntact},
    {"user-dictionary", {}, userDictionaryIsCompiledForTheUser, prepareUserDictionary},
    {"speech-library", {}, speechLibraryStartsAndEnds, nullptr, false},
};

} // namespace

void Check::expect(bool ok, const std::wstring &what) {
    if (!ok)
        failures_.push_back(what);
}

void Check::expectMessages(bool ok, const std::wstring &what) {
    if (app.messagesGarbled())
        notes_.push_back(L"not checked, the messages arrive garbled: " + what);
    else
        expect(ok, what);
}

void Check::type(const std::string &script) {
    std::string error;
    if (!typeKeys(app, script, error))
        failures_.push_back(std::wstring(error.begin(), error.end()));
}

const std::vector<Scenario> &scenarios() {
    return kScenarios;
}

const Scenario *findScenario(const std::string &name) {
    for (const Scenario &scenario : kScenarios)
        if (name == scenario.name)
            return &scenario;
    return nullptr;
}

bool writeSettings(const Module &module, const std::map<std::wstring, DWORD> &values) {
    RegDeleteTreeW(HKEY_CURRENT_USER, settingsKey(module).c_str());
    HKEY key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, settingsKey(module).c_str(), 0, nullptr, 0,
                        KEY_READ | KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    bool ok = true;
    for (const auto &[name, value] : values)
        ok &= RegSetValueExW(key, name.c_str(), 0, REG_DWORD, (const BYTE *)&value, sizeof value) ==
              ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

long long readSetting(const Module &module, const wchar_t *name) {
    DWORD value = 0, size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, settingsKey(module).c_str(), name, RRF_RT_REG_DWORD,
                     nullptr, &value, &size) != ERROR_SUCCESS)
        return -1;
    return value;
}

} // namespace imetest
