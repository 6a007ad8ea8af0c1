// tavo-host: loads the vexa or ruda module the way the input-method
// manager does and types into it, from a script or from the terminal.
//
//   tavo-host --module vexa --script "n e i 5 <Space> 1 <Enter>"
//   tavo-host --module ruda                  (interactive on a terminal)
//   tavo-host --module-path build/modules/vexa.so --capture /tmp/sounds.wav ...
//   tavo-host --module vexa --configure "259 1"    (tick a box, then OK)
//   tavo-host --module vexa --snapshot pictures --script "si1<Space>{line:3}"
#include "host/built_modules.h"
#include "host/capture.h"
#include "host/dialog.h"
#include "host/report.h"
#include "host/screen.h"
#include "host/session.h"
#include "host/terminal.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>

namespace {

struct Options {
    std::string module = "vexa";
    std::string modulePath;
    std::string script;
    bool scripted = false;
    std::string capture;
    bool listen = false;   // with --script: wait for each key's speech to be heard
    std::string configure; // control ids to press in the settings dialog
    bool configuring = false;
    std::string snapshots;    // a folder for a picture of the screen after each key
    bool messages = false;    // interactive: the messages too, not just what is seen
    bool brief = false;       // scripted: what a person sees and hears, a few lines a key
    bool lastPicture = false; // --snapshot-last: only the picture after the last key
};

void usage() {
    std::fprintf(
        stderr,
        "usage: tavo-host [--module vexa|ruda] [--module-path FILE]\n"
        "                 [--script KEYS [--listen]] [--capture FILE.wav] [--configure IDS]\n"
        "                 [--snapshot DIR | --snapshot-last FILE.png] [--brief] [--messages]\n"
        "KEYS: characters, <Space> <Enter> <Esc> <Backspace> <Left> <PageUp> <F1>...,\n"
        "      <Ctrl+`> <Shift+1>, chords [fj], presses +f and releases -f, and clicks:\n"
        "      {line:N} on line N of the composition window, {mode} and {shape} on the\n"
        "      status window's buttons; spaces between keys are optional.\n"
        "IDS: controls to press in the settings dialog, e.g. \"256 1\" (1 is OK).\n"
        "--snapshot DIR: a PNG of the screen around the application after each key;\n"
        "--snapshot-last FILE.png: one after the last key. --brief: only what a person\n"
        "sees and hears, in a few lines a key.\n"
        "Without --script on a terminal, keys are read as typed; Ctrl+D ends;\n"
        "--messages also shows the messages the application receives.\n");
}

bool parseOptions(int argc, char **argv, Options &options) {
    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        bool hasValue = i + 1 < argc;
        if (option == "--module" && hasValue)
            options.module = argv[++i];
        else if (option == "--module-path" && hasValue)
            options.modulePath = argv[++i];
        else if (option == "--script" && hasValue) {
            options.script = argv[++i];
            options.scripted = true;
        } else if (option == "--configure" && hasValue) {
            options.configure = argv[++i];
            options.configuring = true;
        } else if (option == "--capture" && hasValue)
            options.capture = argv[++i];
        else if (option == "--listen")
            options.listen = true;
        else if (option == "--snapshot" && hasValue)
            options.snapshots = argv[++i];
        else if (option == "--messages")
            options.messages = true;
        else if (option == "--brief")
            options.brief = true;
        else if (option == "--snapshot-last" && hasValue) {
            options.snapshots = argv[++i];
            options.lastPicture = true;
        } else
            return false;
    }
    return options.module == "vexa" || options.module == "ruda" || !options.modulePath.empty();
}

// The module built with the program, else one next to the program or in
// the build tree's modules folder.
std::string findModule(const std::string &name) {
    std::string built = host::builtModulePath(name);
    if (!built.empty())
        return built;
    char self[4096] = {};
    GetModuleFileNameA(nullptr, self, sizeof self - 1);
    std::filesystem::path folder = std::filesystem::path(self).parent_path();
    for (const auto &candidate :
         {folder / (name + ".so"), folder.parent_path() / "modules" / (name + ".so")})
        if (std::filesystem::exists(candidate))
            return candidate.string();
    return name;
}

