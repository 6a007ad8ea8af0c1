// tavo-ibus: the IBus engine that brings the vexa or ruda module to every
// application of a Linux desktop. ibus-daemon starts it as its component
// file says:
//
//   tavo-ibus --ibus --module-path /usr/lib/tavo/vexa.so --data-dir /usr/share/tavo
//
// It loads the module through the host library as the host program does,
// switches it on for its one thread, takes the component's bus name
// (org.freedesktop.IBus.Tavo.vexa for vexa.so) and makes an engine (named
// tavo-vexa) for each input context that chooses it. It ends when the
// daemon goes away or on SIGTERM.
#include "frontends/ibus/engine.h"
#include "frontends/ibus/installed_data.h"
#include "host/manager.h"

#include <glib-unix.h>
#include <ibus.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>

namespace {

struct Options {
    std::string modulePath;
    std::string dataDir;
};

void usage() {
    std::fprintf(stderr, "usage: tavo-ibus [--ibus] --module-path FILE [--data-dir FOLDER]\n"
                         "FILE: the module (vexa.so or ruda.so); FOLDER: the installed databases,\n"
                         "linked into the user's system directory when it lacks them.\n");
}

bool parseOptions(int argc, char **argv, Options &options) {
    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        bool hasValue = i + 1 < argc;
        if (option == "--ibus")
            continue;
        if (option == "--module-path" && hasValue)
            options.modulePath = argv[++i];
        else if (option == "--data-dir" && hasValue)
            options.dataDir = argv[++i];
        else
            return false;
    }
    return !options.modulePath.empty();
}

std::string systemDirectory() {
    char folder[4096] = {};
    UINT length = GetSystemDirectoryA(folder, sizeof folder);
    return length > 0 && length < sizeof folder ? std::string(folder, length) : std::string();
}

gboolean quit(gpointer) {
    ibus_quit();
    return G_SOURCE_REMOVE;
}

void disconnected(IBusBus *, gpointer) {
    ibus_quit();
}

// Serves the engine until the daemon goes; false when it can't be had.
bool serve(const std::string &module, host::Manager &manager) {
    IBusBus *bus = ibus_bus_new();
    if (!ibus_bus_is_connected(bus)) {
        std::fprintf(stderr, "tavo-ibus: cannot reach ibus-daemon\n");
        g_object_unref(bus);
        return false;
    }
    g_signal_connect(bus, "disconnected", G_CALLBACK(disconnected), nullptr);
    IBusFactory *factory = ibus_factory_new(ibus_bus_get_connection(bus));
    ibus_factory_add_engine(factory, ("tavo-" + module).c_str(), ibus_front::engineType(manager));
    std::string busName = "org.freedesktop.IBus.Tavo." + module;
    if (!ibus_bus_request_name(bus, busName.c_str(), 0)) {
        std::fprintf(stderr, "tavo-ibus: cannot take the name %s\n", busName.c_str());
        ibus_object_destroy(IBUS_OBJECT(factory));
        g_object_unref(bus);
        return false;
    }
    ibus_main();
    // The engines' windows and contexts go before the module does.
    ibus_object_destroy(IBUS_OBJECT(factory));
    g_object_unref(bus);
    return true;
}

} // namespace

int main(int argc, char **argv) {
    Options options;
    if (!parseOptions(argc, argv, options)) {
        usage();
        return 2;
    }
    std::string error;
    if (!options.dataDir.empty() &&
        !ibus_front::linkInstalledData(options.dataDir, systemDirectory(), error))
        std::fprintf(stderr, "tavo-ibus: %s\n", error.c_str());
    host::Manager manager;
    if (!manager.load(options.modulePath, error)) {
        std::fprintf(stderr, "tavo-ibus: %s\n", error.c_str());
        return 1;
    }
    manager.select(true);
    ibus_init();
    g_unix_signal_add(SIGTERM, quit, nullptr);
    g_unix_signal_add(SIGINT, quit, nullptr);
    std::string module = std::filesystem::path(options.modulePath).stem().string();
    bool served = serve(module, manager);
    manager.unload();
    return served ? 0 : 1;
}
