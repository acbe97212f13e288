// The X11 desktop backend's connection: connecting and discovering what the
// server and window manager offer, the event handling that runs from the Qt event
// loop (XInput2 presses, dropped errors, a lost connection), the pointer and the
// screen metrics.
#include "x11desktop.h"

#include <xcb/xinput.h>

#include <poll.h>

#include <QMetaObject>
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <iterator>

#include "x11desktop_p.h"

// Last: Xlib's macros (None, Bool, Status) clash with names in Qt's headers.
#include <X11/Xlib-xcb.h>
#include <X11/Xlib.h>

namespace sw::x11 {
namespace {

constexpr std::uint32_t kShiftLeftKeysym = 0xffe1;
constexpr std::uint32_t kShiftRightKeysym = 0xffe2;
constexpr std::uint16_t kShiftMask = XCB_KEY_BUT_MASK_SHIFT;
constexpr std::uint16_t kButton1Mask = XCB_KEY_BUT_MASK_BUTTON_1;
constexpr std::uint16_t kButton3Mask = XCB_KEY_BUT_MASK_BUTTON_3;
constexpr double kDefaultDpi = 96.0;

xcb_screen_t* screenOf(xcb_connection_t* c, int number) {
    auto it = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; it.rem > 0; ++i, xcb_screen_next(&it)) {
        if (i == number) return it.data;
    }
    return nullptr;
}

// Xft.dpi from the resource database text (lines "name:\tvalue"), 0 if absent.
double xftDpi(std::string_view resources) {
    while (!resources.empty()) {
        const auto end = resources.find('\n');
        std::string_view line = resources.substr(0, end);
        resources = end == std::string_view::npos ? std::string_view{} : resources.substr(end + 1);
        constexpr std::string_view key = "Xft.dpi:";
        if (line.substr(0, key.size()) != key) continue;
        std::string_view value = line.substr(key.size());
        while (!value.empty() && (value.front() == ' ' || value.front() == '\t'))
            value.remove_prefix(1);
        // from_chars reads "96.0" whatever the locale; strtod would stop at the point
        // under a locale with a decimal comma.
        double dpi = 0;
        const auto parsed = std::from_chars(value.data(), value.data() + value.size(), dpi);
        if (parsed.ec == std::errc() && parsed.ptr != value.data() && dpi > 0) return dpi;
    }
    return 0;
}

// The keycodes that carry Shift_L or Shift_R in the keyboard mapping.
std::vector<xcb_keycode_t> shiftKeycodesIn(const xcb_get_keyboard_mapping_reply_t* reply,
                                           xcb_keycode_t minKeycode) {
    std::vector<xcb_keycode_t> codes;
    if (!reply) return codes;
    const auto* syms = xcb_get_keyboard_mapping_keysyms(reply);
    const int count = xcb_get_keyboard_mapping_keysyms_length(reply);
    const int perCode = std::max<int>(1, reply->keysyms_per_keycode);
    for (int i = 0; i < count; ++i) {
        if (syms[i] == kShiftLeftKeysym || syms[i] == kShiftRightKeysym) {
            const auto code = static_cast<xcb_keycode_t>(minKeycode + i / perCode);
            if (std::find(codes.begin(), codes.end(), code) == codes.end()) codes.push_back(code);
        }
    }
    return codes;
}

}  // namespace

X11Desktop::Impl::Impl(Display* display, xcb_connection_t* connection, xcb_screen_t* s)
    : dpy(display), c(connection), screen(s), root(s->root) {}

X11Desktop::Impl::~Impl() {
    pendingTimer.reset();
    fallbackTimer.reset();
    warpTimer.reset();
    notifier.reset();
    // Xlib ends the process when it meets a broken connection, and XCloseDisplay
    // talks to the server; so xcb, which fails gently, checks the connection with
    // a round trip first, and a broken one is left for the process's end to close.
    if (xcb_connection_has_error(c) == 0) {
        std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    }
    if (xcb_connection_has_error(c) == 0) XCloseDisplay(dpy);
}

void X11Desktop::Impl::primeXlibAtoms() {
    // Xlib's text conversion looks these atoms up by name; once they are in the
    // display's atom cache it does so without a request, so no Xlib call after
    // connecting ever talks to the server (STRING is predefined).
    char compoundText[] = "COMPOUND_TEXT";
    char utf8String[] = "UTF8_STRING";
    char text[] = "TEXT";
    char* names[] = {compoundText, utf8String, text};
    Atom interned[std::size(names)];
    XInternAtoms(dpy, names, static_cast<int>(std::size(names)), False, interned);
}

