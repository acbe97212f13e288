// The contract's world in a private headless GNOME Shell with Sizewise's extension: other
// programs' windows are Qt 6 programs started here, and what is true of them is the Shell's own
// answer, asked for through org.gnome.Shell.Eval (the test probe extension's unsafe mode).
#pragma once

#include <QJsonObject>
#include <QObject>
#include <QProcess>
#include <QString>

#include <map>
#include <memory>
#include <optional>

#include "compositorworld.h"
#include "gnomedesktop.h"

namespace sw::test {

// The extension's PointerChanged signals as the world sees them, apart from the backend.
class PointerSignals final : public QObject {
    Q_OBJECT

public slots:
    void changed(int, int, uint newMask) { mask = newMask; }

public:
    uint mask = 0;
};

class GnomeWorld final : public CompositorWorld {
public:
    GnomeWorld();

    std::string lacks(Need need) override;
    WindowSystem& windows() override { return *desk; }
    PointerInput& pointer() override { return *desk; }
    Screen& screen() override { return *desk; }
    GlobalKeys& keys() override { return *desk; }
    void moveAsItsProgram(WindowId window, Point to) override;
    bool isAbove(WindowId window) override;
    bool isToolWindow(WindowId window) override;
    void click(Point at, int button, bool withShift = false) override;
    void tapShift() override;

    // Evaluates JavaScript inside the Shell; its value as JSON text, empty when refused.
    QString eval(const QString& code);
    // The window as the Shell sees it (title, pid, frame, above, skipTaskbar), none once closed.
    std::optional<QJsonObject> compositorWindow(WindowId window) override;
    // Moves the pointer there, as a remote-desktop server does.
    void pointerTo(Point at);

    std::unique_ptr<gnome::GnomeDesktop> desk;
    std::string lostWhy;

private:
    WindowId shownWindow(qint64 pid, const QString& title) override;
    // Input as a remote-desktop server sends it, through Mutter's RemoteDesktop session, which
    // lives as long as this connection.
    void remote(const QString& method, const QVariantList& args);
    // Holds a button or key until the extension has reported it down, then lets it go and waits
    // for it to read up again: the extension reads the mask every 30 ms, as long as a person's
    // click lasts.
    void holdUntilSeen(const QString& method, const QVariant& code, uint maskBit);

    QString remoteSession_;
    PointerSignals pointerSignals_;
};

}  // namespace sw::test
