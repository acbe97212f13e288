// What the contract's worlds in a headless compositor share: other programs' windows are Qt 6
// programs (tests/wayland/qt_window.py) started here, one process a window, and what is true of
// them is the compositor's own answer, which each world reads its own way.
#pragma once

#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <chrono>
#include <map>
#include <memory>
#include <optional>

#include "world.h"

namespace sw::test {

class CompositorWorld : public World {
public:
    ~CompositorWorld() override;

    WindowId open(const std::string& title) override;
    void close(WindowId window) override;
    void rename(WindowId window, const std::string& title) override;
    Rect frameOf(WindowId window) override;
    // The cases that need shortcuts are skipped in these worlds (lacks()).
    void press(const Shortcut& shortcut) override;
    void holdElsewhere(const Shortcut& shortcut) override;
    int pressesOn(WindowId window) override;
    ScreenMetrics expectedScreen() override;
    bool eventually(const std::function<bool()>& done) override;
    bool eventuallyWithin(std::chrono::milliseconds limit, const std::function<bool()>& done);
    void settle() override;

    // The window as the compositor sees it, its "frame" [x, y, width, height] among the rest;
    // none once it is closed.
    virtual std::optional<QJsonObject> compositorWindow(WindowId window) = 0;

protected:
    // The backend's id of the shown window of this process with this title; 0 until there is one.
    virtual WindowId shownWindow(qint64 pid, const QString& title) = 0;
    // A test window's program on this Qt platform ("wayland", "xcb").
    std::unique_ptr<QProcess> start(const std::string& title, const char* platform,
                                    const QStringList& options = {});

    std::map<WindowId, std::unique_ptr<QProcess>> programs_;
};

}  // namespace sw::test
