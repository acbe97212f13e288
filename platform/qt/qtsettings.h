// The settings store kept by QSettings: one INI file per application in the
// user's configuration folder (or one the backend names), sections as groups.
#pragma once

#include <map>
#include <memory>

#include <QString>

#include "desktop.h"

class QSettings;

namespace sw::qt {

class QtSettingsStore final : public SettingsStore {
public:
    // directory empty: the user's standard configuration folder. The file is
    // <directory>/<app>/<app><suffix>.
    explicit QtSettingsStore(QString directory = {}, QString suffix = QStringLiteral(".conf"));
    ~QtSettingsStore() override;
    std::string read(const std::string& app, const std::string& section, const std::string& key,
                     const std::string& fallback) override;
    bool write(const std::string& app, const std::string& section, const std::string& key,
               const std::string& value) override;
    bool flush(std::string* why = nullptr) override;

    // Path of the file that holds an application's settings.
    QString fileFor(const std::string& app) const;

private:
    QSettings& settingsOf(const std::string& app);

    QString directory_;
    QString suffix_;
    // Opened at the first read and kept: the file is parsed once, and saving at
    // the very end of the process needs nothing that is created late.
    std::map<std::string, std::unique_ptr<QSettings>> open_;
};

}  // namespace sw::qt
