// The whole program, made by its composition root, on the fake desktop with
// Qt's offscreen platform: the monitor's polls run when a test says so, and the
// controls are found by their names, as a user finds them by sight.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include <QtTest/qtestspontaneevent.h>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QTest>

#include "fakedesktop.h"
#include "form1.h"
#include "nativehandle.h"
#include "rulers.h"
#include "sizewise.h"

namespace sw {

// The first widget of that name among all windows of the program.
template <typename W = QWidget>
W* Find(const QString& name) {
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->objectName() == name) return qobject_cast<W*>(top);
        if (W* w = top->findChild<W*>(name)) return w;
    }
    return nullptr;
}

// A menu entry of the program's by its caption.
inline QAction* MenuEntry(const QString& text) {
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

    void start() {
        app = std::make_unique<Sizewise>(fake.desktop(), Options{false},
                                         [this](int s) { ended = s; });
        app->monitor().stop();
        app->Main();
        QApplication::processEvents();
        // The desktop knows the program's window as it knows any other, titled,
        // so that only the own-window test keeps it from being the target.
        fake.adoptWindow(mainHandle(), "Sizewise", Rect{0, 0, 100, 100});
    }
    void poll() { app->monitor().Poll(); }
    // The window manager's close box: a spontaneous close event.
    void closeBox() {
        QCloseEvent close;
        QSpontaneKeyEvent::setSpontaneous(&close);
        qApp->notify(&form(), &close);
    }
    Form1& form() const { return app->mainWindow(); }
    WindowId mainHandle() const { return nativeHandle(&form()); }
    std::string value(int i) const {
        return Find<QLabel>(QString("lblWindowDimension%1").arg(i))->text().toStdString();
    }
    std::string values() const {
        std::string all;
        for (int i = 0; i < 6; ++i) all += (i ? " " : "") + value(i);
        return all;
    }
    // A drag with the left button, as Qt's own widgets see one.
    static void drag(QWidget* w, QPoint from, QPoint to) {
        QTest::mousePress(w, Qt::LeftButton, {}, from);
        QMouseEvent move(QEvent::MouseMove, QPointF(to), w->mapToGlobal(QPointF(to)), Qt::NoButton,
                         Qt::LeftButton, {});
        QApplication::sendEvent(w, &move);
        QTest::mouseRelease(w, Qt::LeftButton, {}, to);
    }
    void click(const QString& name, Qt::MouseButton button = Qt::LeftButton) {
        QWidget* w = Find(name);
        ASSERT_TRUE(w) << name.toStdString();
        QTest::mouseClick(w, button);
    }
    std::string placed(const Placement& p) const {
        return "placeWindow " + std::to_string(target) + " " + std::to_string(p.left) + " " +
               std::to_string(p.top) + " " + std::to_string(p.width) + " " +
               std::to_string(p.height);
    }
    std::string saved(const std::string& section, const std::string& key) const {
        const auto it = fake.saved.find({"Sizewise", section, key});
        return it == fake.saved.end() ? "<absent>" : it->second;
    }

    fake::FakeDesktop fake;
    std::unique_ptr<Sizewise> app;
    WindowId target = 0;
    int ended = -1;
};

}  // namespace sw
