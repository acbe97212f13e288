// The session-bus side of Sizewise's KWin script: serves the interface the script calls, loads
// and unloads the script, hands it commands through its long poll and notices when it is gone.
#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QJsonObject>
#include <QObject>
#include <QString>
#include <QTimer>

#include <deque>
#include <memory>
#include <optional>

class QTemporaryFile;

namespace sw::kwin {

class KWinBridge final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "io.github.sizewise.KWin1")

public:
    explicit KWinBridge(QObject* parent = nullptr);
    ~KWinBridge() override;

    // Takes Sizewise's name on the session bus and loads the script, which answers later; false,
    // with a reason, when the name is taken or the bus cannot be reached.
    bool start(QString* error);

    // Queues a command for the script (its "seq" is set here); it leaves with the next poll.
    void send(QJsonObject command);

    // The D-Bus methods the script calls; their names are the interface's, not Qt's style. Only
    // KWin may call them: any other caller is refused.
public slots:
    Q_SCRIPTABLE QString Hello(const QString& about, const QDBusMessage& message);
    Q_SCRIPTABLE void Changed(const QString& report, const QDBusMessage& message);
    Q_SCRIPTABLE void Pointer(const QString& position, const QDBusMessage& message);
    Q_SCRIPTABLE void Screens(const QString& screens, const QDBusMessage& message);
    Q_SCRIPTABLE QString NextCommand(const QString& result, const QDBusMessage& message);

signals:
    void changed(const QJsonObject& report);
    void pointerMoved(const QJsonObject& position);
    void screensReported(const QJsonObject& screens);
    // The script stopped answering, or KWin would not run it: like a display that went away.
    void lost(const QString& why);

private:
    void unloadThenLoad();
    void load();
    void run(int scriptId, bool plasma6Path);
    void runAll();
    void answerHeld();
    void reply(const QString& text);
    void fail(const QString& why);
    bool fromKWin(const QDBusMessage& message);

    QDBusConnection bus_;
    QString kwinOwner_;  // KWin's unique name on the bus
    std::unique_ptr<QTemporaryFile> script_;
    std::optional<QDBusMessage> held_;
    std::deque<QJsonObject> queue_;
    qint64 nextSeq_ = 1;
    bool registered_ = false;
    bool greeted_ = false;
    bool lost_ = false;
    QTimer helloTimer_;
    QTimer nudgeTimer_;
    QTimer holdTimer_;
    QTimer quietTimer_;
};

}  // namespace sw::kwin
