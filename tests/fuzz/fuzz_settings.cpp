// Fuzzes the settings file: whatever it holds, what the program reads from it
// through the typed table (the rulers brought into range and onto a monitor)
// reads back the same once saved, and every key the program does not know is kept.
#include <QDir>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdint>
#include <map>

#include "check.h"
#include "qtsettings.h"
#include "rulersettings.h"

namespace {

// Two monitors, the origin on neither: a ruler brought onto one on the first read
// must not move on the second.
const sw::ScreenMetrics kScreen{
    {0, 0, 2304, 1280}, 96, 96, {{0, 256, 1280, 1280}, {1280, 0, 2304, 768}}};

struct Read {
    sw::MainSettings main;
    sw::StoredRuler horizontal, vertical;
    std::int32_t mode = 0;
    friend bool operator==(const Read&, const Read&) = default;
};

Read readAll(sw::SettingsStore& store) {
    return Read{sw::readMainSettings(store),
                sw::readRulerSettings(store, sw::Axis::Horizontal, kScreen),
                sw::readRulerSettings(store, sw::Axis::Vertical, kScreen),
                sw::readInt32(store, sw::rulerModeSetting())};
}

// The keys QSettings reads from the file, less the table's, also where spelt with
// slashes QSettings drops ("[/Config]"). One it lists but cannot read (under a
// section name ending in "/") is left out: it is written back readable.
std::map<QString, QVariant> foreignKeys(const QString& path) {
    const QSettings file(path, QSettings::IniFormat);
    std::map<QString, QVariant> out;
    for (const QString& key : file.allKeys()) {
        QString plain = key;
        plain.replace(QRegularExpression("/+"), "/").remove(QRegularExpression("^/"));
        if (file.value(key).isValid()) out.emplace(plain, file.value(key));
    }
    for (const sw::SettingKey& k : sw::settingsTable())
        out.erase(QString::fromStdString(k.section + "/" + k.key));
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // One folder for every run, in memory where the machine has it.
    static const QTemporaryDir dir(QDir("/dev/shm").exists() ? "/dev/shm/sizewise-fuzz-XXXXXX"
                                                             : QString());
    sw::qt::QtSettingsStore store(dir.path());
    const QString path = store.fileFor("Sizewise");
    QDir().mkpath(QFileInfo(path).path());
    QFile::remove(path);
    QFile file(path);
    check(file.open(QIODevice::WriteOnly) &&
          file.write(reinterpret_cast<const char*>(data), qint64(size)) == qint64(size));
    file.close();
    const auto foreign = foreignKeys(path);
    const Read first = readAll(store);
    check(sw::writeMainSettings(store, first.main) &&
          sw::writeRulerSettings(store, sw::Axis::Horizontal, first.horizontal) &&
          sw::writeRulerSettings(store, sw::Axis::Vertical, first.vertical) &&
          sw::writeInt32(store, sw::rulerModeSetting(), first.mode) && store.flush());
    sw::qt::QtSettingsStore again(dir.path());
    check(readAll(again) == first);
    const auto after = foreignKeys(path);
    for (const auto& [key, value] : foreign) check(after.count(key) == 1 && after.at(key) == value);
    return 0;
}
