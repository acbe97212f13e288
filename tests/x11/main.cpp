// Entry point of the X11 test binaries: a Qt core application for the backend's
// socket notifier and a private X server for the whole run, with the window
// manager the binary is built for.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include "tests/x11/harness.h"

namespace {

class DisplayEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        sw::x11::test::setUpDisplay(
            static_cast<sw::x11::test::WindowManager>(SIZEWISE_TEST_WINDOW_MANAGER));
    }
    void TearDown() override { sw::x11::test::tearDownDisplay(); }
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new DisplayEnvironment);
    return RUN_ALL_TESTS();
}