void X11Desktop::Impl::discover() {
    primeXlibAtoms();
    struct Pending {
        xcb_atom_t* slot;
        xcb_intern_atom_cookie_t cookie;
    };
    std::vector<Pending> interned;
#define SW_X11_ATOM_INTERN(member, name) \
    interned.push_back({&atoms.member, xcb_intern_atom(c, 0, sizeof(name) - 1, name)});
    SW_X11_ATOM_TABLE(SW_X11_ATOM_INTERN)
#undef SW_X11_ATOM_INTERN
    xcb_prefetch_extension_data(c, &xcb_input_id);
    prefetchMonitorExtensions();
    const xcb_setup_t* setup = xcb_get_setup(c);
    const auto keymap = xcb_get_keyboard_mapping(
        c, setup->min_keycode,
        static_cast<std::uint8_t>(setup->max_keycode - setup->min_keycode + 1));
    flush();
    for (const Pending& p : interned) {
        if (auto r = takeReply<xcb_intern_atom_reply>(c, p.cookie)) *p.slot = r->atom;
    }
    shiftKeycodes = shiftKeycodesIn(takeReply<xcb_get_keyboard_mapping_reply>(c, keymap).get(),
                                    setup->min_keycode);

    // The extension data was fetched with the batch above, so this does not block.
    const xcb_query_extension_reply_t* ext = xcb_get_extension_data(c, &xcb_input_id);
    std::optional<xcb_input_xi_query_version_cookie_t> version;
    if (ext && ext->present) {
        xinputOpcode = ext->major_opcode;
        version = xcb_input_xi_query_version(c, 2, 2);
    }
    const auto check =
        xcb_get_property(c, 0, root, atoms.NET_SUPPORTING_WM_CHECK, XCB_ATOM_WINDOW, 0, 1);
    flush();
    if (version) {
        if (auto r = takeReply<xcb_input_xi_query_version_reply>(c, *version)) {
            hasXInput = r->major_version > 2 || (r->major_version == 2 && r->minor_version >= 2);
        }
    }
    const xcb_window_t checkWindow = firstWord(takeReply<xcb_get_property_reply>(c, check).get());
    setWmCheck(windowManagerValid(checkWindow) ? checkWindow : kNoWindow);
    if (wmCheck == XCB_WINDOW_NONE) staleWmCheck = checkWindow;
    // The active window and the window manager are announced on the root.
    reselect(root);

    if (hasXInput) selectRawInput();
    discoverMonitors();
    if (wmCheck == XCB_WINDOW_NONE) {
        warnings.emplace_back(
            "no EWMH window manager is running; windows cannot be moved reliably");
    }
    if (!hasXInput) {
        warnings.emplace_back(
            "the X server has no XInput 2.2; clicks between two reads may be missed");
    }
}

void X11Desktop::Impl::setWmCheck(xcb_window_t check) {
    if (check == wmCheck) return;
    // Its destruction tells that the window manager has gone.
    const xcb_window_t old = wmCheck;
    wmCheck = check;
    reselect(old);
    reselect(check);
    flush();
    updateFallback();
}

bool X11Desktop::Impl::windowManagerValid(xcb_window_t check) {
    if (check == XCB_WINDOW_NONE) return false;
    // The property outlives a window manager that was killed; only a check window
    // that still exists and points at itself means one is running.
    const auto cookie =
        xcb_get_property(c, 0, check, atoms.NET_SUPPORTING_WM_CHECK, XCB_ATOM_WINDOW, 0, 1);
    flush();
    return firstWord(takeReply<xcb_get_property_reply>(c, cookie).get()) == check;
}

void X11Desktop::Impl::selectRawInput() {
    struct {
        xcb_input_event_mask_t head;
        std::uint32_t bits;
    } mask{};
    mask.head.deviceid = XCB_INPUT_DEVICE_ALL_MASTER;
    mask.head.mask_len = 1;
    // Presses are latched; every raw event also tells that the pointer or a key
    // may have changed, so a still pointer is not asked about again.
    mask.bits = XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_PRESS |
                XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_RELEASE | XCB_INPUT_XI_EVENT_MASK_RAW_KEY_PRESS |
                XCB_INPUT_XI_EVENT_MASK_RAW_KEY_RELEASE | XCB_INPUT_XI_EVENT_MASK_RAW_MOTION;
    xcb_input_xi_select_events(c, root, 1, &mask.head);
    flush();
}

void X11Desktop::Impl::readShiftKeycodes() {
    const xcb_setup_t* setup = xcb_get_setup(c);
    const auto cookie = xcb_get_keyboard_mapping(
        c, setup->min_keycode,
        static_cast<std::uint8_t>(setup->max_keycode - setup->min_keycode + 1));
    flush();
    shiftKeycodes = shiftKeycodesIn(takeReply<xcb_get_keyboard_mapping_reply>(c, cookie).get(),
                                    setup->min_keycode);
}

