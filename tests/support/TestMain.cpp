// The one gtest main of every test executable; built once per environment
// (with or without a private Xvfb, with or without a QApplication).

#include <gtest/gtest.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stdexcept>

#include "XvfbServer.h"

namespace {
constexpr bool WithXvfb = QP_TEST_XVFB;
constexpr bool WithQApplication = QP_TEST_QAPP;
}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
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
