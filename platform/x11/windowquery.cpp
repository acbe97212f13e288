// Reading other applications' windows: the foreground window, and a window's
// title, outer rectangle and show state, each read as one batch of requests. The
// foreground query carries the next reads of the windows the last poll described,
// so a poll whose target has not changed costs a single round trip.
#include <algorithm>

#include "titles.h"
#include "x11desktop.h"
#include "x11desktop_p.h"

namespace sw::x11 {
namespace {

constexpr std::uint32_t kIconicState = 3;  // ICCCM WM_STATE

RawTitle rawTitle(const xcb_get_property_reply_t* reply, const Atoms& atoms) {
    RawTitle raw;
    if (!reply || reply->type == XCB_ATOM_NONE) return raw;
    raw.bytes = propertyBytes(reply);
    raw.truncated = reply->bytes_after > 0;
    if (reply->type == atoms.UTF8_STRING)
        raw.encoding = TitleEncoding::Utf8;
    else if (reply->type == XCB_ATOM_STRING)
        raw.encoding = TitleEncoding::Latin1;
    else if (reply->type == atoms.COMPOUND_TEXT)
        raw.encoding = TitleEncoding::CompoundText;
    return raw;
}

// Left, right, top and bottom, in that order, as both extents properties hold them.
Extents extentsOf(const xcb_get_property_reply_t* reply) {
    const auto e = propertyWords(reply);
    if (e.size() < 4) return {};
    return Extents{static_cast<std::int32_t>(e[0]), static_cast<std::int32_t>(e[1]),
                   static_cast<std::int32_t>(e[2]), static_cast<std::int32_t>(e[3])};
}

}  // namespace

Extents WindowFacts::invisibleShadow() const {
    // Window managers that leave client-decorated windows unframed publish zero
    // extents for them (xfwm4) or none at all (metacity).
    return extents == Extents{} ? shadow : Extents{};
}

Rect WindowFacts::outerRect() const {
    if (!exists) return {};
    const Extents s = invisibleShadow();
    const std::int32_t outerWidth = width + extents.left + extents.right - s.left - s.right;
    const std::int32_t outerHeight = height + extents.top + extents.bottom - s.top - s.bottom;
    const std::int32_t left = clientX - extents.left + s.left;
    const std::int32_t top = clientY - extents.top + s.top;
    return Rect{left, top, left + outerWidth, top + outerHeight};
}

WindowState WindowFacts::state() const {
    if (!exists) return WindowState::Gone;
    if (iconic) return WindowState::Minimised;
    return maximised() ? WindowState::Maximised : WindowState::Normal;
}

xcb_get_property_cookie_t X11Desktop::Impl::requestProperty(xcb_window_t window,
                                                            xcb_atom_t property, xcb_atom_t type,
                                                            std::uint32_t words) {
    return xcb_get_property(c, 0, window, property, type, 0, words);
}

WindowQuery X11Desktop::Impl::sendWindowQuery(xcb_window_t window, bool withTitle) {
    WindowQuery q;
    q.window = window;
    q.geometry = xcb_get_geometry(c, window);
    q.translate = xcb_translate_coordinates(c, window, root, 0, 0);
    q.extents = requestProperty(window, atoms.NET_FRAME_EXTENTS, XCB_ATOM_CARDINAL, 4);
    q.shadow = requestProperty(window, atoms.GTK_FRAME_EXTENTS, XCB_ATOM_CARDINAL, 4);
    q.wmState = requestProperty(window, atoms.WM_STATE, atoms.WM_STATE, 2);
    q.netWmState = requestProperty(window, atoms.NET_WM_STATE, XCB_ATOM_ATOM, 64);
    if (withTitle) {
        q.netWmName =
            requestProperty(window, atoms.NET_WM_NAME, atoms.UTF8_STRING, kTitleReadWords);
        q.wmName =
            requestProperty(window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, kTitleReadWords);
    }
    return q;
}

WindowFacts X11Desktop::Impl::collect(const WindowQuery& q) {
    WindowFacts f;
    const auto geometry = takeReply<xcb_get_geometry_reply>(c, q.geometry);
    const auto translate = takeReply<xcb_translate_coordinates_reply>(c, q.translate);
    const auto extents = takeReply<xcb_get_property_reply>(c, q.extents);
    const auto shadow = takeReply<xcb_get_property_reply>(c, q.shadow);
    const auto wmState = takeReply<xcb_get_property_reply>(c, q.wmState);
    const auto netWmState = takeReply<xcb_get_property_reply>(c, q.netWmState);
    PropertyReply netWmName, wmName;
    if (q.netWmName) netWmName = takeReply<xcb_get_property_reply>(c, *q.netWmName);
    if (q.wmName) wmName = takeReply<xcb_get_property_reply>(c, *q.wmName);
    handleQueuedEvents();

    if (!geometry || !translate) return f;
    f.exists = true;
    // The client's own border sits outside its origin and inside the frame.
    f.clientX = translate->dst_x - geometry->border_width;
    f.clientY = translate->dst_y - geometry->border_width;
    f.width = geometry->width + 2 * geometry->border_width;
    f.height = geometry->height + 2 * geometry->border_width;
    f.extents = extentsOf(extents.get());
    f.shadow = extentsOf(shadow.get());
    for (const std::uint32_t atom : propertyWords(netWmState.get())) {
        if (atom == atoms.NET_WM_STATE_HIDDEN) f.iconic = true;
        if (atom == atoms.NET_WM_STATE_MAXIMIZED_VERT) f.maximisedVert = true;
        if (atom == atoms.NET_WM_STATE_MAXIMIZED_HORZ) f.maximisedHorz = true;
    }
    if (firstWord(wmState.get()) == kIconicState) f.iconic = true;
    f.title = decodeTitle(rawTitle(netWmName.get(), atoms), rawTitle(wmName.get(), atoms),
                          CompoundTextConverter{dpy, atoms.COMPOUND_TEXT});

    return f;
}

void X11Desktop::Impl::discard(const WindowQuery& q) {
    for (const unsigned int sequence :
         {q.geometry.sequence, q.translate.sequence, q.extents.sequence, q.shadow.sequence,
          q.wmState.sequence, q.netWmState.sequence}) {
        xcb_discard_reply(c, sequence);
    }
    if (q.netWmName) xcb_discard_reply(c, q.netWmName->sequence);
    if (q.wmName) xcb_discard_reply(c, q.wmName->sequence);
}

void X11Desktop::Impl::dropPrefetch() {
    for (const WindowQuery& q : prefetch) discard(q);
    prefetch.clear();
}

WindowFacts X11Desktop::Impl::readWindow(xcb_window_t window, bool withTitle) {
    if (window == XCB_WINDOW_NONE || !alive()) return {};
    const WindowQuery q = sendWindowQuery(window, withTitle);
    flush();
    return collect(q);
}

xcb_window_t X11Desktop::Impl::topLevelOf(xcb_window_t window) {
    // Without a window manager the top-level window is the root's child that
    // contains the focus; the walk stops at the first failure (window gone).
    for (int depth = 0; depth < 64 && window != XCB_WINDOW_NONE && window != root; ++depth) {
        const auto cookie = xcb_query_tree(c, window);
        flush();
        const auto tree = takeReply<xcb_query_tree_reply>(c, cookie);
        if (!tree) return XCB_WINDOW_NONE;
        if (tree->parent == root) return window;
        window = tree->parent;
    }
    return XCB_WINDOW_NONE;
}

xcb_window_t X11Desktop::Impl::focusTopLevel(std::optional<xcb_get_input_focus_cookie_t> cookie) {
    if (!cookie) {
        cookie = xcb_get_input_focus(c);
        flush();
    }
    const auto focus = takeReply<xcb_get_input_focus_reply>(c, *cookie);
    if (!focus) return XCB_WINDOW_NONE;
    const xcb_window_t w = focus->focus;
    if (w == XCB_WINDOW_NONE || w == XCB_INPUT_FOCUS_POINTER_ROOT || w == root) {
        return XCB_WINDOW_NONE;
    }
    return topLevelOf(w);
}

WindowId X11Desktop::foregroundWindow() {
    Impl& i = *d;
    i.dropPrefetch();
    if (!i.alive()) return 0;
    // The prefetch goes first: replies come back in order, so once the foreground
    // replies are in, the window's replies are already waiting.
    for (const xcb_window_t w : i.describedSinceForeground) {
        if (w != XCB_WINDOW_NONE) i.prefetch.push_back(i.sendWindowQuery(w, true));
    }
    // Changes are told of for the windows the last reading described.
    i.keepWatching(i.describedSinceForeground);
    i.describedSinceForeground.clear();
    const auto rootCheck =
        i.requestProperty(i.root, i.atoms.NET_SUPPORTING_WM_CHECK, XCB_ATOM_WINDOW, 1);
    std::optional<xcb_get_property_cookie_t> selfCheck;
    if (i.wmCheck != XCB_WINDOW_NONE) {
        selfCheck =
            i.requestProperty(i.wmCheck, i.atoms.NET_SUPPORTING_WM_CHECK, XCB_ATOM_WINDOW, 1);
    }
    const auto active = i.requestProperty(i.root, i.atoms.NET_ACTIVE_WINDOW, XCB_ATOM_WINDOW, 1);
    std::optional<xcb_get_input_focus_cookie_t> focus;
    if (i.wmCheck == XCB_WINDOW_NONE) focus = xcb_get_input_focus(i.c);
    i.flush();

    const xcb_window_t check = firstWord(takeReply<xcb_get_property_reply>(i.c, rootCheck).get());
    xcb_window_t self = XCB_WINDOW_NONE;
    if (selfCheck) self = firstWord(takeReply<xcb_get_property_reply>(i.c, *selfCheck).get());
    const xcb_window_t activeWindow =
        firstWord(takeReply<xcb_get_property_reply>(i.c, active).get());
    if (check != i.wmCheck || self != check) {
        // A window manager started, stopped or was replaced since the last look. A
        // check window already found stale is not asked again on every poll.
        const bool valid = check != i.staleWmCheck && i.windowManagerValid(check);
        i.setWmCheck(valid ? check : kNoWindow);
        i.staleWmCheck = valid ? kNoWindow : check;
    }
    if (i.wmCheck != XCB_WINDOW_NONE) {
        if (focus) xcb_discard_reply(i.c, focus->sequence);
        i.handleQueuedEvents();
        return activeWindow;
    }
    const xcb_window_t top = i.focusTopLevel(focus);
    i.handleQueuedEvents();
    return top;
}

WindowInfo X11Desktop::describeWindow(WindowId window) {
    Impl& i = *d;
    WindowFacts facts;
    const auto hit = std::find_if(i.prefetch.begin(), i.prefetch.end(),
                                  [window](const WindowQuery& q) { return q.window == window; });
    if (hit != i.prefetch.end() && i.alive()) {
        const WindowQuery q = *hit;
        i.prefetch.erase(hit);
        facts = i.collect(q);
    } else {
        i.dropPrefetch();
        facts = i.readWindow(window, true);
    }
    auto& described = i.describedSinceForeground;
    if (described.size() < 2 &&
        std::find(described.begin(), described.end(), window) == described.end()) {
        described.push_back(window);
    }
    if (!facts.exists) return WindowInfo{};
    i.watch(window);
    return WindowInfo{facts.title, facts.state(), facts.outerRect()};
}

Rect X11Desktop::windowRect(WindowId window) {
    return d->readWindow(window, false).outerRect();
}

}  // namespace sw::x11
