// The settings store kept by QSettings. QSettings writes the whole file through a
// temporary file that replaces the old one, so a save is never half written, and
// it keeps every key it read, including those the program does not know.
#include "qtsettings.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace sw::qt {
namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

}  // namespace

QtSettingsStore::QtSettingsStore(QString directory, QString suffix)
    : directory_(std::move(directory)), suffix_(std::move(suffix)) {
    if (directory_.isEmpty()) {
        directory_ = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    }
}

QtSettingsStore::~QtSettingsStore() = default;

QString QtSettingsStore::fileFor(const std::string& app) const {
    // By default <config>/<app>/<app>.conf, the same file QSettings(app, app) uses.
    return QDir(directory_).filePath(q(app) + "/" + q(app) + suffix_);
}

QSettings& QtSettingsStore::settingsOf(const std::string& app) {
    auto& slot = open_[app];
    if (!slot) {
        slot = std::make_unique<QSettings>(fileFor(app), QSettings::IniFormat);
        // A save replaces the file whole or not at all, never writing into it.
        slot->setAtomicSyncRequired(true);
    }
    return *slot;
}

std::string QtSettingsStore::read(const std::string& app, const std::string& section,
                                  const std::string& key, const std::string& fallback) {
    const QVariant value = settingsOf(app).value(q(section) + "/" + q(key));
    if (!value.isValid()) return fallback;
    // A value with commas reads back as a list; as text it is what the file holds.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(",").toStdString();
    return value.toString().toStdString();
}

bool QtSettingsStore::write(const std::string& app, const std::string& section,
                            const std::string& key, const std::string& value) {
    QSettings& settings = settingsOf(app);
    if (!settings.isWritable()) return false;
    settings.setValue(q(section) + "/" + q(key), q(value));
    return true;
}

bool QtSettingsStore::flush(std::string* why) {
    bool ok = true;
    for (auto& [app, settings] : open_) {
        settings->sync();
        // A format error is kept from reading a file with lines that are not
        // settings; the file is written all the same, without those lines.
        if (settings->status() == QSettings::AccessError) {
            ok = false;
            if (why) *why = "cannot write " + fileFor(app).toStdString();
        }
    }
    return ok;
}

}  // namespace sw::qt
