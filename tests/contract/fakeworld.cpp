// The contract's world on the fake desktop: placements land only when the
// world is let work, as a window manager's do.
#include "fakedesktop.h"
#include "world.h"

namespace sw::test {
namespace {

class FakeWorld final : public World {
public:
    FakeWorld() { fake.deferPlacements = true; }
    WindowSystem& windows() override { return fake; }
    PointerInput& pointer() override { return fake; }
    Screen& screen() override { return fake; }
    WindowId open(const std::string& title) override {
        const WindowId id = fake.addWindow(title, Rect{120, 110, 520, 410});
        fake.setForeground(id);
        return id;
    }
    void close(WindowId window) override { fake.closeWindow(window); }
    void moveAsItsProgram(WindowId window, Point to) override {
        Rect& r = fake.window(window)->rect;
        r = Rect{to.x, to.y, r.right + to.x - r.left, r.bottom + to.y - r.top};
        fake.changed();
    }
    void rename(WindowId window, const std::string& title) override {
        fake.window(window)->title = title;
        fake.changed();
    }
    Rect frameOf(WindowId window) override { return fake.window(window)->rect; }
    bool isAbove(WindowId window) override { return fake.window(window)->topmost; }
    bool isToolWindow(WindowId window) override { return fake.window(window)->toolWindow; }
    void click(Point at, int button) override {
        fake.pointer = at;
        fake.pressKeys(KeyStates{button == 1, button == 3, false});
    }
    void tapShift() override { fake.pressKeys(KeyStates{false, false, true}); }
    ScreenMetrics expectedScreen() override {
        return ScreenMetrics{Rect{0, 0, 1024, 768}, 96, 96, {Rect{0, 0, 1024, 768}}};
    }
    bool eventually(const std::function<bool()>& done) override {
        settle();
        if (done()) return true;
        fake.landPlacements();
        settle();
        return done();
    }
    void settle() override { fake.deliverChanges(); }

    fake::FakeDesktop fake;
};

}  // namespace

std::unique_ptr<World> openWorld() {
    return std::make_unique<FakeWorld>();
}

}  // namespace sw::test
