// The whole program, made by its composition root, on the fake desktop with Qt's offscreen
// platform and a clock the test sets: readings come when a test says the desktop changed, and
// the controls are found by their names, as a user finds them by sight.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include <QtTest/qtestspontaneevent.h>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include "fakedesktop.h"
#include "mainwindow.h"
#include "nativehandle.h"
#include "sizewise.h"

namespace sw {

// The first widget of that name among all windows of the program.
template <typename W = QWidget>
W* findWidget(const QString& name) {
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->objectName() == name) return qobject_cast<W*>(top);
        if (W* w = top->findChild<W*>(name)) return w;
    }
    return nullptr;
}

// A menu entry of the program's by its caption.
inline QAction* menuEntry(const QString& text) {
    for (QWidget* top : QApplication::topLevelWidgets()) {
        for (QAction* a : top->findChildren<QAction*>()) {
            if (a->text() == text) return a;
        }
    }
    ADD_FAILURE() << "no menu entry " << text.toStdString();
    static QAction none;
    return &none;
}

class App : public ::testing::Test {
protected:
    void SetUp() override {
        target = fake.addWindow("Target", Rect{21, 21, 821, 621});
        fake.setForeground(target);
    }
    void TearDown() override { app.reset(); }

    void start(bool splash = false) {
        app = std::make_unique<Sizewise>(
            fake.desktop(), Options{splash, offer}, [this](int s) { ended = s; },
            [this] { return now; });
        app->start();
        QApplication::processEvents();
        // The desktop knows the program's window as it knows any other, titled, so that only the
        // own-window rule keeps it from being the target.
        if (splash) return;
        fake.adoptWindow(static_cast<WindowId>(window().winId()), "Sizewise", Rect{0, 0, 100, 100});
        poll();
    }
    // Time passes, the desktop says it changed, and the program reads it.
    void poll() {
        now += std::chrono::milliseconds(20);
        fake.changed();
        fake.deliverChanges();
        QApplication::processEvents();
    }
    // The window manager's close box: a spontaneous close event.
    void closeBox() {
        QCloseEvent close;
        QSpontaneKeyEvent::setSpontaneous(&close);
        qApp->notify(&window(), &close);
    }
    MainWindow& window() const { return *findWidget<MainWindow>("mainWindow"); }
    WindowId mainHandle() const { return nativeHandle(&window()); }
    static std::string value(const char* name) {
        return findWidget<QLabel>(QString(name) + "Value")->text().toStdString();
    }
    static std::string values() {
        std::string all;
        for (const char* name : {"left", "top", "right", "bottom", "width", "height"}) {
            all += (all.empty() ? "" : " ") + value(name);
        }
        return all;
    }
    static std::string title() { return findWidget<QLabel>("targetTitle")->text().toStdString(); }
    // A drag with the left button, as Qt's own widgets see one.
    static void drag(QWidget* w, QPoint from, QPoint to) {
        QTest::mousePress(w, Qt::LeftButton, {}, from);
        QMouseEvent move(QEvent::MouseMove, QPointF(to), w->mapToGlobal(QPointF(to)), Qt::NoButton,
                         Qt::LeftButton, {});
        QApplication::sendEvent(w, &move);
        QTest::mouseRelease(w, Qt::LeftButton, {}, to);
    }
    static void click(const QString& name, Qt::MouseButton button = Qt::LeftButton) {
        QWidget* w = findWidget(name);
        ASSERT_TRUE(w) << name.toStdString();
        QTest::mouseClick(w, button);
    }
    Rect frame() { return fake.window(target)->rect; }
    // No reading, pointer work or menu is waiting to run: while nothing changes, nothing will.
    bool nothingDue() const {
        for (const QTimer* timer : app->findChildren<QTimer*>()) {
            if (timer->isActive()) return false;
        }
        return true;
    }
    std::string saved(const std::string& section, const std::string& key) const {
        const auto it = fake.saved.find({"Sizewise", section, key});
        return it == fake.saved.end() ? "<absent>" : it->second;
    }

    fake::FakeDesktop fake;
    std::optional<DesktopOffer> offer;
    std::unique_ptr<Sizewise> app;
    TimePoint now = std::chrono::steady_clock::now();
    WindowId target = 0;
    int ended = -1;
};

}  // namespace sw