void X11Desktop::Impl::flush() {
    xcb_flush(c);
}

void X11Desktop::Impl::handleQueuedEvents() {
    while (xcb_generic_event_t* event = xcb_poll_for_queued_event(c)) {
        handleEvent(event);
        std::free(event);
    }
}

void X11Desktop::Impl::handleEvent(const xcb_generic_event_t* event) {
    const std::uint8_t type = event->response_type & 0x7f;
    // Errors (type 0) of requests without replies land here: a window that vanished
    // is an ordinary event for a program watching other applications' windows.
    if (type == XCB_GE_GENERIC) {
        const auto* ge = reinterpret_cast<const xcb_ge_generic_event_t*>(event);
        if (!hasXInput || ge->extension != xinputOpcode) return;
        notifyInput();
        if (ge->event_type == XCB_INPUT_RAW_BUTTON_PRESS) {
            const auto* raw = reinterpret_cast<const xcb_input_raw_button_press_event_t*>(event);
            if (raw->detail == 1) latched.left = true;
            if (raw->detail == 3) latched.right = true;
        } else if (ge->event_type == XCB_INPUT_RAW_KEY_PRESS) {
            const auto* raw = reinterpret_cast<const xcb_input_raw_key_press_event_t*>(event);
            if (std::find(shiftKeycodes.begin(), shiftKeycodes.end(), raw->detail) !=
                shiftKeycodes.end()) {
                latched.shift = true;
            }
        }
        return;
    }
    if (isMonitorEvent(type)) {
        notifyMonitors();
        return;
    }
    if (type == XCB_KEY_PRESS && handleKeyPress(event)) return;
    if (type == XCB_BUTTON_PRESS || type == XCB_BUTTON_RELEASE || type == XCB_MOTION_NOTIFY) {
        // Under the program's own grab the server sends it core events instead of raw ones.
        if (type == XCB_BUTTON_PRESS) {
            const auto* press = reinterpret_cast<const xcb_button_press_event_t*>(event);
            if (press->detail == 1) latched.left = true;
            if (press->detail == 3) latched.right = true;
        }
        notifyInput();
        return;
    }
    noteEvent(event);
    if (type == XCB_PROPERTY_NOTIFY) {
        const auto* notify = reinterpret_cast<const xcb_property_notify_event_t*>(event);
        if (pending && notify->window == pending->window &&
            (notify->atom == atoms.NET_WM_STATE || notify->atom == atoms.NET_FRAME_EXTENTS ||
             notify->atom == atoms.GTK_FRAME_EXTENTS)) {
            pendingWindowChanged();
        }
    } else if (type == XCB_MAPPING_NOTIFY) {
        const auto* mapping = reinterpret_cast<const xcb_mapping_notify_event_t*>(event);
        // xdotool remaps spare keycodes to type unusual keys; Shift may move too.
        if (mapping->request == XCB_MAPPING_KEYBOARD) {
            readShiftKeycodes();
            keyboardMapped(mapping);
        }
    }
}

bool X11Desktop::Impl::alive() {
    if (xcb_connection_has_error(c) == 0) return true;
    reportLoss();
    return false;
}

void X11Desktop::Impl::reportLoss() {
    if (lossNoticed) return;
    lossNoticed = true;
    lossPending = true;
    if (!notifier) return;
    // A dead socket stays readable; without this the notifier would spin.
    notifier->setEnabled(false);
    // Never from inside a call of the program: the handler may tear the program
    // down, so it runs from the event loop once the current call has returned.
    QMetaObject::invokeMethod(
        notifier.get(),
        [this] {
            if (!lostHandler) return;
            lossPending = false;
            lostHandler();
        },
        Qt::QueuedConnection);
}

bool X11Desktop::Impl::waitForEvent(std::chrono::steady_clock::time_point deadline,
                                    const std::function<bool(const xcb_generic_event_t*)>& wanted) {
    for (;;) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
            const bool hit = wanted(event);
            handleEvent(event);
            std::free(event);
            if (hit) return true;
        }
        if (!alive()) return false;
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd readable{xcb_get_file_descriptor(c), POLLIN, 0};
        poll(&readable, 1, static_cast<int>(left.count()));
    }
}

// ---------------------------------------------------------------------------

X11Desktop::X11Desktop(std::unique_ptr<Impl> impl) : d(std::move(impl)) {}

X11Desktop::~X11Desktop() = default;

