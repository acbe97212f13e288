// The fixture of the X11 backend tests: a backend connected to the private
// display and a ground-truth connection beside it.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "platform/x11/x11desktop.h"
#include "tests/x11/harness.h"

namespace sw::x11::test {

class DesktopTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        desk = X11Desktop::connect(nullptr, &error);
        ASSERT_TRUE(desk) << error;
    }

    // Activates the window and waits until the window manager reports it active.
    void activate(WindowId window) {
        desk->activateWindow(window);
        ASSERT_TRUE(waitUntil([&] { return truth.activeWindow() == window; }))
            << "window " << window << " never became active";
        // Right after a switch openbox can pass the focus through none once more
        // (seen as _NET_ACTIVE_WINDOW 0); let that settle before measuring.
        std::this_thread::sleep_for(std::chrono::milliseconds(60));
        ASSERT_TRUE(waitUntil([&] { return truth.activeWindow() == window; }))
            << "window " << window << " lost the focus again";
    }

    static Rect rectOf(std::int32_t left, std::int32_t top, std::int32_t width,
                       std::int32_t height) {
        return Rect{left, top, left + width, top + height};
    }

    Truth truth;
    std::unique_ptr<X11Desktop> desk;
};

}  // namespace sw::x11::test
