// The contract's world in a private headless KWin: other programs' windows are Qt 6 programs
// started here, and what is true of them is the compositor's own answer, asked for by one-shot
// KWin scripts that call back on the session bus.
#pragma once

#include <QJsonObject>
#include <QObject>
#include <QProcess>
#include <QString>

#include <chrono>
#include <map>
#include <memory>
#include <optional>

#include "compositorworld.h"
#include "kwindesktop.h"

namespace sw::test {

// Where the one-shot scripts send their answers.
class ScriptAnswers final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "io.github.sizewise.KWinWorld")

public slots:
    // Named as the script calls it.
    Q_SCRIPTABLE void Answer(const QString& nonce, const QString& json) { answers[nonce] = json; }

public:
    std::map<QString, QString> answers;
};

class KWinWorld final : public CompositorWorld {
public:
    KWinWorld();
    ~KWinWorld() override;

    std::string lacks(Need need) override;
    WindowSystem& windows() override { return *desk; }
    PointerInput& pointer() override { return *desk; }
    Screen& screen() override { return *desk; }
    GlobalKeys& keys() override { return *desk; }
    // The same window as an X11 program of Xwayland, as Sizewise's own windows are; its id is
    // the X11 window id the program itself reads. 0 when the session has no Xwayland.
    WindowId openOnXwayland(const std::string& title, const QStringList& options = {});
    void moveAsItsProgram(WindowId window, Point to) override;
    // Shows a window opened hidden.
    void show(WindowId window);
    bool isAbove(WindowId window) override;
    bool isToolWindow(WindowId window) override;
    void click(Point at, int button, bool withShift = false) override;
    void tapShift() override;

    // Runs a script in KWin whose body returns a value; its answer as JSON text, empty when it
    // never came.
    QString runScript(const QString& body);
    // The window as KWin sees it (caption, pid, frame, keepAbove, skip flags), none once closed.
    std::optional<QJsonObject> compositorWindow(WindowId window) override;
    // Calls a method of KWin's scripting object and waits for the answer.
    QVariant callScripting(const QString& path, const QString& interface, const QString& method,
                           const QVariantList& args);

    std::unique_ptr<kwin::KWinDesktop> desk;
    std::string lostWhy;

private:
    QString findWindowOf(qint64 pid, const QString& caption);
    WindowId shownWindow(qint64 pid, const QString& caption) override;

    ScriptAnswers answers_;
    int scripts_ = 0;
};

}  // namespace sw::test
