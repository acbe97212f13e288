// Global shortcuts: a passive grab of each key with its modifiers on the root window, for every
// combination of the lock modifiers, whose presses come to this connection whichever window has
// the keyboard.
#include <xcb/xcb.h>

#include <QMetaObject>
#include <QSocketNotifier>
#include <algorithm>

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

xcb_keycode_t X11Desktop::Impl::keycodeOf(const Shortcut& shortcut) {
    const unsigned long keysym = keysymOf(shortcut.key);
    return keysym == NoSymbol ? 0 : XKeysymToKeycode(dpy, keysym);
}

std::vector<std::string> X11Desktop::Impl::grabKeys() {
    // Every grab sent, then every one checked: one round trip for all the shortcuts.
    std::vector<std::string> refusals(shortcuts.size());
    std::vector<xcb_void_cookie_t> grabs;
    const std::size_t first = takenKeys.size();
    const std::vector<std::uint16_t> locks = lockCombinations();
    for (std::size_t n = 0; n < shortcuts.size(); ++n) {
        const Shortcut& s = shortcuts[n];
        const xcb_keycode_t keycode = keycodeOf(s);
        if (s.key == 0 || keycode == 0) {
            if (s.key != 0) refusals[n] = "no key of this keyboard makes it";
            continue;
        }
        // Alt and the Super key sit on whichever modifier the keyboard map gives them.
        const unsigned mods = (s.ctrl ? XCB_MOD_MASK_CONTROL : 0) |
                              (s.shift ? XCB_MOD_MASK_SHIFT : 0) |
                              (s.alt ? XkbKeysymToModifiers(dpy, XK_Alt_L) : 0) |
                              (s.meta ? XkbKeysymToModifiers(dpy, XK_Super_L) : 0);
        for (const std::uint16_t lock : locks) {
            const auto all = static_cast<std::uint16_t>(mods | lock);
            grabs.push_back(xcb_grab_key_checked(c, 1, root, all, keycode, XCB_GRAB_MODE_ASYNC,
                                                 XCB_GRAB_MODE_ASYNC));
            takenKeys.push_back(TakenKey{keycode, all, n});
        }
    }
    flush();
    for (std::size_t g = 0; g < grabs.size(); ++g) {
        // BadAccess: another client holds this key with these modifiers.
        if (xcb_generic_error_t* error = xcb_request_check(c, grabs[g])) {
            std::free(error);
            refusals[takenKeys[first + g].index] = "another program holds it";
        }
    }
    // A shortcut refused in one combination is given back in all.
    std::erase_if(takenKeys, [&](const TakenKey& k) {
        if (refusals[k.index].empty()) return false;
        xcb_ungrab_key(c, k.keycode, root, k.modifiers);
        return true;
    });
    return refusals;
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
    // Most changes (a program typing an unusual key on a spare keycode) leave them where they are.
    const bool moved = std::any_of(takenKeys.begin(), takenKeys.end(), [this](const TakenKey& k) {
        return keycodeOf(shortcuts[k.index]) != k.keycode;
    });
    if (!moved) return;
    ungrabKeys();
    grabKeys();
}

std::vector<std::string> X11Desktop::takeShortcuts(const std::vector<Shortcut>& shortcuts,
                                                   PressHandler onPress) {
    Impl& i = *d;
    if (!i.alive()) return std::vector<std::string>(shortcuts.size(), "the display is gone");
    i.ungrabKeys();
    i.shortcuts = shortcuts;
    i.keyHandler = std::move(onPress);
    return i.grabKeys();
}

}  // namespace sw::x11