// Sounds may still be playing when the last key is done: waits until the
// capture log has been quiet for a moment.
std::vector<std::string> lateSounds(host::CaptureLog &capture) {
    using namespace std::chrono;
    std::vector<std::string> lines;
    auto quietSince = steady_clock::now();
    auto giveUp = quietSince + seconds(10);
    while (steady_clock::now() - quietSince < milliseconds(500) && steady_clock::now() < giveUp) {
        std::this_thread::sleep_for(milliseconds(50));
        for (std::string &line : capture.newLines()) {
            lines.push_back(std::move(line));
            quietSince = steady_clock::now();
        }
    }
    return lines;
}

// The picture of the screen after step number (from 1), in folder; empty
// when there is no folder or it can't be written.
std::string takePicture(const host::Session &session, const std::string &folder, size_t number) {
    if (folder.empty())
        return {};
    char name[32];
    std::snprintf(name, sizeof name, "%03zu.png", number);
    std::string path = (std::filesystem::path(folder) / name).string();
    return host::writePicture(session, path) ? path : "(could not write " + path + ")";
}

// With listen, each key waits until what it made the module say has been
// heard, as a listener would, so that every page is spoken whole.
int runScript(host::Session &session, host::CaptureLog &capture, const Options &options) {
    std::string error;
    std::vector<host::ScriptStep> steps = host::parseScript(options.script, error);
    if (!error.empty()) {
        std::fprintf(stderr, "tavo-host: %s\n", error.c_str());
        return 2;
    }
    if (!options.snapshots.empty() && !options.lastPicture)
        std::filesystem::create_directories(options.snapshots);
    for (size_t i = 0; i < steps.size(); i++) {
        host::StepReport report;
        report.firstMessage = session.application().messages().size();
        bool done = host::perform(session, steps[i]);
        if (!done)
            std::printf("%s  (nothing there to click)\n", steps[i].token.c_str());
        report.log = options.listen && capture.enabled() ? lateSounds(capture) : capture.newLines();
        if (!options.lastPicture)
            report.picture = takePicture(session, options.snapshots, i + 1);
        else if (i + 1 == steps.size())
            report.picture = host::writePicture(session, options.snapshots)
                                 ? options.snapshots
                                 : "(could not write " + options.snapshots + ")";
        if (options.brief) {
            host::printBrief(stdout, session, report, steps[i].token);
            continue;
        }
        if (done)
            std::printf("%s\n", steps[i].token.c_str());
        host::printStep(stdout, session, report);
    }
    if (capture.enabled()) {
        std::vector<std::string> late = lateSounds(capture);
        if (!late.empty())
            std::printf("  heard: %s\n", host::heardText(late).c_str());
    }
    return 0;
}

// Opens the settings dialog, shows it, presses the controls given and
// shows it again if it is still up.
int runConfigure(host::Session &session, const std::string &ids) {
    host::DialogDriver driver([&ids](HWND dialog) {
        host::printDialog(stdout, dialog);
        std::istringstream words(ids);
        int id = 0;
        bool ended = false;
        while (!ended && words >> id) {
            bool pressed = host::pressDialogButton(dialog, id);
            std::printf("press %d%s\n", id, pressed ? "" : ": no such control");
            ended = pressed && (id == IDOK || id == IDCANCEL);
        }
        if (!ended) {
            host::printDialog(stdout, dialog);
            std::printf("(left open: cancelled)\n");
        }
    });
    BOOL shown = session.configure();
    std::printf("ImeConfigure: %s\n", shown ? "TRUE" : "FALSE");
    return shown ? 0 : 1;
}

} // namespace

int main(int argc, char **argv) {
    Options options;
    if (!parseOptions(argc, argv, options)) {
        usage();
        return 2;
    }
    if (!options.capture.empty())
        setenv("TAVO_SOUND", ("capture:" + options.capture).c_str(), 1);
    std::string path = options.modulePath.empty() ? findModule(options.module) : options.modulePath;
    host::Session session;
    std::string error;
    if (!session.open(path, error)) {
        std::fprintf(stderr, "tavo-host: %s\n", error.c_str());
        return 1;
    }
    host::CaptureLog capture;
    if (options.configuring) {
        int status = runConfigure(session, options.configure);
        if (status != 0 || !options.scripted)
            return status;
    }
    if (options.scripted)
        return runScript(session, capture, options);
    if (!isatty(STDIN_FILENO)) {
        std::fprintf(stderr, "tavo-host: give --script, or run on a terminal\n");
        return 2;
    }
    return host::runInteractive(session, capture, options.messages);
}
