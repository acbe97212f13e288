// Telling the program what changed on the desktop: the root's active window and
// window manager, and the title, state and frame of the windows it reads, from
// the server's events; a 100 ms look while no EWMH window manager publishes the
// active window; and the pointer from XInput's raw events, with a look four
// times a second for another program's warp, which no event tells of.
#include <QMetaObject>
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>

#include "x11desktop.h"
#include "x11desktop_p.h"

namespace sw::x11 {
namespace {

constexpr std::chrono::milliseconds kFallbackPoll{100};
constexpr std::chrono::milliseconds kWarpLook{250};

std::unique_ptr<QTimer> repeatingTimer(std::chrono::milliseconds interval,
                                       std::function<void()> run) {
    auto timer = std::make_unique<QTimer>();
    timer->setInterval(interval);
    QObject::connect(timer.get(), &QTimer::timeout, std::move(run));
    return timer;
}

}  // namespace

std::uint32_t X11Desktop::Impl::eventMaskFor(xcb_window_t window) const {
    std::uint32_t mask = 0;
    if (window == root) mask |= XCB_EVENT_MASK_PROPERTY_CHANGE;
    if (pending && pending->window == window) mask |= XCB_EVENT_MASK_PROPERTY_CHANGE;
    for (const Watched& w : watched) {
        if (w.client == window)
            mask |= XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        if (w.frame == window) mask |= XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    }
    if (window == wmCheck && window != XCB_WINDOW_NONE) mask |= XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    return mask;
}

void X11Desktop::Impl::reselect(xcb_window_t window) {
    if (window != XCB_WINDOW_NONE) selectEvents(window, eventMaskFor(window));
}

void X11Desktop::Impl::watch(xcb_window_t client) {
    if (client == XCB_WINDOW_NONE || client == root) return;
    if (std::any_of(watched.begin(), watched.end(),
                    [&](const Watched& w) { return w.client == client; }))
        return;
    // The frame is what moves when the window manager moves the window.
    const xcb_window_t frame = topLevelOf(client);
    watched.push_back(Watched{client, frame == client ? xcb_window_t{XCB_WINDOW_NONE} : frame});
    reselect(client);
    reselect(watched.back().frame);
    flush();
}

void X11Desktop::Impl::keepWatching(const std::vector<xcb_window_t>& clients) {
    std::vector<Watched> dropped;
    std::erase_if(watched, [&](const Watched& w) {
        const bool drop = std::find(clients.begin(), clients.end(), w.client) == clients.end();
        if (drop) dropped.push_back(w);
        return drop;
    });
    for (const Watched& w : dropped) {
        reselect(w.client);
        reselect(w.frame);
    }
    if (!dropped.empty()) flush();
}

void X11Desktop::Impl::refreshFrames() {
    framesStale = false;
    for (Watched& w : watched) {
        const xcb_window_t top = topLevelOf(w.client);
        const xcb_window_t frame = top == w.client ? xcb_window_t{XCB_WINDOW_NONE} : top;
        if (frame == w.frame) continue;
        const xcb_window_t old = w.frame;
        w.frame = frame;
        reselect(old);
        reselect(frame);
    }
    flush();
}

bool X11Desktop::Impl::isWatched(xcb_window_t window) const {
    return std::any_of(watched.begin(), watched.end(),
                       [&](const Watched& w) { return w.client == window || w.frame == window; });
}

void X11Desktop::Impl::noteEvent(const xcb_generic_event_t* event) {
    const std::uint8_t type = event->response_type & 0x7f;
    if (type == XCB_PROPERTY_NOTIFY) {
        const auto* e = reinterpret_cast<const xcb_property_notify_event_t*>(event);
        const xcb_atom_t a = e->atom;
        if (e->window == root) {
            if (a == atoms.NET_ACTIVE_WINDOW || a == atoms.NET_SUPPORTING_WM_CHECK) notifyChange();
        } else if (isWatched(e->window) &&
                   (a == XCB_ATOM_WM_NAME || a == atoms.NET_WM_NAME || a == atoms.NET_WM_STATE ||
                    a == atoms.WM_STATE || a == atoms.NET_FRAME_EXTENTS ||
                    a == atoms.GTK_FRAME_EXTENTS)) {
            notifyChange();
        }
    } else if (type == XCB_CONFIGURE_NOTIFY) {
        if (isWatched(reinterpret_cast<const xcb_configure_notify_event_t*>(event)->window))
            notifyChange();
    } else if (type == XCB_REPARENT_NOTIFY) {
        // A window manager that starts or is replaced frames the window anew.
        if (isWatched(reinterpret_cast<const xcb_reparent_notify_event_t*>(event)->window)) {
            framesStale = true;
            notifyChange();
        }
    } else if (type == XCB_DESTROY_NOTIFY || type == XCB_UNMAP_NOTIFY || type == XCB_MAP_NOTIFY) {
        // Each carries the window it is about right after the response type and sequence.
        const auto window = reinterpret_cast<const xcb_destroy_notify_event_t*>(event)->window;
        if (isWatched(window) || (window == wmCheck && window != XCB_WINDOW_NONE)) notifyChange();
    }
}

void X11Desktop::Impl::runOnceFromEventLoop(bool& queued, std::function<void()> run) {
    if (queued || !notifier) return;
    queued = true;
    // From the event loop: events are also handled inside reads of the program's.
    QMetaObject::invokeMethod(
        notifier.get(),
        [&queued, run = std::move(run)] {
            queued = false;
            run();
        },
        Qt::QueuedConnection);
}

void X11Desktop::Impl::notifyChange() {
    if (!changeHandler) return;
    runOnceFromEventLoop(changeQueued, [this] {
        if (framesStale && alive()) refreshFrames();
        if (changeHandler) changeHandler();
    });
}

void X11Desktop::Impl::notifyInput() {
    if (!inputHandler) return;
    runOnceFromEventLoop(inputQueued, [this] {
        if (inputHandler) inputHandler();
    });
}

void X11Desktop::Impl::updateFallback() {
    // Without an EWMH window manager nothing announces the focus: it is looked at.
    const bool wanted = changeHandler && wmCheck == XCB_WINDOW_NONE;
    if (!wanted) {
        if (fallbackTimer) fallbackTimer->stop();
        return;
    }
    if (!fallbackTimer) {
        fallbackTimer = repeatingTimer(kFallbackPoll, [this] {
            if (changeHandler) changeHandler();
        });
    }
    if (!fallbackTimer->isActive()) fallbackTimer->start();
}

void X11Desktop::Impl::lookForWarp() {
    if (!inputHandler || !alive()) return;
    const auto cookie = xcb_query_pointer(c, root);
    flush();
    const auto r = takeReply<xcb_query_pointer_reply>(c, cookie);
    handleQueuedEvents();
    if (!r || Point{r->root_x, r->root_y} == lastPointer.position) return;
    lastPointer.position = Point{r->root_x, r->root_y};
    inputHandler();
}

void X11Desktop::setChangeHandler(ChangeHandler onChange) {
    d->changeHandler = std::move(onChange);
    d->updateFallback();
}

void X11Desktop::setInputHandler(InputHandler onInput) {
    Impl& i = *d;
    i.inputHandler = std::move(onInput);
    if (!i.inputHandler) {
        if (i.warpTimer) i.warpTimer->stop();
        return;
    }
    if (!i.warpTimer) i.warpTimer = repeatingTimer(kWarpLook, [&i] { i.lookForWarp(); });
    if (!i.warpTimer->isActive()) i.warpTimer->start();
}

}  // namespace sw::x11
