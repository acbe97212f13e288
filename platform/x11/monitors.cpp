// The monitors of an X11 desktop: RandR's monitor list (Xinerama's heads where
// RandR has none), the primary one first, and RandR's reports of a change.
#include <xcb/randr.h>
#include <xcb/xinerama.h>

#include <algorithm>
#include <optional>

#include "x11desktop_p.h"

namespace sw::x11 {
namespace {

Rect rectOf(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) {
    return Rect{x, y, x + width, y + height};
}

}  // namespace

void X11Desktop::Impl::prefetchMonitorExtensions() {
    xcb_prefetch_extension_data(c, &xcb_randr_id);
    xcb_prefetch_extension_data(c, &xcb_xinerama_id);
}

void X11Desktop::Impl::discoverMonitors() {
    const xcb_query_extension_reply_t* randr = xcb_get_extension_data(c, &xcb_randr_id);
    const xcb_query_extension_reply_t* xinerama = xcb_get_extension_data(c, &xcb_xinerama_id);
    std::optional<xcb_randr_query_version_cookie_t> version;
    std::optional<xcb_xinerama_is_active_cookie_t> active;
    if (randr && randr->present) version = xcb_randr_query_version(c, 1, 5);
    if (xinerama && xinerama->present) active = xcb_xinerama_is_active(c);
    flush();
    if (version) {
        if (auto r = takeReply<xcb_randr_query_version_reply>(c, *version)) {
            randrEventBase = randr->first_event;
            hasRandr = true;
            hasRandrMonitors = r->major_version > 1 || r->minor_version >= 5;
        }
    }
    if (active) {
        if (auto r = takeReply<xcb_xinerama_is_active_reply>(c, *active))
            hasXinerama = r->state != 0;
    }
    if (hasRandr) {
        // A monitor added, removed, moved or given a new mode changes the screen
        // or a CRTC; RandR 1.5 also tells of monitors set by hand.
        xcb_randr_select_input(c, root,
                               XCB_RANDR_NOTIFY_MASK_SCREEN_CHANGE |
                                   XCB_RANDR_NOTIFY_MASK_CRTC_CHANGE |
                                   XCB_RANDR_NOTIFY_MASK_OUTPUT_CHANGE);
        flush();
    }
}

bool X11Desktop::Impl::isMonitorEvent(std::uint8_t type) const {
    return hasRandr && (type == randrEventBase + XCB_RANDR_SCREEN_CHANGE_NOTIFY ||
                        type == randrEventBase + XCB_RANDR_NOTIFY);
}

void X11Desktop::Impl::notifyMonitors() {
    if (!monitorsHandler) return;
    runOnceFromEventLoop(monitorsQueued, [this] {
        if (monitorsHandler) monitorsHandler();
    });
}

MonitorQuery X11Desktop::Impl::sendMonitorQuery() {
    MonitorQuery q;
    if (hasRandrMonitors) q.randr = xcb_randr_get_monitors(c, root, 1);
    if (hasXinerama) q.xinerama = xcb_xinerama_query_screens(c);
    return q;
}

std::vector<Rect> X11Desktop::Impl::collectMonitors(const MonitorQuery& q, std::int32_t width,
                                                    std::int32_t height) {
    struct Head {
        Rect rect;
        bool primary = false;
    };
    std::vector<Head> heads;
    if (q.randr) {
        if (auto r = takeReply<xcb_randr_get_monitors_reply>(c, *q.randr)) {
            for (auto it = xcb_randr_get_monitors_monitors_iterator(r.get()); it.rem > 0;
                 xcb_randr_monitor_info_next(&it)) {
                heads.push_back({rectOf(it.data->x, it.data->y, it.data->width, it.data->height),
                                 it.data->primary != 0});
            }
        }
    }
    if (q.xinerama) {
        auto r = takeReply<xcb_xinerama_query_screens_reply>(c, *q.xinerama);
        if (r && heads.empty()) {
            const xcb_xinerama_screen_info_t* info =
                xcb_xinerama_query_screens_screen_info(r.get());
            const int count = xcb_xinerama_query_screens_screen_info_length(r.get());
            for (int i = 0; i < count; ++i) {
                heads.push_back(
                    {rectOf(info[i].x_org, info[i].y_org, info[i].width, info[i].height)});
            }
        }
    }
    std::erase_if(heads, [](const Head& h) { return h.rect.width() <= 0 || h.rect.height() <= 0; });
    if (heads.empty()) return {Rect{0, 0, width, height}};
    // Where none is marked primary, the one holding the desktop's origin is, else the first.
    auto primary =
        std::find_if(heads.begin(), heads.end(), [](const Head& h) { return h.primary; });
    if (primary == heads.end()) {
        primary = std::find_if(heads.begin(), heads.end(), [](const Head& h) {
            return h.rect.left <= 0 && h.rect.top <= 0 && h.rect.right > 0 && h.rect.bottom > 0;
        });
    }
    if (primary != heads.end()) std::rotate(heads.begin(), primary, primary + 1);
    std::vector<Rect> out;
    for (const Head& h : heads) out.push_back(h.rect);
    return out;
}

void X11Desktop::setMonitorsHandler(MonitorsHandler onChange) {
    d->monitorsHandler = std::move(onChange);
}

}  // namespace sw::x11
