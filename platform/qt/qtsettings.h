// The settings store kept by QSettings: one INI file per application in the
// user's configuration folder, sections as groups.
#pragma once

#include <QString>

#include "platform/desktop.h"

namespace sw::qt {

class QtSettingsStore final : public SettingsStore {
public:
    // directory empty: the user's standard configuration folder.
    explicit QtSettingsStore(QString directory = {});
    std::string read(const std::string& app, const std::string& section, const std::string& key,
                     const std::string& fallback) override;
    bool write(const std::string& app, const std::string& section, const std::string& key,
               const std::string& value) override;

    // Path of the file that holds an application's settings.
    QString fileFor(const std::string& app) const;

private:
    QString directory_;
};

}  // namespace sw::qt
