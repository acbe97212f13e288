// Small utilities for talking xcb: replies that free themselves, the atom table the
// backend interns once at connect, and readers for property values.
#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>
#include <type_traits>
#include <vector>

namespace sw::x11 {

// XCB_WINDOW_NONE is an enumerator; this one mixes with window ids in expressions.
inline constexpr xcb_window_t kNoWindow = XCB_WINDOW_NONE;

// xcb hands out replies and errors allocated with malloc.
struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
template <typename T>
using Reply = std::unique_ptr<T, FreeDeleter>;

// Collects one reply. Errors are expected (windows vanish between any two
// requests), so they are freed on the spot and read as a null reply.
template <auto ReplyFn, typename Cookie>
auto takeReply(xcb_connection_t* c, Cookie cookie) {
    xcb_generic_error_t* error = nullptr;
    auto* raw = ReplyFn(c, cookie, &error);
    std::free(error);
    return Reply<std::remove_pointer_t<decltype(raw)>>(raw);
}

using PropertyReply = Reply<xcb_get_property_reply_t>;

// Every atom the backend uses; interned together in one batch at connect.
#define SW_X11_ATOM_TABLE(X)                                       \
    X(UTF8_STRING, "UTF8_STRING")                                  \
    X(COMPOUND_TEXT, "COMPOUND_TEXT")                              \
    X(WM_STATE, "WM_STATE")                                        \
    X(WM_CHANGE_STATE, "WM_CHANGE_STATE")                          \
    X(WM_PROTOCOLS, "WM_PROTOCOLS")                                \
    X(WM_TAKE_FOCUS, "WM_TAKE_FOCUS")                              \
    X(NET_SUPPORTING_WM_CHECK, "_NET_SUPPORTING_WM_CHECK")         \
    X(NET_ACTIVE_WINDOW, "_NET_ACTIVE_WINDOW")                     \
    X(NET_CLIENT_LIST_STACKING, "_NET_CLIENT_LIST_STACKING")       \
    X(NET_FRAME_EXTENTS, "_NET_FRAME_EXTENTS")                     \
    X(GTK_FRAME_EXTENTS, "_GTK_FRAME_EXTENTS")                     \
    X(NET_WM_NAME, "_NET_WM_NAME")                                 \
    X(NET_WM_STATE, "_NET_WM_STATE")                               \
    X(NET_WM_STATE_HIDDEN, "_NET_WM_STATE_HIDDEN")                 \
    X(NET_WM_STATE_MAXIMIZED_VERT, "_NET_WM_STATE_MAXIMIZED_VERT") \
    X(NET_WM_STATE_MAXIMIZED_HORZ, "_NET_WM_STATE_MAXIMIZED_HORZ") \
    X(NET_WM_STATE_ABOVE, "_NET_WM_STATE_ABOVE")                   \
    X(NET_MOVERESIZE_WINDOW, "_NET_MOVERESIZE_WINDOW")             \
    X(NET_RESTACK_WINDOW, "_NET_RESTACK_WINDOW")                   \
    X(NET_WM_WINDOW_TYPE, "_NET_WM_WINDOW_TYPE")                   \
    X(NET_WM_WINDOW_TYPE_DOCK, "_NET_WM_WINDOW_TYPE_DOCK")         \
    X(NET_WM_STATE_SKIP_TASKBAR, "_NET_WM_STATE_SKIP_TASKBAR")     \
    X(NET_WM_STATE_SKIP_PAGER, "_NET_WM_STATE_SKIP_PAGER")         \
    X(NET_WM_WINDOW_TYPE_DESKTOP, "_NET_WM_WINDOW_TYPE_DESKTOP")

struct Atoms {
#define SW_X11_ATOM_MEMBER(member, name) xcb_atom_t member = XCB_ATOM_NONE;
    SW_X11_ATOM_TABLE(SW_X11_ATOM_MEMBER)
#undef SW_X11_ATOM_MEMBER
};

// The 32-bit items of a format-32 property (CARDINAL, WINDOW, ATOM lists).
inline std::vector<std::uint32_t> propertyWords(const xcb_get_property_reply_t* reply) {
    if (!reply || reply->format != 32) return {};
    const auto* words = static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
    const int count = xcb_get_property_value_length(reply) / 4;
    return std::vector<std::uint32_t>(words, words + (count > 0 ? count : 0));
}

// The first 32-bit item, or 0 when the property is unset or of another format.
inline std::uint32_t firstWord(const xcb_get_property_reply_t* reply) {
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply) < 4) return 0;
    return *static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
}

inline std::string_view propertyBytes(const xcb_get_property_reply_t* reply) {
    if (!reply || reply->format != 8) return {};
    const int length = xcb_get_property_value_length(reply);
    if (length <= 0) return {};
    return {static_cast<const char*>(xcb_get_property_value(reply)),
            static_cast<std::size_t>(length)};
}

}  // namespace sw::x11
