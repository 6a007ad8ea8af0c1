// One scenario of the Windows tests: the settings it starts with, what
// it types and what it expects, in either module.
#ifndef TAVO_IMETEST_SCENARIO_H
#define TAVO_IMETEST_SCENARIO_H

#include "tests/windows/imetest/app.h"

#include <map>
#include <string>
#include <vector>

namespace imetest {

// What differs between the two modules.
struct Module {
    std::string name;                // "vexa" or "ruda"
    std::wstring imeFile;            // "vexa.ime"
    std::wstring uiClass;            // the settings key's name
    std::wstring caption;            // the settings dialog's caption
    bool unicode;                    // UTF-16 text, or Big5 bytes
    const char *neihou;              // 你好 您好
    const char *mgoi;                // 唔該 alone
    const char *si;                  // many single characters
    const char *nei5;                // a reading typed and committed as it is
    std::wstring nei5Result;         // what Enter commits of it
    std::vector<const char *> hkscs; // readings of 嘅 咗 啲 嘢 嚟 哋, chosen with 1
    const char *userKey;             // a key of the user dictionary, as typed
    std::string userKeyText;         // the same as the dictionary's text holds it
};

// The checks of one run; a failed check is reported and the run goes on.
class Check {
public:
    Check(App &app, const Module &module) : app(app), module(module) {}

    void expect(bool ok, const std::wstring &what);
    // A check of which messages came, which can only be made where they
    // arrive whole (see App::messagesGarbled).
    void expectMessages(bool ok, const std::wstring &what);
    void type(const std::string &script);
    const std::vector<std::wstring> &failures() const { return failures_; }
    // Checks that could not be made, and why.
    const std::vector<std::wstring> &notes() const { return notes_; }
    // The whole scenario can't be run here, for this reason.
    void skip(const std::wstring &reason) { skipped_ = reason; }
    const std::wstring &skipped() const { return skipped_; }

    App &app;
    const Module &module;

private:
    std::vector<std::wstring> failures_;
    std::vector<std::wstring> notes_;
    std::wstring skipped_;
};

struct Scenario {
    const char *name;
    std::map<std::wstring, DWORD> settings; // registry values before the start
    void (*run)(Check &check);
    // Run before the module starts in the process, when not null.
    bool (*prepare)(const Module &module) = nullptr;
    // Whether the module's layout is made the thread's before the run.
    bool activatesLayout = true;
};

const std::vector<Scenario> &scenarios();
const Scenario *findScenario(const std::string &name);

// Writes the module's settings: the given values and no others.
bool writeSettings(const Module &module, const std::map<std::wstring, DWORD> &values);
// A setting as stored, or -1 when it is missing.
long long readSetting(const Module &module, const wchar_t *name);

} // namespace imetest

#endif
