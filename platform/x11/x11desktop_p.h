// The state behind X11Desktop, shared by the files that implement it: the
// connection, the atoms, what was found at connect, the request batches and the
// pointer latches.
#pragma once

#include <xcb/randr.h>
#include <xcb/xcb.h>
#include <xcb/xinerama.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "geometry.h"
#include "x11desktop.h"
#include "xcbutil.h"

class QSocketNotifier;
class QTimer;
struct _XDisplay;

namespace sw::x11 {

// Widths of a border around the client on each side: the window manager's frame
// (_NET_FRAME_EXTENTS), or the invisible shadow a client that draws its own
// decorations keeps inside its window (_GTK_FRAME_EXTENTS).
struct Extents {
    std::int32_t left = 0;
    std::int32_t right = 0;
    std::int32_t top = 0;
    std::int32_t bottom = 0;
    friend bool operator==(const Extents&, const Extents&) = default;
};

// The requests one read of a window sends, sent together and collected later.
struct WindowQuery {
    xcb_window_t window = XCB_WINDOW_NONE;
    xcb_get_geometry_cookie_t geometry{};
    xcb_translate_coordinates_cookie_t translate{};
    xcb_get_property_cookie_t extents{};
    xcb_get_property_cookie_t shadow{};
    xcb_get_property_cookie_t wmState{};
    xcb_get_property_cookie_t netWmState{};
    std::optional<xcb_get_property_cookie_t> netWmName;
    std::optional<xcb_get_property_cookie_t> wmName;
};

// What one read of a window found.
struct WindowFacts {
    bool exists = false;
    std::int32_t clientX = 0;  // root position of the client's top-left corner
    std::int32_t clientY = 0;
    std::int32_t width = 0;  // client size including its border
    std::int32_t height = 0;
    Extents extents;  // the window manager's frame
    Extents shadow;   // the client's own shadow, _GTK_FRAME_EXTENTS
    bool iconic = false;
    bool maximisedVert = false;
    bool maximisedHorz = false;
    std::string title;

    bool maximised() const { return maximisedVert && maximisedHorz; }
    bool anyMaximised() const { return maximisedVert || maximisedHorz; }
    // The shadow that is not part of what the user sees as the window: the client's
    // own, unless the window manager frames the window (then the frame is the window).
    Extents invisibleShadow() const;
    // What is seen: the client with the window manager's frame, less the shadow.
    // A minimised window keeps the place and size it is restored to.
    Rect outerRect() const;
    WindowState state() const;
};

// A placement of a maximised window, held back until the window manager has
// taken the maximised state off: it ignores moves until then, and the size to
// ask for depends on the extents of the normal frame.
struct PendingPlacement {
    xcb_window_t window = XCB_WINDOW_NONE;
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    Extents maximisedExtents;
    // The waits that ran out while the window still read as maximised.
    int waitsWhileMaximised = 0;

    // Whether the window manager has finished restoring the window: the state is off and the
    // frame's extents changed, or the client drew its shadow again. A maximised window has no
    // shadow (it fills the work area), also when the client has not yet taken down the one read
    // as it was maximised.
    bool restoredIn(const WindowFacts& now) const;
};

// A window whose changes are reported, and the frame the window manager keeps
// it in (none while it has none).
struct Watched {
    xcb_window_t client = XCB_WINDOW_NONE;
    xcb_window_t frame = XCB_WINDOW_NONE;
};

// The requests one read of the monitors sends.
struct MonitorQuery {
    std::optional<xcb_randr_get_monitors_cookie_t> randr;
    std::optional<xcb_xinerama_query_screens_cookie_t> xinerama;
};

// The client-message actions of _NET_WM_STATE.
enum class StateAction : std::uint32_t { Remove = 0, Add = 1 };

struct X11Desktop::Impl {
    Impl(_XDisplay* display, xcb_connection_t* connection, xcb_screen_t* screen);
    ~Impl();

    // connect-time discovery: atoms, window manager, XInput, keyboard map.
    void discover();
    void primeXlibAtoms();
    bool windowManagerValid(xcb_window_t check);
    void selectRawInput();
    void readShiftKeycodes();

    // Sends what was asked; the requests of a batch go together and their replies are then
    // collected, one round trip for the whole batch.
    void flush();
    // After a batch came in, the events read with it are handled without
    // touching the socket.
    void handleQueuedEvents();
    void handleEvent(const xcb_generic_event_t* event);

    // False, and the loss reported once from the event loop, when the connection
    // has broken.
    bool alive();
    void reportLoss();

    xcb_get_property_cookie_t requestProperty(xcb_window_t window, xcb_atom_t property,
                                              xcb_atom_t type, std::uint32_t words);
    WindowQuery sendWindowQuery(xcb_window_t window, bool withTitle);
    WindowFacts collect(const WindowQuery& query);
    void discard(const WindowQuery& query);
    WindowFacts readWindow(xcb_window_t window, bool withTitle);
    void dropPrefetch();

    xcb_window_t topLevelOf(xcb_window_t window);
    xcb_window_t focusTopLevel(std::optional<xcb_get_input_focus_cookie_t> cookie);

