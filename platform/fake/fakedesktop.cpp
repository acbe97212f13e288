// An in-memory desktop for tests.
#include "fakedesktop.h"

#include <algorithm>

#include "text.h"

namespace sw::fake {
namespace {

Rect rectOf(const Placement& p) {
    return Rect{p.left, p.top, static_cast<std::int32_t>(std::int64_t{p.left} + p.width),
                static_cast<std::int32_t>(std::int64_t{p.top} + p.height)};
}

}  // namespace

FakeDesktop::FakeDesktop() = default;

WindowId FakeDesktop::addWindow(const std::string& title, Rect rect, WindowState state) {
    const WindowId id = nextId_++;
    windows_[id] = FakeWindow{title, rect, rect, state, false, false, {}};
    zOrder_.push_front(id);
    return id;
}

void FakeDesktop::adoptWindow(WindowId id, const std::string& title, Rect rect) {
    windows_[id] = FakeWindow{title, rect, rect, WindowState::Normal, false, false, {}};
    zOrder_.push_front(id);
}

void FakeDesktop::closeWindow(WindowId id) {
    changed();
    windows_.erase(id);
    zOrder_.erase(std::remove(zOrder_.begin(), zOrder_.end(), id), zOrder_.end());
    if (foreground_ == id) foreground_ = 0;
}

FakeWindow* FakeDesktop::window(WindowId id) {
    auto it = windows_.find(id);
    return it == windows_.end() ? nullptr : &it->second;
}

FakeWindow* FakeDesktop::named(WindowId id) {
    if (id != 0 && id == vanishing_) {
        vanishing_ = 0;
        closeWindow(id);
    }
    return window(id);
}

void FakeDesktop::pressKeys(KeyStates pressed) {
    latched_ = pressed;
    if (inputHandler) inputHandler();
}

void FakeDesktop::movePointer(Point to) {
    pointer = to;
    if (inputHandler) inputHandler();
}

void FakeDesktop::holdKeys(KeyStates held) {
    down = held;
    if (inputHandler) inputHandler();
}

void FakeDesktop::setScreen(ScreenMetrics metrics) {
    if (metrics.monitors.empty()) metrics.monitors = {metrics.bounds};
    screen_ = std::move(metrics);
    if (monitorsHandler) monitorsHandler();
}

void FakeDesktop::deliverChanges() {
    if (!changePending_ || !changeHandler) return;
    changePending_ = false;
    changeHandler();
}

WindowId FakeDesktop::foregroundWindow() {
    ++foregroundReads;
    return foreground_;
}

WindowInfo FakeDesktop::describeWindow(WindowId id) {
    FakeWindow* w = named(id);
    if (w == nullptr) return {};
    if (!w->passing.empty()) {
        const WindowInfo seen = w->passing.front();
        w->passing.pop_front();
        return seen;
    }
    // Titles are cut as every backend cuts them.
    return WindowInfo{cutToCharacters(w->title, 254), w->state,
                      w->state == WindowState::Minimised ? w->restored : w->rect};
}

Rect FakeDesktop::windowRect(WindowId id) {
    const FakeWindow* w = named(id);
    if (w == nullptr) return {};
    return w->state == WindowState::Minimised ? w->restored : w->rect;
}

void FakeDesktop::placeWindow(WindowId id, const Placement& p) {
    if (named(id) == nullptr) return;
    if (deferPlacements) {
        deferred_.emplace_back(id, p);
        return;
    }
    place(id, p);
}

void FakeDesktop::place(WindowId id, const Placement& p) {
    FakeWindow* w = window(id);
    if (w == nullptr) return;
    w->rect = w->restored = rectOf(p);
    w->state = WindowState::Normal;
    foreground_ = id;
    changed();
}

void FakeDesktop::landPlacements() {
    for (const auto& [id, p] : deferred_) place(id, p);
    deferred_.clear();
}

void FakeDesktop::showWindow(WindowId id, ShowCommand command) {
    FakeWindow* w = named(id);
    if (w == nullptr) return;
    changed();
    if (w->state == WindowState::Normal) w->restored = w->rect;
    switch (command) {
        case ShowCommand::Minimise:
            w->state = WindowState::Minimised;
            break;
        case ShowCommand::Restore:
            w->rect = w->restored;
            w->state = WindowState::Normal;
            break;
        case ShowCommand::Maximise:
            w->rect = screen_.bounds;
            w->state = WindowState::Maximised;
            break;
    }
}

void FakeDesktop::setTopmost(WindowId id, bool onTop) {
    if (FakeWindow* w = named(id)) w->topmost = onTop;
}

void FakeDesktop::markToolWindow(WindowId id) {
    if (FakeWindow* w = named(id)) w->toolWindow = true;
}

void FakeDesktop::activateWindow(WindowId id) {
    FakeWindow* w = named(id);
    if (w == nullptr) return;
    if (w->state == WindowState::Minimised) w->state = WindowState::Normal;
    foreground_ = id;
    changed();
}

void FakeDesktop::sendForegroundToBack() {
    ++sentBack;
    changed();
    auto it = std::find(zOrder_.begin(), zOrder_.end(), foreground_);
    if (it != zOrder_.end()) {
        zOrder_.erase(it);
        zOrder_.push_back(foreground_);
    }
    for (WindowId id : zOrder_) {
        if (id != foreground_ && windows_[id].state != WindowState::Minimised) {
            foreground_ = id;
            return;
        }
    }
}

Point FakeDesktop::cursorPos() {
    return pointer;
}

PointerSnapshot FakeDesktop::readPointer() {
    PointerSnapshot s{pointer, KeyStates{down.left || latched_.left, down.right || latched_.right,
                                         down.shift || latched_.shift}};
    latched_ = {};
    return s;
}

ScreenMetrics FakeDesktop::metrics() {
    return screen_;
}

std::string FakeDesktop::read(const std::string& app, const std::string& section,
                              const std::string& key, const std::string& fallback) {
    auto it = store.find({app, section, key});
    return it == store.end() ? fallback : it->second;
}

bool FakeDesktop::write(const std::string& app, const std::string& section, const std::string& key,
                        const std::string& value) {
    if (refuseWrites || key == refuseKey) return false;
    store[{app, section, key}] = value;
    return true;
}

bool FakeDesktop::flush(std::string* why) {
    if (refuseWrites) {
        if (why) *why = "the store refused the write";
        return false;
    }
    saved = store;
    return true;
}

bool FakeDesktop::openLink(const std::string& target) {
    openedLinks.push_back(target);
    return linksOpen;
}

bool FakeDesktop::add(const std::string& tip, ClickHandler onClick) {
    iconAdded = true;
    iconTip = tip;
    iconHandler = std::move(onClick);
    return trayHostPresent;
}

void FakeDesktop::modify(const std::string& tip) {
    ++tipChanges;
    iconTip = tip;
}

void FakeDesktop::remove() {
    iconAdded = false;
    iconHandler = nullptr;
}

bool FakeDesktop::hostAvailable() const {
    return trayHostPresent;
}

std::vector<std::string> FakeDesktop::takeShortcuts(const std::vector<Shortcut>& wanted,
                                                    PressHandler onPress) {
    shortcuts.clear();
    std::vector<std::string> refusals;
    for (const Shortcut& s : wanted) {
        const bool held =
            std::find(heldElsewhere.begin(), heldElsewhere.end(), s) != heldElsewhere.end();
        refusals.push_back(held ? "another program holds it" : "");
        shortcuts.push_back(held ? Shortcut{} : s);
    }
    shortcutHandler = std::move(onPress);
    return refusals;
}

void FakeDesktop::pressShortcut(const Shortcut& shortcut) {
    const auto taken = std::find(shortcuts.begin(), shortcuts.end(), shortcut);
    if (taken != shortcuts.end() && shortcut.key != 0 && shortcutHandler)
        shortcutHandler(static_cast<std::size_t>(taken - shortcuts.begin()));
}

}  // namespace sw::fake
