// What drawing a changed value costs a bare Qt program, the figure Sizewise's own drawing is
// measured against: one label that shows the active window's width, read on the window manager's
// _NET_ACTIVE_WINDOW change and set in the same turn of the event loop.
#include <xcb/xcb.h>

#include <cstring>
#include <memory>

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QGuiApplication>
#include <QLabel>

namespace {

template <typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

xcb_atom_t internAtom(xcb_connection_t* c, const char* name) {
    const Reply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, std::strlen(name), name), nullptr),
        &std::free);
    return reply ? reply->atom : XCB_ATOM_NONE;
}

// The width of the active window's client, or -1 when there is none.
int activeWidth(xcb_connection_t* c, xcb_window_t root, xcb_atom_t active) {
    const Reply<xcb_get_property_reply_t> property(
        xcb_get_property_reply(c, xcb_get_property(c, 0, root, active, XCB_ATOM_WINDOW, 0, 1),
                               nullptr),
        &std::free);
    if (!property || xcb_get_property_value_length(property.get()) != 4) return -1;
    const auto window = *static_cast<xcb_window_t*>(xcb_get_property_value(property.get()));
    const Reply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr), &std::free);
    return geometry ? geometry->width : -1;
}

class ActiveWatch final : public QAbstractNativeEventFilter {
public:
    ActiveWatch(xcb_connection_t* c, xcb_window_t root, QLabel* label)
        : c_(c), root_(root), active_(internAtom(c, "_NET_ACTIVE_WINDOW")), label_(label) {
        const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
        show();
    }

    bool nativeEventFilter(const QByteArray&, void* message, qintptr*) override {
        const auto* event = static_cast<xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY) return false;
        const auto* change = reinterpret_cast<const xcb_property_notify_event_t*>(event);
        if (change->window == root_ && change->atom == active_) show();
        return false;
    }

private:
    void show() {
        const int width = activeWidth(c_, root_, active_);
        if (width >= 0) label_->setText(QString::number(width));
    }

    xcb_connection_t* c_;
    xcb_window_t root_;
    xcb_atom_t active_;
    QLabel* label_;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLabel label("0000");
    label.setWindowTitle("Active width");
    label.setAlignment(Qt::AlignCenter);
    label.resize(160, 60);
    label.show();
    auto* x11 = app.nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr) return 2;
    xcb_connection_t* c = x11->connection();
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    ActiveWatch watch(c, root, &label);
    app.installNativeEventFilter(&watch);
    return QApplication::exec();
}