std::unique_ptr<X11Desktop> X11Desktop::connect(const char* displayName, std::string* error) {
    Display* dpy = XOpenDisplay(displayName);
    xcb_connection_t* c = dpy ? XGetXCBConnection(dpy) : nullptr;
    xcb_screen_t* screen = c ? screenOf(c, DefaultScreen(dpy)) : nullptr;
    if (!screen) {
        if (dpy) XCloseDisplay(dpy);
        if (error) {
            const char* shown = displayName ? displayName : std::getenv("DISPLAY");
            *error = std::string("cannot open the X display \"") + (shown ? shown : "") + "\"";
        }
        return nullptr;
    }
    XSetEventQueueOwner(dpy, XCBOwnsEventQueue);
    auto impl = std::make_unique<Impl>(dpy, c, screen);
    impl->discover();
    if (!impl->alive()) {
        if (error) *error = "the X connection broke while connecting";
        return nullptr;
    }
    std::unique_ptr<X11Desktop> desktop(new X11Desktop(std::move(impl)));
    Impl* d = desktop->d.get();
    d->notifier =
        std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(c), QSocketNotifier::Read);
    QObject::connect(d->notifier.get(), &QSocketNotifier::activated, d->notifier.get(),
                     [desk = desktop.get()] { desk->processEvents(); });
    return desktop;
}

std::vector<std::string> X11Desktop::warnings() const {
    return d->warnings;
}

void X11Desktop::setConnectionLostHandler(std::function<void()> handler) {
    d->lostHandler = std::move(handler);
    if (d->lossPending && d->notifier) {
        QMetaObject::invokeMethod(
            d->notifier.get(),
            [impl = d.get()] {
                if (!impl->lossPending || !impl->lostHandler) return;
                impl->lossPending = false;
                impl->lostHandler();
            },
            Qt::QueuedConnection);
    }
}

void X11Desktop::processEvents() {
    if (!d->alive()) return;
    while (xcb_generic_event_t* event = xcb_poll_for_event(d->c)) {
        d->handleEvent(event);
        std::free(event);
    }
    d->alive();
}

Point X11Desktop::cursorPos() {
    if (!d->alive()) return {};
    const auto cookie = xcb_query_pointer(d->c, d->root);
    d->flush();
    auto r = takeReply<xcb_query_pointer_reply>(d->c, cookie);
    d->handleQueuedEvents();
    return r ? Point{r->root_x, r->root_y} : Point{};
}

PointerSnapshot X11Desktop::readPointer() {
    // Presses that came in since the notifier last ran count as well.
    processEvents();
    if (!d->alive()) return {};
    const auto cookie = xcb_query_pointer(d->c, d->root);
    d->flush();
    auto r = takeReply<xcb_query_pointer_reply>(d->c, cookie);
    // The server sends every event it generated before answering ahead of the
    // reply, so these are all presses up to the moment of the query; latching
    // them now keeps a press seen as "down now" from being reported again next
    // time, and the input they tell of is in the answer.
    d->handleQueuedEvents();
    d->lastPointer = PointerSnapshot{};
    if (r) {
        d->lastPointer.position = Point{r->root_x, r->root_y};
        d->lastPointer.keys.left = (r->mask & kButton1Mask) != 0;
        d->lastPointer.keys.right = (r->mask & kButton3Mask) != 0;
        d->lastPointer.keys.shift = (r->mask & kShiftMask) != 0;
    }
    PointerSnapshot snapshot = d->lastPointer;
    snapshot.keys.left = snapshot.keys.left || d->latched.left;
    snapshot.keys.right = snapshot.keys.right || d->latched.right;
    snapshot.keys.shift = snapshot.keys.shift || d->latched.shift;
    d->latched = KeyStates{};
    return snapshot;
}

ScreenMetrics X11Desktop::metrics() {
    // The root window is the bounding box of every monitor, always from 0,0.
    ScreenMetrics m;
    m.bounds = Rect{0, 0, d->screen->width_in_pixels, d->screen->height_in_pixels};
    m.monitors = {m.bounds};
    if (!d->alive()) return m;
    const auto geometry = xcb_get_geometry(d->c, d->root);
    const auto resources =
        d->requestProperty(d->root, XCB_ATOM_RESOURCE_MANAGER, XCB_ATOM_STRING, 1 << 16);
    const MonitorQuery monitors = d->sendMonitorQuery();
    d->flush();
    if (auto g = takeReply<xcb_get_geometry_reply>(d->c, geometry)) {
        m.bounds = Rect{0, 0, g->width, g->height};
    }
    m.monitors = d->collectMonitors(monitors, m.bounds.right, m.bounds.bottom);
    const auto r = takeReply<xcb_get_property_reply>(d->c, resources);
    d->handleQueuedEvents();
    double dpi = xftDpi(propertyBytes(r.get()));
    if (dpi <= 0) dpi = kDefaultDpi;
    m.dpiX = dpi;
    m.dpiY = dpi;
    return m;
}

}  // namespace sw::x11