    void sendToRoot(xcb_window_t window, xcb_atom_t type, std::uint32_t l0, std::uint32_t l1 = 0,
                    std::uint32_t l2 = 0, std::uint32_t l3 = 0, std::uint32_t l4 = 0);
    void changeState(xcb_window_t window, StateAction action, xcb_atom_t first,
                     xcb_atom_t second = XCB_ATOM_NONE);
    void activate(xcb_window_t window);
    void sendPlacement(xcb_window_t window, const WindowFacts& facts, std::int32_t left,
                       std::int32_t top, std::int32_t width, std::int32_t height);
    void deferPlacement(xcb_window_t window, const WindowFacts& maximised, std::int32_t left,
                        std::int32_t top, std::int32_t width, std::int32_t height);
    void pendingWindowChanged();
    // When a held-back placement is sent: once the window reads as restored, when a wait ran
    // out (but not while the window still reads as maximised, for a while), or now.
    enum class PendingCheck { OnceRestored, WaitOver, Now };
    void completePending(PendingCheck check);
    void sendPendingIfRestored(const WindowFacts& now, bool onlyOnceRestored);
    void dropPending();
    void selectEvents(xcb_window_t window, std::uint32_t mask);
    // The events this connection wants of a window for everything it watches
    // there, and selecting them.
    std::uint32_t eventMaskFor(xcb_window_t window) const;
    void reselect(xcb_window_t window);
    void setWmCheck(xcb_window_t check);

    // Monitors (monitors.cpp).
    void prefetchMonitorExtensions();
    void discoverMonitors();
    bool isMonitorEvent(std::uint8_t type) const;
    void notifyMonitors();
    MonitorQuery sendMonitorQuery();
    // Primary first; the whole root when the server lists none.
    std::vector<Rect> collectMonitors(const MonitorQuery& query, std::int32_t width,
                                      std::int32_t height);

    // Reporting changes (watching.cpp).
    void watch(xcb_window_t client);
    void keepWatching(const std::vector<xcb_window_t>& clients);
    void refreshFrames();
    bool isWatched(xcb_window_t window) const;
    void noteEvent(const xcb_generic_event_t* event);
    void notifyChange();
    void notifyInput();
    // Runs run from the event loop once, however often asked before it has run.
    void runOnceFromEventLoop(bool& queued, std::function<void()> run);
    void updateFallback();
    void lookForWarp();
    void placeWithoutManager(xcb_window_t window, std::int32_t left, std::int32_t top,
                             std::int32_t width, std::int32_t height);
    xcb_window_t topmostCandidate(const std::vector<xcb_window_t>& bottomToTop,
                                  xcb_window_t pushedBack, bool checkMapped);
    void sendToBackWithoutManager();

    // Waits on the connection until an event for which wanted() holds has been
    // handled, or the deadline passes (false).
    bool waitForEvent(std::chrono::steady_clock::time_point deadline,
                      const std::function<bool(const xcb_generic_event_t*)>& wanted);

    // Xlib owns the connection, for its text conversions alone; everything else
    // goes through xcb, which also owns the event queue.
    _XDisplay* dpy;
    xcb_connection_t* c;
    xcb_screen_t* screen;
    xcb_window_t root;
    Atoms atoms;

    bool hasXInput = false;
    std::uint8_t xinputOpcode = 0;
    std::vector<xcb_keycode_t> shiftKeycodes;
    KeyStates latched;
    // The pointer as last queried.
    PointerSnapshot lastPointer;

    // Clicks taken from the window under the pointer (capture.cpp).
    std::vector<std::uint16_t> lockCombinations();
    bool grabShiftLeft(bool grab);
    bool grabPointer(bool grab);
    ClickCapture capture = ClickCapture::Off;
    bool captureRefused = false;
    unsigned long measureCursor = 0;  // an Xlib Cursor, made at the first grab

    // Global shortcuts (keys.cpp): each grabbed key, for every lock combination.
    struct TakenKey {
        xcb_keycode_t keycode = 0;
        std::uint16_t modifiers = 0;
        std::size_t index = 0;
    };
    xcb_keycode_t keycodeOf(const Shortcut& shortcut);
    // Grabs the shortcuts' keys; for each, why not where it could not be.
    std::vector<std::string> grabKeys();
    void ungrabKeys();
    bool handleKeyPress(const xcb_generic_event_t* event);
    void keyboardMapped(const xcb_mapping_notify_event_t* event);
    std::vector<TakenKey> takenKeys;
    std::vector<Shortcut> shortcuts;
    GlobalKeys::PressHandler keyHandler;

    // The window manager's check window while one runs, else none.
    xcb_window_t wmCheck = XCB_WINDOW_NONE;
    xcb_window_t staleWmCheck = XCB_WINDOW_NONE;
    std::vector<std::string> warnings;

    // The windows described since the last foreground query (a poll reads one,
    // or two when an untitled foreground falls back to the previous target), and
    // their next reads, sent ahead with the next foreground query.
    std::vector<xcb_window_t> describedSinceForeground;
    std::vector<WindowQuery> prefetch;

    // What changes are reported for, and to whom.
    std::vector<Watched> watched;
    bool framesStale = false;
    ChangeHandler changeHandler;
    bool changeQueued = false;
    std::unique_ptr<QTimer> fallbackTimer;
    InputHandler inputHandler;
    bool inputQueued = false;
    std::unique_ptr<QTimer> warpTimer;

    bool hasRandr = false;
    bool hasRandrMonitors = false;  // RandR 1.5
    std::uint8_t randrEventBase = 0;
    bool hasXinerama = false;
    MonitorsHandler monitorsHandler;
    bool monitorsQueued = false;

    std::optional<PendingPlacement> pending;
    bool pendingCheckQueued = false;
    std::unique_ptr<QTimer> pendingTimer;

    std::unique_ptr<QSocketNotifier> notifier;
    std::function<void()> lostHandler;
    bool lossNoticed = false;
    bool lossPending = false;
};

}  // namespace sw::x11
