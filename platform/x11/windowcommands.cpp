// Changing other applications' windows through the window manager: placing,
// minimising, maximising, restoring, keeping on top, activating and pushing the
// foreground window to the back. With no EWMH window manager the client windows
// are changed directly. Changes are sent and not waited for: a layout drag sends
// one placement per mouse move. A maximised window's placement follows its
// restore from the event loop.
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <limits>

#include "x11desktop.h"
#include "x11desktop_p.h"

namespace sw::x11 {
namespace {

using std::chrono::milliseconds;

// EWMH source indication: the request comes from a pager-like tool acting for the
// user, which window managers do not subject to focus-stealing prevention.
constexpr std::uint32_t kSourcePager = 2;
constexpr std::uint32_t kIconicState = 3;
constexpr std::uint32_t kNorthWestGravity = 1;
constexpr std::uint32_t kMoveResizeAll = 0xF << 8;  // x, y, width and height present
constexpr std::uint32_t kInputHintFlag = 1;         // WM_HINTS InputHint

// How long a held-back placement waits for the window manager to restore the
// window before it is sent anyway, and how many such waits it gives a window
// manager that has not even taken the maximised state off yet (a busy one).
constexpr milliseconds kRestoreWait{300};
constexpr int kRestoreWaitsWhileMaximised = 10;
constexpr milliseconds kSwitchWait{200};

std::int32_t atLeastOne(std::int64_t value) {
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(value, 1, std::numeric_limits<std::uint16_t>::max()));
}

std::int16_t toCoordinate(std::int32_t value) {
    return static_cast<std::int16_t>(std::clamp<std::int32_t>(
        value, std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max()));
}

}  // namespace

