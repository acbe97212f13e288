// A desktop for the backend contract: the backend, another program's windows, the user's input
// and what is true there, read apart from the backend. Each backend's tests define openWorld().
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "desktop.h"

namespace sw::test {

// What some cases need beyond reading and placing windows, which a desktop may not offer.
enum class Need {
    ButtonAndShiftStates,  // presses of the pointer's buttons and of SHIFT anywhere
    ClickCapture,          // clicks taken from the window under the pointer
    GlobalShortcuts,       // shortcuts of the whole desktop
    ToolWindows,           // a window opened here kept out of the task bar by the backend
};

class World {
public:
    virtual ~World() = default;
    // Why this desktop cannot give what a case needs (the case is then skipped), empty when it
    // can.
    virtual std::string lacks(Need) { return {}; }
    virtual WindowSystem& windows() = 0;
    virtual PointerInput& pointer() = 0;
    virtual Screen& screen() = 0;
    virtual GlobalKeys& keys() = 0;
    // Another program's window with this title, on the screen and taken on by
    // the window manager, at about (120, 110) and 400 x 300.
    virtual WindowId open(const std::string& title) = 0;
    // Destroys it at once, as a program that ends does.
    virtual void close(WindowId window) = 0;
    // Another program moves its window's top-left corner there, or renames it.
    virtual void moveAsItsProgram(WindowId window, Point to) = 0;
    virtual void rename(WindowId window, const std::string& title) = 0;
    // What the user sees of the window: its outer frame.
    virtual Rect frameOf(WindowId window) = 0;
    virtual bool isAbove(WindowId window) = 0;
    virtual bool isToolWindow(WindowId window) = 0;
    // The user clicks button 1 (left) or 3 (right) at a point, with SHIFT held if asked, or taps
    // SHIFT.
    virtual void click(Point at, int button, bool withShift = false) = 0;
    virtual void tapShift() = 0;
    // The user presses a shortcut (modifiers down, the key, all up), or another program takes one
    // for itself.
    virtual void press(const Shortcut& shortcut) = 0;
    virtual void holdElsewhere(const Shortcut& shortcut) = 0;
    // How many presses of a button a window opened here has had.
    virtual int pressesOn(WindowId window) = 0;
    // The screen as the world made it.
    virtual ScreenMetrics expectedScreen() = 0;
    // Lets the desktop work until done() holds; false when it never does.
    virtual bool eventually(const std::function<bool()>& done) = 0;
    // Lets the desktop tell what it has to tell, when there is nothing to wait for.
    virtual void settle() = 0;
};

std::unique_ptr<World> openWorld();

}  // namespace sw::test
