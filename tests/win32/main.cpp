// The Win32 tests' start: DPI aware before the first window exists, as the
// program is, so that every rectangle is in physical pixels.
#include <gtest/gtest.h>
#include <windows.h>

#include "win32desktop.h"

int main(int argc, char** argv) {
    sw::win32::enableDpiAwareness();
    // Under Wine the desktop comes up with a process's first window, and the
    // pointer cannot be read or moved before it; on Windows it is always there.
    DestroyWindow(
        CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr));
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
