// Clicks that go to the program alone: a passive grab of SHIFT and the left button on the root
// window (the start of a measurement) and an active grab of the pointer (while measuring). The
// presses reach the program as the grab's core events.
#include <xcb/xcb.h>

#include <QtGlobal>
#include <array>

#include "x11desktop.h"
#include "x11desktop_p.h"

// Last: Xlib's macros clash with names in Qt's headers.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/cursorfont.h>
#include <X11/keysym.h>

namespace sw::x11 {
namespace {

// What the grabs send the program: a grab sends its holder core events in place of the raw
// XInput ones, which the server keeps from the grabbing client.
constexpr std::uint16_t kPointerEvents =
    XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE | XCB_EVENT_MASK_POINTER_MOTION;

}  // namespace

std::vector<std::uint16_t> X11Desktop::Impl::lockCombinations() {
    // A passive grab matches its modifiers exactly: with Caps Lock or Num Lock on, SHIFT+click
    // carries their bits too, so each combination is grabbed.
    const auto numLock = static_cast<std::uint16_t>(XkbKeysymToModifiers(dpy, XK_Num_Lock));
    std::vector<std::uint16_t> out{0, XCB_MOD_MASK_LOCK};
    if (numLock != 0) {
        out.push_back(numLock);
        out.push_back(static_cast<std::uint16_t>(numLock | XCB_MOD_MASK_LOCK));
    }
    return out;
}

bool X11Desktop::Impl::grabShiftLeft(bool grab) {
    // Sent together and checked together: one round trip for every combination.
    std::vector<xcb_void_cookie_t> grabs;
    for (const std::uint16_t locks : lockCombinations()) {
        const auto mods = static_cast<std::uint16_t>(XCB_MOD_MASK_SHIFT | locks);
        if (!grab) {
            xcb_ungrab_button(c, XCB_BUTTON_INDEX_1, root, mods);
            continue;
        }
        grabs.push_back(xcb_grab_button_checked(c, 0, root, kPointerEvents, XCB_GRAB_MODE_ASYNC,
                                                XCB_GRAB_MODE_ASYNC, XCB_WINDOW_NONE,
                                                XCB_CURSOR_NONE, XCB_BUTTON_INDEX_1, mods));
    }
    flush();
    bool ok = true;
    for (const xcb_void_cookie_t cookie : grabs) {
        // Refused when another program holds the same combination.
        if (xcb_generic_error_t* error = xcb_request_check(c, cookie)) {
            std::free(error);
            ok = false;
        }
    }
    return ok;
}

bool X11Desktop::Impl::grabPointer(bool grab) {
    if (!grab) {
        xcb_ungrab_pointer(c, XCB_CURRENT_TIME);
        flush();
        return true;
    }
    if (measureCursor == 0) measureCursor = XCreateFontCursor(dpy, XC_crosshair);
    const auto cookie = xcb_grab_pointer(
        c, 0, root, kPointerEvents, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC, XCB_WINDOW_NONE,
        static_cast<xcb_cursor_t>(measureCursor), XCB_CURRENT_TIME);
    flush();
    auto r = takeReply<xcb_grab_pointer_reply>(c, cookie);
    return r && r->status == XCB_GRAB_STATUS_SUCCESS;
}

void X11Desktop::setClickCapture(ClickCapture capture) {
    Impl& i = *d;
    if (capture == i.capture || !i.alive()) return;
    bool ok = true;
    if (i.capture == ClickCapture::All) i.grabPointer(false);
    if ((i.capture == ClickCapture::Off) != (capture == ClickCapture::Off)) {
        ok = i.grabShiftLeft(capture != ClickCapture::Off) && ok;
    }
    if (capture == ClickCapture::All) ok = i.grabPointer(true) && ok;
    i.capture = capture;
    if (!ok && !i.captureRefused) {
        i.captureRefused = true;
        qWarning(
            "sizewise: another program holds the pointer; measuring clicks also reach "
            "the window under the pointer");
    }
}

}  // namespace sw::x11
