// tavo-imetest: runs the modules under the system's input-method manager,
// as an application uses them (see tests/windows/wine_stage.sh).
//
//   tavo-imetest install FILE.ime "layout text"   installs a layout
//   tavo-imetest run vexa|ruda SCENARIO            runs one scenario
//   tavo-imetest list                              names the scenarios
//
// A run prints "ok" or "not ok" with what failed, in UTF-8, and exits 0
// only when every check held.
#include "tests/windows/imetest/layout.h"
#include "tests/windows/imetest/scenario.h"

#include <cstdio>
#include <string>

namespace {

using imetest::Module;

// What a run that could not be made exits with (CTest's SKIP_RETURN_CODE).
constexpr int kSkipped = 77;

const Module kVexa = {"vexa",
                      L"vexa.ime",
                      L"VEXAIME",
                      L"Oskelyut--Lumora 1.3 版",
                      true,
                      "n e i 5 h o u 2",
                      "m 4 g o i 1",
                      "s i 1",
                      "n e i 5",
                      L"nei5",
                      {"g e 3", "z o 2", "d i 1", "j e 5", "l a i 4", "d e i 6"},
                      "t a v o",
                      "tavo"};
const Module kRuda = {"ruda",
                      L"ruda.ime",
                      L"RUDAIME",
                      L"Tesvani--Lumora 1.3 版",
                      false,
                      "n h , h v a",
                      "m ' k <",
                      "s i",
                      "n h ,",
                      L"nh,",
                      {"k e @", "c o a", "t i", "j e ,", "l % '", "t h 1"},
                      "t a v o",
                      "tavo"};

void print(const std::wstring &text) {
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), (int)text.size(), nullptr, 0, nullptr,
                                   nullptr);
    std::string bytes(size > 0 ? size : 0, '\0');
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), (int)text.size(), bytes.data(), size, nullptr,
                            nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::fflush(stdout);
}

std::wstring wide(const std::string &ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

std::string narrow(const std::wstring &ascii) {
    std::string out;
    for (wchar_t c : ascii)
        out += c < 0x80 ? char(c) : '?';
    return out;
}

int fail(const std::wstring &problem) {
    print(L"not ok: " + problem + L"\n");
    return 1;
}

int install(const std::wstring &file, const std::wstring &text) {
    std::wstring error;
    std::wstring layout = imetest::installLayout(file, text, error);
    if (layout.empty())
        return fail(error);
    print(layout + L"\n");
    return 0;
}

int run(const Module &module, const imetest::Scenario &scenario) {
    std::wstring title = wide(module.name) + L" " + wide(scenario.name);
    if (!imetest::writeSettings(module, scenario.settings))
        return fail(title + L": the settings can't be written");
    if (scenario.prepare && !scenario.prepare(module))
        return fail(title + L": can't prepare");
    std::wstring error;
    if (scenario.activatesLayout) {
        std::wstring identifier = imetest::findLayout(module.imeFile);
        if (identifier.empty())
            return fail(title + L": no layout of " + module.imeFile + L" is installed");
        if (!imetest::activateLayout(identifier, error))
            return fail(title + L": " + error);
    }
    imetest::App app;
    app.unicodeModule = module.unicode;
    if (!app.open(error))
        return fail(title + L": " + error);
    imetest::Check check(app, module);
    scenario.run(check);
    app.close();
    for (const std::wstring &note : check.notes())
        print(L"  " + note + L"\n");
    if (!check.skipped().empty()) {
        print(L"skipped " + title + L": " + check.skipped() + L"\n");
        return kSkipped;
    }
    if (check.failures().empty()) {
        print(L"ok " + title + L"\n");
        return 0;
    }
    for (const std::wstring &failure : check.failures())
        print(L"  " + failure + L"\n");
    return fail(title);
}

} // namespace

// The arguments in UTF-16, whatever the system's code page: the layout's
// name is Chinese.
int main() {
    int argc = 0;
    LPWSTR *argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"install" && argc == 4)
        return install(argv[2], argv[3]);
    if (command == L"list" && argc == 2) {
        for (const imetest::Scenario &scenario : imetest::scenarios())
            print(wide(scenario.name) + L"\n");
        return 0;
    }
    if (command == L"run" && argc == 4) {
        std::wstring name = argv[2];
        const Module *module = name == L"vexa" ? &kVexa : name == L"ruda" ? &kRuda : nullptr;
        const imetest::Scenario *scenario = imetest::findScenario(narrow(argv[3]));
        if (!module || !scenario)
            return fail(L"no module " + name + L" or no scenario " + argv[3]);
        return run(*module, *scenario);
    }
    std::fputs("usage: tavo-imetest install FILE.ime TEXT | run vexa|ruda SCENARIO | list\n",
               stderr);
    return 2;
}
