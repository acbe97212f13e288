// The contract's world on a private X server.
#include "x11world.h"

#include <xcb/xcb_icccm.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include <QCoreApplication>

#include "xcbutil.h"

namespace sw::test {

using x11::Reply;

bool runOnDisplay(const std::string& command) {
    return std::system(command.c_str()) == 0;
}

bool underWindowManager() {
    const char* wm = std::getenv("SIZEWISE_TEST_WM");
    return wm == nullptr || std::string(wm) != "none";
}

std::unique_ptr<World> openWorld() {
    return std::make_unique<X11World>();
}

X11World::X11World() {
    std::string error;
    owned_ = x11::X11Desktop::connect(nullptr, &error);
    if (!owned_) throw std::runtime_error(error);
    desk = owned_.get();
    c = xcb_connect(nullptr, nullptr);
    root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
}

X11World::~X11World() {
    for (const WindowId w : opened_) xcb_destroy_window(c, w);
    sync();
    xcb_disconnect(c);
}

xcb_atom_t X11World::atom(const char* name) {
    Reply<xcb_intern_atom_reply_t> r{
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, std::strlen(name), name), nullptr)};
    return r ? r->atom : xcb_atom_t{XCB_ATOM_NONE};
}

void X11World::sync() {
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}

void X11World::setText(WindowId window, const char* property, const char* type,
                       const std::string& bytes) {
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, atom(property), atom(type), 8,
                        static_cast<std::uint32_t>(bytes.size()), bytes.data());
    sync();
}

WindowId X11World::open(const std::string& title) {
    const xcb_window_t w = xcb_generate_id(c);
    // White, and telling of the presses it gets.
    const std::uint32_t values[] = {xcb_setup_roots_iterator(xcb_get_setup(c)).data->white_pixel,
                                    XCB_EVENT_MASK_BUTTON_PRESS};
    xcb_create_window(c, XCB_COPY_FROM_PARENT, w, root, 120, 110, 400, 300, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT,
                      XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
    xcb_size_hints_t size{};
    xcb_icccm_size_hints_set_position(&size, 1, 120, 110);
    xcb_icccm_size_hints_set_size(&size, 1, 400, 300);
    xcb_icccm_set_wm_normal_hints(c, w, &size);
    xcb_icccm_wm_hints_t hints{};
    xcb_icccm_wm_hints_set_input(&hints, 1);
    xcb_icccm_set_wm_hints(c, w, &hints);
    // An ordinary application window, as real ones declare themselves.
    const xcb_atom_t normal = atom("_NET_WM_WINDOW_TYPE_NORMAL");
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, atom("_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM, 32,
                        1, &normal);
    setText(w, "_NET_WM_NAME", "UTF8_STRING", title);
    setText(w, "WM_NAME", "UTF8_STRING", title);
    xcb_map_window(c, w);
    sync();
    opened_.push_back(w);
    if (!eventually([&] { return managed(w); }))
        throw std::runtime_error("a test window was never shown");
    return w;
}

bool X11World::managed(WindowId window) {
    if (underWindowManager())
        return words(window, "WM_STATE").size() >= 1 && words(window, "WM_STATE")[0] == 1;
    Reply<xcb_get_window_attributes_reply_t> a{
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr)};
    return a && a->map_state == XCB_MAP_STATE_VIEWABLE;
}

void X11World::moveAsItsProgram(WindowId window, Point to) {
    const std::uint32_t place[] = {static_cast<std::uint32_t>(to.x),
                                   static_cast<std::uint32_t>(to.y)};
    xcb_configure_window(c, window, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, place);
    sync();
}

void X11World::rename(WindowId window, const std::string& title) {
    setText(window, "_NET_WM_NAME", "UTF8_STRING", title);
    setText(window, "WM_NAME", "UTF8_STRING", title);
}

void X11World::settle() {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(200);
    eventually([&] { return std::chrono::steady_clock::now() > until; });
}

void X11World::setBorder(WindowId window, std::uint32_t width) {
    xcb_configure_window(c, window, XCB_CONFIG_WINDOW_BORDER_WIDTH, &width);
    sync();
}

void X11World::close(WindowId window) {
    xcb_destroy_window(c, window);
    sync();
    std::erase(opened_, window);
}

Rect X11World::frameOf(WindowId window) {
    // The frame is the client's parent while a window manager has it.
    Reply<xcb_query_tree_reply_t> tree{xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr)};
    const xcb_window_t frame = tree && tree->parent != root ? tree->parent : xcb_window_t{window};
    Reply<xcb_get_geometry_reply_t> g{
        xcb_get_geometry_reply(c, xcb_get_geometry(c, frame), nullptr)};
    Reply<xcb_translate_coordinates_reply_t> t{xcb_translate_coordinates_reply(
        c, xcb_translate_coordinates(c, frame, root, 0, 0), nullptr)};
    if (!g || !t) return {};
    const std::int32_t x = t->dst_x - g->border_width, y = t->dst_y - g->border_width;
    return Rect{x, y, x + g->width + 2 * g->border_width, y + g->height + 2 * g->border_width};
}

