// Global shortcuts: a passive grab of each key with its modifiers on the root window, for every
// combination of the lock modifiers, whose presses come to this connection whichever window has
// the keyboard.
#include <xcb/xcb.h>

#include <QMetaObject>
#include <QSocketNotifier>

#include "x11desktop.h"
#include "x11desktop_p.h"

// Last: Xlib's macros clash with names in Qt's headers.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace sw::x11 {
namespace {

unsigned long keysymOf(std::uint32_t key) {
    if (key >= 'A' && key <= 'Z') return XK_a + (key - 'A');
    if (key >= '0' && key <= '9') return XK_0 + (key - '0');
    if (key > Shortcut::kFunctionKey && key <= Shortcut::kFunctionKey + 24)
        return XK_F1 + (key - Shortcut::kFunctionKey - 1);
    return NoSymbol;
}

}  // namespace

std::string X11Desktop::Impl::grabKey(const Shortcut& shortcut, std::size_t index) {
    const unsigned long keysym = keysymOf(shortcut.key);
    const xcb_keycode_t keycode = keysym == NoSymbol ? 0 : XKeysymToKeycode(dpy, keysym);
    if (keycode == 0) return "no key of this keyboard makes it";
    // Alt and the Super key sit on whichever modifier the keyboard map gives them.
    std::uint16_t mods = (shortcut.ctrl ? XCB_MOD_MASK_CONTROL : 0) |
                         (shortcut.shift ? XCB_MOD_MASK_SHIFT : 0) |
                         (shortcut.alt ? XkbKeysymToModifiers(dpy, XK_Alt_L) : 0) |
                         (shortcut.meta ? XkbKeysymToModifiers(dpy, XK_Super_L) : 0);
    std::vector<xcb_void_cookie_t> grabs;
    const std::size_t first = takenKeys.size();
    for (const std::uint16_t locks : lockCombinations()) {
        const auto all = static_cast<std::uint16_t>(mods | locks);
        grabs.push_back(xcb_grab_key_checked(c, 1, root, all, keycode, XCB_GRAB_MODE_ASYNC,
                                             XCB_GRAB_MODE_ASYNC));
        takenKeys.push_back(TakenKey{keycode, all, index});
    }
    bool refused = false;
    for (const xcb_void_cookie_t cookie : grabs) {
        // BadAccess: another client holds this key with these modifiers.
        if (xcb_generic_error_t* error = xcb_request_check(c, cookie)) {
            std::free(error);
            refused = true;
        }
    }
    if (!refused) return "";
    for (std::size_t i = first; i < takenKeys.size(); ++i)
        xcb_ungrab_key(c, takenKeys[i].keycode, root, takenKeys[i].modifiers);
    takenKeys.resize(first);
    return "another program holds it";
}

void X11Desktop::Impl::ungrabKeys() {
    for (const TakenKey& k : takenKeys) xcb_ungrab_key(c, k.keycode, root, k.modifiers);
    takenKeys.clear();
    flush();
}

bool X11Desktop::Impl::handleKeyPress(const xcb_generic_event_t* event) {
    const auto* press = reinterpret_cast<const xcb_key_press_event_t*>(event);
    for (const TakenKey& k : takenKeys) {
        if (k.keycode != press->detail || k.modifiers != (press->state & 0xff)) continue;
        // From the event loop: events are also handled inside reads of the program's.
        QMetaObject::invokeMethod(
            notifier.get(),
            [this, index = k.index] {
                if (keyHandler) keyHandler(index);
            },
            Qt::QueuedConnection);
        return true;
    }
    return false;
}

void X11Desktop::Impl::keyboardMapped(const xcb_mapping_notify_event_t* event) {
    // Xlib never sees the events xcb reads: its copy of the keyboard map is brought up to date
    // here, and the shortcuts' keys grabbed again where they may now sit.
    XMappingEvent mapped{};
    mapped.type = MappingNotify;
    mapped.display = dpy;
    mapped.request = event->request;
    mapped.first_keycode = event->first_keycode;
    mapped.count = event->count;
    XRefreshKeyboardMapping(&mapped);
    if (takenKeys.empty()) return;
    ungrabKeys();
    for (std::size_t n = 0; n < shortcuts.size(); ++n) {
        if (shortcuts[n].key != 0) grabKey(shortcuts[n], n);
    }
}

std::vector<std::string> X11Desktop::takeShortcuts(const std::vector<Shortcut>& shortcuts,
                                                   PressHandler onPress) {
    Impl& i = *d;
    std::vector<std::string> refusals;
    if (!i.alive()) return std::vector<std::string>(shortcuts.size(), "the display is gone");
    i.ungrabKeys();
    for (std::size_t n = 0; n < shortcuts.size(); ++n)
        refusals.push_back(shortcuts[n].key == 0 ? "" : i.grabKey(shortcuts[n], n));
    i.shortcuts = shortcuts;
    i.keyHandler = std::move(onPress);
    return refusals;
}

}  // namespace sw::x11
