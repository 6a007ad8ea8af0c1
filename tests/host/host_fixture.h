// Test support: one module driven through the host, in a folder of its
// own (registry, user dictionary), with the built databases and every
// sound captured; the tests run in both modules.
#ifndef TAVO_TESTS_HOST_FIXTURE_H
#define TAVO_TESTS_HOST_FIXTURE_H

#include "host/capture.h"
#include "host/session.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

class HostTest : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override;
    void TearDown() override;

    // Loads the module into the host; settings stored before take effect.
    void open();
    void type(const std::string &script);
    // A setting of the module in the registry, as the settings dialog
    // stores it.
    void setSetting(const char *name, DWORD value);
    long long setting(const char *name); // -1 when it is missing
    // The messages the application received since the last call.
    std::vector<host::Message> fresh();
    // The event sounds heard since the last call, by resource number.
    std::vector<int> sounds();

    host::Application &app() { return session.application(); }
    bool isRuda() const { return GetParam() == "ruda"; }
    std::string settingsKey() const;

    std::filesystem::path folder;
    host::Session session;
    host::CaptureLog *heard = nullptr;
};

#endif
