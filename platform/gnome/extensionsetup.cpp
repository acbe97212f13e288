// Finding out what of Sizewise's extension the session has, and installing it for the user through
// GNOME's own tools, each run as a process that reports back through the event loop.
#include "extensionsetup.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <filesystem>
#include <memory>
#include <system_error>

namespace sw::gnome {
namespace {

namespace fs = std::filesystem;

// A property of a service on the session bus; an invalid value when it cannot be read.
QVariant busProperty(const QString& service, const QString& path, const QString& interface,
                     const QString& name) {
    QDBusMessage get = QDBusMessage::createMethodCall(
        service, path, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get.setArguments({interface, name});
    const QDBusMessage reply = QDBusConnection::sessionBus().call(get, QDBus::Block, 2000);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return {};
    return reply.arguments().at(0).value<QDBusVariant>().variant();
}

int majorVersion(const std::string& version) {
    try {
        return std::stoi(version);
    } catch (...) {
        return 0;
    }
}

// One of GNOME's tools, run to its end; then(output) or failed(why) runs from the event loop.
void runTool(const QString& program, const QStringList& args,
             std::function<void(const QString& output)> then,
             std::function<void(const std::string& why)> failed) {
    auto* process = new QProcess;
    QObject::connect(
        process, &QProcess::finished, process,
        [process, program, then, failed](int status, QProcess::ExitStatus how) {
            process->deleteLater();
            const QString output = QString::fromUtf8(process->readAllStandardOutput()).trimmed();
            if (how == QProcess::NormalExit && status == 0) return then(output);
            const QString error = QString::fromUtf8(process->readAllStandardError()).trimmed();
            failed(program.toStdString() + " failed: " + error.toStdString());
        });
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [process, program, failed](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart) return;
                         process->deleteLater();
                         failed(program.toStdString() +
                                " could not be run: " + process->errorString().toStdString());
                     });
    process->start(program, args);
}

}  // namespace

ExtensionState probeExtension() {
    ExtensionState state;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || bus.interface() == nullptr) return state;
    const QString shell = QStringLiteral("org.gnome.Shell");
    state.shellRunning = bus.interface()->isServiceRegistered(shell).value();
    if (!state.shellRunning) return state;
    state.shellVersion = busProperty(shell, QStringLiteral("/org/gnome/Shell"), shell,
                                     QStringLiteral("ShellVersion"))
                             .toString()
                             .toStdString();
    const QString ours = QStringLiteral("io.github.sizewise.Shell");
    if (bus.interface()->isServiceRegistered(ours).value()) {
        state.runningVersion =
            busProperty(ours, QStringLiteral("/io/github/sizewise/Shell"),
                        QStringLiteral("io.github.sizewise.Shell1"), QStringLiteral("Version"))
                .toUInt();
    }
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    std::error_code error;
    state.installedForUser =
        fs::is_regular_file(fs::path(data.toStdString()) / "gnome-shell" / "extensions" /
                                kExtensionUuid / "metadata.json",
                            error);
    return state;
}

std::vector<std::string> extensionFolders(const std::string& programDir) {
    const fs::path program(programDir);
    return {(program / "gnome-shell").lexically_normal().string(),
            (program / ".." / "share" / "sizewise" / "gnome-shell").lexically_normal().string(),
            SIZEWISE_GNOME_EXTENSION_DIR};
}

std::string findExtensionPackage(const std::vector<std::string>& folders,
                                 const std::string& shellVersion) {
    // GNOME 45 loads extensions as ES modules; 43 and 44 through imports.
    const char* name =
        majorVersion(shellVersion) >= 45 ? "sizewise-gnome45.zip" : "sizewise-gnome43.zip";
    for (const std::string& folder : folders) {
        std::error_code error;
        const fs::path candidate = fs::path(folder) / name;
        if (fs::is_regular_file(candidate, error)) return candidate.string();
    }
    return {};
}

std::string withExtensionEnabled(const std::string& printedArray, const std::string& uuid) {
    // gsettings prints "['a', 'b']", or "@as []" for none; uuids hold no quotes.
    QStringList uuids;
    static const QRegularExpression quoted(QStringLiteral("'([^']*)'"));
    for (const auto& match : quoted.globalMatch(QString::fromStdString(printedArray)))
        uuids << match.captured(1);
    if (!uuids.contains(QString::fromStdString(uuid))) uuids << QString::fromStdString(uuid);
    return ("['" + uuids.join(QStringLiteral("', '")) + "']").toStdString();
}

void installExtension(const std::string& package,
                      std::function<void(bool ok, const std::string& said)> done) {
    const auto failed = [done](const std::string& why) { done(false, why); };
    const QString key = QStringLiteral("enabled-extensions");
    const QStringList schema{QStringLiteral("org.gnome.shell")};
    const auto enable = [=](const QString&) {
        runTool(
            QStringLiteral("gsettings"),
            QStringList{QStringLiteral("get")} + schema + QStringList{key},
            [=](const QString& enabled) {
                const QString now = QString::fromStdString(
                    withExtensionEnabled(enabled.toStdString(), kExtensionUuid));
                runTool(
                    QStringLiteral("gsettings"),
                    QStringList{QStringLiteral("set")} + schema + QStringList{key, now},
                    [done](const QString&) {
                        done(true,
                             "Sizewise's GNOME Shell extension is installed and enabled. "
                             "GNOME Shell starts it at your next log-in: log out and in "
                             "again, then start Sizewise.");
                    },
                    failed);
            },
            failed);
    };
    runTool(QStringLiteral("gnome-extensions"),
            {QStringLiteral("install"), QStringLiteral("--force"), QString::fromStdString(package)},
            enable, failed);
}

}  // namespace sw::gnome
