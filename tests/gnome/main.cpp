// The GNOME backend's tests: a Qt application for the session bus and the backend's calls, inside
// the headless GNOME Shell session the runner made (tests/wayland/run_contract.py).
#include <gtest/gtest.h>

#include <QCoreApplication>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
