// The one gtest main of every test executable; built once per environment
// (with or without a private Xvfb, with or without a QApplication).

#include <gtest/gtest.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "XvfbServer.h"

namespace {
constexpr bool WithXvfb = QP_TEST_XVFB;
constexpr bool WithQApplication = QP_TEST_QAPP;
}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    // A program started by a test keeps its settings in a folder of the
    // test's own, never in the user's.
    std::string config = (std::filesystem::temp_directory_path() / "qp-test-config-XXXXXX").string();
    if (!mkdtemp(config.data())) {
        std::perror("cannot make the test's settings folder");
        return 1;
    }
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    struct RemoveAtExit {
        std::string path;
        ~RemoveAtExit() { std::filesystem::remove_all(path); }
    } removeAtExit{config};
    std::unique_ptr<XvfbServer> xvfb;
    if (WithXvfb) {
        try {
            xvfb = std::make_unique<XvfbServer>();
        } catch (const std::exception& e) {
            std::fprintf(stderr, "cannot start the test's X server: %s\n", e.what());
            return 1;
        }
        setenv("QT_QPA_PLATFORM", "xcb", 1);
    } else {
        // Nothing may reach the caller's display.
        unsetenv("DISPLAY");
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    if (WithQApplication) {
        QApplication application(argc, argv);
        return RUN_ALL_TESTS();
    }
    return RUN_ALL_TESTS();
}