Rect X11World::visible(WindowId window) {
    Reply<xcb_get_geometry_reply_t> g{
        xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr)};
    Reply<xcb_translate_coordinates_reply_t> t{xcb_translate_coordinates_reply(
        c, xcb_translate_coordinates(c, window, root, 0, 0), nullptr)};
    if (!g || !t) return {};
    Rect r{t->dst_x, t->dst_y, t->dst_x + g->width, t->dst_y + g->height};
    auto e = words(window, "_NET_FRAME_EXTENTS");  // left, right, top, bottom
    const bool framed = e.size() == 4 && (e[0] | e[1] | e[2] | e[3]) != 0;
    if (!framed) {
        e = words(window, "_GTK_FRAME_EXTENTS");
        if (e.size() != 4) e = {0, 0, 0, 0};
        for (auto& v : e) v = -v;
    }
    const auto s = [](std::uint32_t v) { return static_cast<std::int32_t>(v); };
    return Rect{r.left - s(e[0]), r.top - s(e[2]), r.right + s(e[1]), r.bottom + s(e[3])};
}

std::vector<std::uint32_t> X11World::words(WindowId window, const char* property) {
    Reply<xcb_get_property_reply_t> r{xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, atom(property), XCB_GET_PROPERTY_TYPE_ANY, 0, 1024),
        nullptr)};
    if (!r || r->format != 32) return {};
    const auto* v = static_cast<const std::uint32_t*>(xcb_get_property_value(r.get()));
    return std::vector<std::uint32_t>(v, v + xcb_get_property_value_length(r.get()) / 4);
}

bool X11World::hasState(WindowId window, const char* state) {
    const auto states = words(window, "_NET_WM_STATE");
    return std::find(states.begin(), states.end(), atom(state)) != states.end();
}

bool X11World::isToolWindow(WindowId window) {
    return hasState(window, "_NET_WM_STATE_SKIP_TASKBAR") &&
           hasState(window, "_NET_WM_STATE_SKIP_PAGER");
}

void X11World::click(Point at, int button, bool withShift) {
    const std::string shift = withShift ? " keydown shift" : "";
    runOnDisplay("xdotool mousemove " + std::to_string(at.x) + " " + std::to_string(at.y) + shift +
                 " click " + std::to_string(button) + (withShift ? " keyup shift" : ""));
}

int X11World::pressesOn(WindowId window) {
    while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
        if ((event->response_type & 0x7f) == XCB_BUTTON_PRESS) {
            ++presses_[reinterpret_cast<xcb_button_press_event_t*>(event)->event];
        }
        std::free(event);
    }
    return presses_[window];
}

void X11World::tapShift() {
    runOnDisplay("xdotool key shift");
}

namespace {

// As xdotool names keys: "ctrl+alt+F5".
std::string keyName(const Shortcut& s) {
    std::string name = std::string(s.ctrl ? "ctrl+" : "") + (s.alt ? "alt+" : "") +
                       (s.shift ? "shift+" : "") + (s.meta ? "super+" : "");
    if (s.key > Shortcut::kFunctionKey)
        return name + "F" + std::to_string(s.key - Shortcut::kFunctionKey);
    return name + static_cast<char>(std::tolower(static_cast<int>(s.key)));
}

}  // namespace

void X11World::press(const Shortcut& shortcut) {
    runOnDisplay("xdotool key " + keyName(shortcut));
}

void X11World::holdElsewhere(const Shortcut& shortcut) {
    // This connection is another program: it grabs the key with exactly these modifiers.
    const std::uint32_t keysym =
        shortcut.key > Shortcut::kFunctionKey
            ? 0xffbe + (shortcut.key - Shortcut::kFunctionKey - 1)
            : static_cast<std::uint32_t>(std::tolower(static_cast<int>(shortcut.key)));
    const xcb_setup_t* setup = xcb_get_setup(c);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    Reply<xcb_get_keyboard_mapping_reply_t> map{xcb_get_keyboard_mapping_reply(
        c, xcb_get_keyboard_mapping(c, setup->min_keycode, static_cast<std::uint8_t>(count)),
        nullptr)};
    const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(map.get());
    int key = 0;
    for (int i = 0; i < count * map->keysyms_per_keycode && key == 0; ++i)
        if (syms[i] == keysym) key = setup->min_keycode + i / map->keysyms_per_keycode;
    const auto mods = static_cast<std::uint16_t>(
        (shortcut.ctrl ? XCB_MOD_MASK_CONTROL : 0) | (shortcut.shift ? XCB_MOD_MASK_SHIFT : 0) |
        (shortcut.alt ? XCB_MOD_MASK_1 : 0) | (shortcut.meta ? XCB_MOD_MASK_4 : 0));
    xcb_grab_key(c, 1, root, mods, static_cast<xcb_keycode_t>(key), XCB_GRAB_MODE_ASYNC,
                 XCB_GRAB_MODE_ASYNC);
    sync();
}

ScreenMetrics X11World::expectedScreen() {
    return ScreenMetrics{Rect{0, 0, 1024, 768}, 96, 96, {Rect{0, 0, 1024, 768}}};
}

bool X11World::eventually(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

}  // namespace sw::test
