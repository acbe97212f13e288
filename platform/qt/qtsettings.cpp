// The settings store kept by QSettings.
#include "platform/qt/qtsettings.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace sw::qt {
namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

QtSettingsStore::QtSettingsStore(QString directory) : directory_(std::move(directory)) {
    if (directory_.isEmpty()) {
        directory_ = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    }
}

QString QtSettingsStore::fileFor(const std::string& app) const {
    // <config>/<app>/<app>.conf, the same file QSettings(app, app) uses.
    return QDir(directory_).filePath(q(app) + "/" + q(app) + ".conf");
}

std::string QtSettingsStore::read(const std::string& app, const std::string& section,
                                  const std::string& key, const std::string& fallback) {
    QSettings settings(fileFor(app), QSettings::IniFormat);
    const QVariant value = settings.value(q(section) + "/" + q(key));
    if (!value.isValid()) return fallback;
    return value.toString().toStdString();
}

bool QtSettingsStore::write(const std::string& app, const std::string& section,
                            const std::string& key, const std::string& value) {
    QSettings settings(fileFor(app), QSettings::IniFormat);
    settings.setValue(q(section) + "/" + q(key), q(value));
    settings.sync();
    return settings.status() == QSettings::NoError;
}

}  // namespace sw::qt
