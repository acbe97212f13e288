// The contract's world on a private X server: windows and reads on a connection of the test's
// own, the user's input through XTEST (xdotool).
#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "world.h"
#include "x11desktop.h"

namespace sw::test {

class X11World final : public World {
public:
    X11World();
    ~X11World() override;

    WindowSystem& windows() override { return *desk; }
    PointerInput& pointer() override { return *desk; }
    Screen& screen() override { return *desk; }
    GlobalKeys& keys() override { return *desk; }
    WindowId open(const std::string& title) override;
    void close(WindowId window) override;
    void moveAsItsProgram(WindowId window, Point to) override;
    void rename(WindowId window, const std::string& title) override;
    void settle() override;
    Rect frameOf(WindowId window) override;
    bool isAbove(WindowId window) override { return hasState(window, "_NET_WM_STATE_ABOVE"); }
    bool isToolWindow(WindowId window) override;
    void click(Point at, int button, bool withShift = false) override;
    void tapShift() override;
    void press(const Shortcut& shortcut) override;
    void holdElsewhere(const Shortcut& shortcut) override;
    int pressesOn(WindowId window) override;
    ScreenMetrics expectedScreen() override;
    bool eventually(const std::function<bool()>& done) override;

    // What is seen of a window: the client with the window manager's extents, or
    // less the shadow a client-decorated one declares.
    Rect visible(WindowId window);
    std::vector<std::uint32_t> words(WindowId window, const char* property);
    bool hasState(WindowId window, const char* state);
    // Replaces an 8-bit property, labelled with the named type.
    void setText(WindowId window, const char* property, const char* type, const std::string& bytes);
    xcb_atom_t atom(const char* name);
    // Sent, then a round trip, so that the server has it before the backend asks.
    void sync();
    bool managed(WindowId window);
    void setBorder(WindowId window, std::uint32_t width);

    x11::X11Desktop* desk = nullptr;
    xcb_window_t root = 0;

private:
    std::unique_ptr<x11::X11Desktop> owned_;
    xcb_connection_t* c = nullptr;
    std::vector<WindowId> opened_;
    std::map<WindowId, int> presses_;
};

// Runs a shell command on the test's display; true when it succeeded.
bool runOnDisplay(const std::string& command);
// A window manager is running on the test's display (the desktop runner says which).
bool underWindowManager();

}  // namespace sw::test
