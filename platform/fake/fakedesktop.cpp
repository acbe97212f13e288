// An in-memory desktop for tests.
#include "platform/fake/fakedesktop.h"

#include <algorithm>

namespace sw::fake {
namespace {

std::string str(std::int64_t v) { return std::to_string(v); }

}  // namespace

FakeDesktop::FakeDesktop() : screen_{1024, 768, 15.0, 15.0} {}

WindowId FakeDesktop::addWindow(const std::string& title, Rect rect, int showState) {
    const WindowId id = nextId_++;
    windows_[id] = FakeWindow{title, rect, rect, showState, false};
    zOrder_.push_front(id);
    return id;
}

void FakeDesktop::adoptWindow(WindowId id, const std::string& title, Rect rect) {
    windows_[id] = FakeWindow{title, rect, rect, kShowStateNormal, false};
    zOrder_.push_front(id);
}

void FakeDesktop::closeWindow(WindowId id) {
    windows_.erase(id);
    zOrder_.erase(std::remove(zOrder_.begin(), zOrder_.end(), id), zOrder_.end());
    if (foreground_ == id) foreground_ = 0;
}

FakeWindow* FakeDesktop::window(WindowId id) {
    auto it = windows_.find(id);
    return it == windows_.end() ? nullptr : &it->second;
}

std::vector<std::string> FakeDesktop::callsNamed(const std::string& name) const {
    std::vector<std::string> out;
    for (const auto& c : calls) {
        if (c == name || c.rfind(name + " ", 0) == 0) out.push_back(c);
    }
    return out;
}

WindowId FakeDesktop::foregroundWindow() {
    record("foregroundWindow");
    return foreground_;
}

WindowInfo FakeDesktop::describeWindow(WindowId id) {
    record("describeWindow " + str(id));
    const FakeWindow* w = window(id);
    if (w == nullptr) return {};
    return WindowInfo{w->title, rectOf(*w), w->showState};
}

Rect FakeDesktop::windowRect(WindowId id) {
    record("windowRect " + str(id));
    const FakeWindow* w = window(id);
    return w == nullptr ? Rect{} : rectOf(*w);
}

Rect FakeDesktop::rectOf(const FakeWindow& window) const {
    const FakeWindow* w = &window;
    if (w->showState == kShowStateMinimised) {
        const Rect& r = w->restored;
        return Rect{kMinimisedPosition, kMinimisedPosition,
                    static_cast<std::int32_t>(kMinimisedPosition + r.width()),
                    static_cast<std::int32_t>(kMinimisedPosition + r.height())};
    }
    return w->rect;
}

void FakeDesktop::placeWindow(WindowId id, std::int32_t left, std::int32_t top, std::int32_t width,
                              std::int32_t height) {
    record("placeWindow " + str(id) + " " + str(left) + " " + str(top) + " " + str(width) + " " +
           str(height));
    FakeWindow* w = window(id);
    if (w == nullptr) return;
    const Rect r{left, top, static_cast<std::int32_t>(std::int64_t{left} + width),
                 static_cast<std::int32_t>(std::int64_t{top} + height)};
    if (deferPlacements) {
        deferred_.emplace_back(id, r);
        return;
    }
    w->rect = r;
    w->restored = r;
    w->showState = kShowStateNormal;
    foreground_ = id;
}

void FakeDesktop::landPlacements() {
    const auto pending = std::move(deferred_);
    deferred_.clear();
    const bool defer = deferPlacements;
    deferPlacements = false;
    for (const auto& [id, r] : pending) placeWindow(id, r.left, r.top, static_cast<std::int32_t>(r.width()),
                                                      static_cast<std::int32_t>(r.height()));
    deferPlacements = defer;
}

void FakeDesktop::showWindow(WindowId id, ShowCommand command) {
    record("showWindow " + str(id) + " " + str(static_cast<int>(command)));
    FakeWindow* w = window(id);
    if (w == nullptr) return;
    switch (command) {
        case ShowCommand::Minimise:
            if (w->showState != kShowStateMinimised) {
                if (w->showState == kShowStateNormal) w->restored = w->rect;
                w->showState = kShowStateMinimised;
            }
            break;
        case ShowCommand::ShowNormal:
            w->rect = w->restored;
            w->showState = kShowStateNormal;
            break;
        case ShowCommand::ShowMaximised:
            if (w->showState == kShowStateNormal) w->restored = w->rect;
            w->rect = Rect{0, 0, screen_.widthPx, screen_.heightPx};
            w->showState = kShowStateMaximised;
            break;
    }
}

void FakeDesktop::setTopmost(WindowId id, bool onTop) {
    record("setTopmost " + str(id) + " " + (onTop ? "1" : "0"));
    if (FakeWindow* w = window(id)) w->topmost = onTop;
}

void FakeDesktop::markToolWindow(WindowId id) { record("markToolWindow " + str(id)); }

void FakeDesktop::activateWindow(WindowId id) {
    record("activateWindow " + str(id));
    if (window(id) != nullptr) foreground_ = id;
}

void FakeDesktop::sendForegroundToBack() {
    record("sendForegroundToBack");
    auto it = std::find(zOrder_.begin(), zOrder_.end(), foreground_);
    if (it != zOrder_.end()) {
        zOrder_.erase(it);
        zOrder_.push_back(foreground_);
    }
    for (WindowId id : zOrder_) {
        if (id != foreground_ && windows_[id].showState != kShowStateMinimised) {
            foreground_ = id;
            return;
        }
    }
}

Point FakeDesktop::cursorPos() {
    record("cursorPos");
    return pointer;
}

void FakeDesktop::setCursorPos(Point position) {
    record("setCursorPos " + str(position.x) + " " + str(position.y));
    pointer = position;
}

PointerSnapshot FakeDesktop::readPointer() {
    record("readPointer");
    PointerSnapshot s{pointer, KeyStates{down.left || latched_.left, down.right || latched_.right,
                                         down.shift || latched_.shift}};
    latched_ = {};
    return s;
}

ScreenMetrics FakeDesktop::metrics() {
    record("metrics");
    return screen_;
}

std::string FakeDesktop::read(const std::string& app, const std::string& section,
                              const std::string& key, const std::string& fallback) {
    record("read " + section + "/" + key);
    auto it = store.find({app, section, key});
    return it == store.end() ? fallback : it->second;
}

bool FakeDesktop::write(const std::string& app, const std::string& section, const std::string& key,
                        const std::string& value) {
    record("write " + section + "/" + key + "=" + value);
    if (refuseWrites) return false;
    store[{app, section, key}] = value;
    return true;
}

bool FakeDesktop::flush(std::string* why) {
    record("flush");
    if (refuseWrites) {
        if (why) *why = "the store refused the write";
        return false;
    }
    saved = store;
    return true;
}

bool FakeDesktop::openLink(const std::string& target) {
    record("openLink " + target);
    return linksOpen;
}

bool FakeDesktop::openHelp(const std::string& path) {
    record("openHelp " + path);
    return true;
}

bool FakeDesktop::add(const std::string& tip, MessageHandler onMessage) {
    record("iconAdd " + tip);
    iconAdded = true;
    iconTip = tip;
    iconHandler = std::move(onMessage);
    return trayHostPresent;
}

void FakeDesktop::modify(const std::string& tip) {
    record("iconModify " + tip);
    iconTip = tip;
}

void FakeDesktop::remove() {
    record("iconRemove");
    iconAdded = false;
    iconHandler = nullptr;
}

bool FakeDesktop::hostAvailable() const { return trayHostPresent; }

}  // namespace sw::fake
