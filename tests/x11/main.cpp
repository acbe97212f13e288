// The X11 tests: a Qt application for the backend's socket notifier and the
// monitor's timers (offscreen: the tests' windows are the world's own), on the
// display the desktop runner made.
#include <gtest/gtest.h>

#include <cstdlib>

#include <QGuiApplication>

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
