// A main window on the fake desktop, with its timer stopped so that each test
// runs the polls itself.
#pragma once

#include <memory>
#include <string>

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QTimer>

#include "app/module1.h"
#include "mainwindow/controls.h"
#include "mainwindow/form1.h"
#include "platform/fake/fakedesktop.h"
#include "platform/qt/nativehandle.h"

namespace sw {

class FormTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<Form1>(g, desktop, [this](int status) { endStatus = status; });
        g.gMainForm = form.get();
        form->tmrCheckActiveWindow->stop();
        // The start-up splash is tested on its own; here it closes at once.
        form->mSplashTime = std::chrono::milliseconds(0);
        form->Form_Load();
        form->show();
        QApplication::processEvents();
        // The desktop knows the program's own window as it knows any other, with
        // a title, so that only the own-window test keeps it from being the target.
        fake.adoptWindow(mainHandle(), "Sizewise", Rect{0, 0, form->width(), form->height()});
        target = fake.addWindow("Target", Rect{21, 21, 821, 621});
        fake.setForeground(target);
    }

    void poll() { form->tmrCheckActiveWindow_Timer(); }

    std::string value(int i) const { return form->lblWindowDimension[i]->text().toStdString(); }
    std::string title() const { return form->lblWindowText->text().toStdString(); }
    // The settings as the last save left them.
    std::string saved(const std::string& key) const {
        const auto it = fake.saved.find({"Sizewise", "Config", key});
        return it == fake.saved.end() ? "<absent>" : it->second;
    }
    WindowId mainHandle() const { return nativeHandle(form.get()); }

    fake::FakeDesktop fake;
    Desktop desktop = fake.desktop();
    Module1 g;
    std::unique_ptr<Form1> form;
    WindowId target = 0;
    int endStatus = -1;
};

}  // namespace sw