void X11Desktop::Impl::sendToRoot(xcb_window_t window, xcb_atom_t type, std::uint32_t l0,
                                  std::uint32_t l1, std::uint32_t l2, std::uint32_t l3,
                                  std::uint32_t l4) {
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = type;
    event.data.data32[0] = l0;
    event.data.data32[1] = l1;
    event.data.data32[2] = l2;
    event.data.data32[3] = l3;
    event.data.data32[4] = l4;
    xcb_send_event(c, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
}

void X11Desktop::Impl::changeState(xcb_window_t window, StateAction action, xcb_atom_t first,
                                   xcb_atom_t second) {
    sendToRoot(window, atoms.NET_WM_STATE, static_cast<std::uint32_t>(action), first, second,
               kSourcePager);
}

void X11Desktop::Impl::activate(xcb_window_t window) {
    if (wmCheck != XCB_WINDOW_NONE) {
        sendToRoot(window, atoms.NET_ACTIVE_WINDOW, kSourcePager, XCB_CURRENT_TIME, 0);
        return;
    }
    const std::uint32_t above[] = {XCB_STACK_MODE_ABOVE};
    xcb_configure_window(c, window, XCB_CONFIG_WINDOW_STACK_MODE, above);
    xcb_set_input_focus(c, XCB_INPUT_FOCUS_PARENT, window, XCB_CURRENT_TIME);
}

void X11Desktop::Impl::sendPlacement(xcb_window_t window, const WindowFacts& f, std::int32_t left,
                                     std::int32_t top, std::int32_t width, std::int32_t height) {
    const Extents e = f.extents;
    // A client that draws its own shadow is asked for the shadow as well, placed so
    // that what is seen of it lands where asked.
    const Extents s = f.invisibleShadow();
    const std::int32_t clientWidth =
        atLeastOne(std::int64_t{width} - e.left - e.right + s.left + s.right);
    const std::int32_t clientHeight =
        atLeastOne(std::int64_t{height} - e.top - e.bottom + s.top + s.bottom);
    // North-west gravity with the outer top-left makes the frame land exactly
    // where asked; static gravity puts it off by the border.
    sendToRoot(window, atoms.NET_MOVERESIZE_WINDOW,
               kNorthWestGravity | kMoveResizeAll | (kSourcePager << 12),
               static_cast<std::uint32_t>(toCoordinate(toCoordinate(left) - s.left)),
               static_cast<std::uint32_t>(toCoordinate(toCoordinate(top) - s.top)),
               static_cast<std::uint32_t>(clientWidth), static_cast<std::uint32_t>(clientHeight));
    sendToRoot(window, atoms.NET_RESTACK_WINDOW, kSourcePager, XCB_WINDOW_NONE,
               XCB_STACK_MODE_ABOVE);
    activate(window);
    flush();
}

void X11Desktop::Impl::selectEvents(xcb_window_t window, std::uint32_t mask) {
    // The selection is this connection's own; other clients' masks are untouched.
    xcb_change_window_attributes(c, window, XCB_CW_EVENT_MASK, &mask);
}

void X11Desktop::Impl::deferPlacement(xcb_window_t window, const WindowFacts& maximised,
                                      std::int32_t left, std::int32_t top, std::int32_t width,
                                      std::int32_t height) {
    if (pending) completePending(PendingCheck::Now);
    pending = PendingPlacement{window, left, top, width, height, maximised.extents};
    // Watching starts before the restore is asked for, so no change is missed.
    reselect(window);
    changeState(window, StateAction::Remove, atoms.NET_WM_STATE_MAXIMIZED_VERT,
                atoms.NET_WM_STATE_MAXIMIZED_HORZ);
    flush();
    if (!pendingTimer) {
        pendingTimer = std::make_unique<QTimer>();
        pendingTimer->setSingleShot(true);
        QObject::connect(pendingTimer.get(), &QTimer::timeout,
                         [this] { completePending(PendingCheck::WaitOver); });
    }
    pendingTimer->start(kRestoreWait);
}

void X11Desktop::Impl::pendingWindowChanged() {
    // Called while events are handled, possibly inside another read: the window
    // is read again from the event loop instead.
    if (pendingCheckQueued || !notifier) return;
    pendingCheckQueued = true;
    QMetaObject::invokeMethod(
        notifier.get(),
        [this] {
            pendingCheckQueued = false;
            completePending(PendingCheck::OnceRestored);
        },
        Qt::QueuedConnection);
}

bool PendingPlacement::restoredIn(const WindowFacts& now) const {
    // The state goes first; the frame extents (and a client's own shadow) follow.
    return !now.anyMaximised() &&
           (!(now.extents == maximisedExtents) || !(now.shadow == Extents{}));
}

void X11Desktop::Impl::completePending(PendingCheck check) {
    if (!pending || !alive()) return;
    const WindowFacts now = readWindow(pending->window, false);
    if (!now.exists) return dropPending();
    // Sent now, the placement would be sized for the maximised frame and then undone by the
    // restore still to come: a window manager that has not taken the state off yet is waited for.
    if (check == PendingCheck::WaitOver && now.anyMaximised() &&
        ++pending->waitsWhileMaximised < kRestoreWaitsWhileMaximised) {
        pendingTimer->start(kRestoreWait);
        return;
    }
    sendPendingIfRestored(now, check == PendingCheck::OnceRestored);
}

void X11Desktop::Impl::sendPendingIfRestored(const WindowFacts& now, bool onlyOnceRestored) {
    if (onlyOnceRestored && !pending->restoredIn(now)) return;
    const PendingPlacement p = *pending;
    dropPending();
    sendPlacement(p.window, now, p.left, p.top, p.width, p.height);
}

void X11Desktop::Impl::dropPending() {
    if (!pending) return;
    const xcb_window_t window = pending->window;
    pending.reset();
    reselect(window);
    flush();
    if (pendingTimer) pendingTimer->stop();
}

void X11Desktop::Impl::placeWithoutManager(xcb_window_t window, std::int32_t left, std::int32_t top,
                                           std::int32_t width, std::int32_t height) {
    const auto cookie = xcb_get_geometry(c, window);
    flush();
    const auto g = takeReply<xcb_get_geometry_reply>(c, cookie);
    if (!g) return;
    // Without a frame the outer rectangle is the client with its border.
    const std::int32_t twice = 2 * g->border_width;
    const std::uint32_t values[] = {
        static_cast<std::uint32_t>(toCoordinate(left)),
        static_cast<std::uint32_t>(toCoordinate(top)),
        static_cast<std::uint32_t>(atLeastOne(std::int64_t{width} - twice)),
        static_cast<std::uint32_t>(atLeastOne(std::int64_t{height} - twice)),
        XCB_STACK_MODE_ABOVE,
    };
    xcb_configure_window(c, window,
                         XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH |
                             XCB_CONFIG_WINDOW_HEIGHT | XCB_CONFIG_WINDOW_STACK_MODE,
                         values);
    xcb_set_input_focus(c, XCB_INPUT_FOCUS_PARENT, window, XCB_CURRENT_TIME);
    flush();
}

void X11Desktop::placeWindow(WindowId window, const Placement& outer) {
    const auto [left, top, width, height] = outer;
    Impl& i = *d;
    i.dropPrefetch();
    if (window == 0 || !i.alive()) return;
    if (i.wmCheck == XCB_WINDOW_NONE) {
        i.placeWithoutManager(window, left, top, width, height);
        return;
    }
    // The one round trip: the frame extents and the state decide what to ask for.
    const WindowFacts f = i.readWindow(window, false);
    if (i.pending && i.pending->window == window) {
        if (!f.exists) return i.dropPending();
        // The restore asked for is still under way (the state may already read
        // normal while the extents are still those of the maximised frame): this
        // placement waits in the place of the earlier one.
        i.pending->left = left;
        i.pending->top = top;
        i.pending->width = width;
        i.pending->height = height;
        i.sendPendingIfRestored(f, true);
        return;
    }
    if (!f.exists) return;
    if (f.anyMaximised()) {
        i.deferPlacement(window, f, left, top, width, height);
        return;
    }
    i.sendPlacement(window, f, left, top, width, height);
}

void X11Desktop::showWindow(WindowId window, ShowCommand command) {
    Impl& i = *d;
    i.dropPrefetch();
    if (window == 0 || !i.alive()) return;
    const bool managed = i.wmCheck != XCB_WINDOW_NONE;
    switch (command) {
        case ShowCommand::Minimise:
            if (managed)
                i.sendToRoot(window, i.atoms.WM_CHANGE_STATE, kIconicState);
            else
                xcb_unmap_window(i.c, window);
            break;
        case ShowCommand::Restore:
        case ShowCommand::Maximise: {
            // Restoring takes the maximised states off; removing a state the window
            // does not have is a no-op for the manager. Activating also de-iconifies.
            const bool maximise = command == ShowCommand::Maximise;
            if (managed) {
                i.changeState(window, maximise ? StateAction::Add : StateAction::Remove,
                              i.atoms.NET_WM_STATE_MAXIMIZED_VERT,
                              i.atoms.NET_WM_STATE_MAXIMIZED_HORZ);
            } else {
                xcb_map_window(i.c, window);
            }
            i.activate(window);
            break;
        }
    }
    i.flush();
}

void X11Desktop::setTopmost(WindowId window, bool onTop) {
    Impl& i = *d;
    i.dropPrefetch();
    if (window == 0 || !i.alive()) return;
    i.changeState(window, onTop ? StateAction::Add : StateAction::Remove,
                  i.atoms.NET_WM_STATE_ABOVE);
    i.flush();
}

void X11Desktop::markToolWindow(WindowId window) {
    Impl& i = *d;
    i.dropPrefetch();
    if (window == 0 || !i.alive()) return;
    // On a withdrawn window the window manager reads the states when it maps it;
    // they are added to what the toolkit has put there, which it keeps in turn.
    // On a mapped one only the window manager may change them, so it is asked as
    // well. The window stays of the normal type and transient for nothing, so it
    // is stacked by when it was last raised, as the main window is.
    const xcb_atom_t skip[] = {i.atoms.NET_WM_STATE_SKIP_TASKBAR, i.atoms.NET_WM_STATE_SKIP_PAGER};
    xcb_change_property(i.c, XCB_PROP_MODE_APPEND, window, i.atoms.NET_WM_STATE, XCB_ATOM_ATOM, 32,
                        2, skip);
    i.changeState(window, StateAction::Add, skip[0], skip[1]);
    // The toolkit reads the states back on its own connection when it maps the
    // window; requests of two connections are not ordered, so this one waits
    // until the server has taken the change.
    const auto sync = xcb_get_input_focus(i.c);
    i.flush();
    xcb_discard_reply(i.c, sync.sequence);
}

void X11Desktop::activateWindow(WindowId window) {
    Impl& i = *d;
    i.dropPrefetch();
    if (window == 0 || !i.alive()) return;
    i.activate(window);
    i.flush();
}

xcb_window_t X11Desktop::Impl::topmostCandidate(const std::vector<xcb_window_t>& bottomToTop,
                                                xcb_window_t pushedBack, bool checkMapped) {
    struct Query {
        xcb_window_t window;
        xcb_get_property_cookie_t netWmState, wmState, hints, protocols, type;
        std::optional<xcb_get_window_attributes_cookie_t> attributes;
    };
    std::vector<Query> queries;
    for (auto it = bottomToTop.rbegin(); it != bottomToTop.rend(); ++it) {
        if (*it == pushedBack) continue;
        Query q{*it,
                requestProperty(*it, atoms.NET_WM_STATE, XCB_ATOM_ATOM, 64),
                requestProperty(*it, atoms.WM_STATE, atoms.WM_STATE, 2),
                requestProperty(*it, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 9),
                requestProperty(*it, atoms.WM_PROTOCOLS, XCB_ATOM_ATOM, 32),
                requestProperty(*it, atoms.NET_WM_WINDOW_TYPE, XCB_ATOM_ATOM, 16),
                std::nullopt};
        if (checkMapped) q.attributes = xcb_get_window_attributes(c, *it);
        queries.push_back(q);
    }
    if (queries.empty()) return XCB_WINDOW_NONE;
    flush();
    xcb_window_t found = XCB_WINDOW_NONE;
    for (const Query& q : queries) {
        const auto netWmState = takeReply<xcb_get_property_reply>(c, q.netWmState);
        const auto wmState = takeReply<xcb_get_property_reply>(c, q.wmState);
        const auto hints = takeReply<xcb_get_property_reply>(c, q.hints);
        const auto protocols = takeReply<xcb_get_property_reply>(c, q.protocols);
        const auto type = takeReply<xcb_get_property_reply>(c, q.type);
        Reply<xcb_get_window_attributes_reply_t> attributes;
        if (q.attributes) attributes = takeReply<xcb_get_window_attributes_reply>(c, *q.attributes);
        if (found != XCB_WINDOW_NONE || !netWmState) continue;  // no reply: window gone
        if (q.attributes && (!attributes || attributes->override_redirect ||
                             attributes->map_state != XCB_MAP_STATE_VIEWABLE)) {
            continue;
        }
        const auto states = propertyWords(netWmState.get());
        if (std::find(states.begin(), states.end(), atoms.NET_WM_STATE_HIDDEN) != states.end() ||
            firstWord(wmState.get()) == kIconicState) {
            continue;
        }
        const auto types = propertyWords(type.get());
        if (std::find_if(types.begin(), types.end(), [&](std::uint32_t t) {
                return t == atoms.NET_WM_WINDOW_TYPE_DOCK || t == atoms.NET_WM_WINDOW_TYPE_DESKTOP;
            }) != types.end()) {
            continue;
        }
        // ICCCM: a client without the input hint is taken to accept focus, and one
        // that declines it may still take focus through WM_TAKE_FOCUS.
        const auto h = propertyWords(hints.get());
        const bool inputHint = h.size() < 2 || (h[0] & kInputHintFlag) == 0 || h[1] != 0;
        const auto p = propertyWords(protocols.get());
        const bool takesFocus = std::find(p.begin(), p.end(), atoms.WM_TAKE_FOCUS) != p.end();
        if (inputHint || takesFocus) found = q.window;
    }
    handleQueuedEvents();
    return found;
}

void X11Desktop::Impl::sendToBackWithoutManager() {
    const xcb_window_t pushed = focusTopLevel(std::nullopt);
    const auto treeCookie = xcb_query_tree(c, root);
    flush();
    const auto tree = takeReply<xcb_query_tree_reply>(c, treeCookie);
    if (!tree) return;
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    const std::vector<xcb_window_t> stack(children,
                                          children + xcb_query_tree_children_length(tree.get()));
    const xcb_window_t next = topmostCandidate(stack, pushed, true);
    if (pushed != XCB_WINDOW_NONE) {
        const std::uint32_t below[] = {XCB_STACK_MODE_BELOW};
        xcb_configure_window(c, pushed, XCB_CONFIG_WINDOW_STACK_MODE, below);
    }
    if (next != XCB_WINDOW_NONE) {
        xcb_set_input_focus(c, XCB_INPUT_FOCUS_PARENT, next, XCB_CURRENT_TIME);
    }
    const auto sync = xcb_get_input_focus(c);
    flush();
    xcb_discard_reply(c, sync.sequence);
}

void X11Desktop::sendForegroundToBack() {
    Impl& i = *d;
    i.dropPrefetch();
    if (!i.alive()) return;
    if (i.wmCheck == XCB_WINDOW_NONE) {
        i.sendToBackWithoutManager();
        return;
    }
    const auto activeCookie =
        i.requestProperty(i.root, i.atoms.NET_ACTIVE_WINDOW, XCB_ATOM_WINDOW, 1);
    const auto stackCookie =
        i.requestProperty(i.root, i.atoms.NET_CLIENT_LIST_STACKING, XCB_ATOM_WINDOW, 1 << 14);
    i.flush();
    const xcb_window_t active =
        firstWord(takeReply<xcb_get_property_reply>(i.c, activeCookie).get());
    const auto stack = propertyWords(takeReply<xcb_get_property_reply>(i.c, stackCookie).get());
    i.handleQueuedEvents();
    const std::vector<xcb_window_t> bottomToTop(stack.begin(), stack.end());
    const xcb_window_t next = i.topmostCandidate(bottomToTop, active, false);
    if (active != XCB_WINDOW_NONE) {
        i.sendToRoot(active, i.atoms.NET_RESTACK_WINDOW, kSourcePager, XCB_WINDOW_NONE,
                     XCB_STACK_MODE_BELOW);
    }
    if (next == XCB_WINDOW_NONE) {
        i.flush();
        return;
    }
    // Property changes on the root (always selected) tell when the window manager
    // has switched.
    i.activate(next);
    i.flush();
    const auto deadline = std::chrono::steady_clock::now() + kSwitchWait;
    const auto activeChanged = [&](const xcb_generic_event_t* event) {
        if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY) return false;
        const auto* notify = reinterpret_cast<const xcb_property_notify_event_t*>(event);
        return notify->window == i.root && notify->atom == i.atoms.NET_ACTIVE_WINDOW;
    };
    // _NET_ACTIVE_WINDOW reads 0 for a moment while the focus moves.
    while (i.waitForEvent(deadline, activeChanged)) {
        const auto cookie =
            i.requestProperty(i.root, i.atoms.NET_ACTIVE_WINDOW, XCB_ATOM_WINDOW, 1);
        i.flush();
        const xcb_window_t now = firstWord(takeReply<xcb_get_property_reply>(i.c, cookie).get());
        i.handleQueuedEvents();
        if (now != active && now != XCB_WINDOW_NONE) break;
    }
}

}  // namespace sw::x11
