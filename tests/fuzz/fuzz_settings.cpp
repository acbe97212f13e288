// Fuzzes the settings file: whatever the file holds, what the program reads from
// it through the typed table (the main window's values, the presets, the rulers
// brought into range and onto a monitor, the scale mode), once saved, reads back
// the same, and every key the program does not know is kept as it was.
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <map>

#include "qtsettings.h"
#include "rulersettings.h"
#include "settings.h"

namespace {

// Names the property that failed before the fuzzer keeps the input.
void check(bool holds, int line = __builtin_LINE()) {
    if (holds) return;
    std::fprintf(stderr, "the property at line %d does not hold\n", line);
    std::abort();
}

// Two monitors side by side, the origin on neither: the rulers' places are brought
// onto a monitor on the first read and must not move on the second.
const sw::ScreenMetrics kScreen{2304, 1280, 96, 96, {{0, 256, 1280, 1280}, {1280, 0, 2304, 768}}};

struct Read {
    sw::MainConfig main;
    sw::StoredRuler horizontal, vertical;
    std::int32_t mode = 0;
    friend bool operator==(const Read&, const Read&) = default;
};

Read readAll(sw::SettingsStore& store) {
    return Read{sw::ReadMainConfig(store), sw::ReadRulerConfig(store, sw::Axis::Horizontal, kScreen),
                sw::ReadRulerConfig(store, sw::Axis::Vertical, kScreen), sw::ReadLong(store, sw::RulerModeSetting())};
}

bool known(const QString& key) {
    for (const sw::SettingKey& k : sw::SettingsTable()) {
        if (key == QString::fromStdString(k.section + "/" + k.key)) return true;
    }
    return false;
}

// What QSettings makes of the file, less the keys of the table. A key it lists
// but cannot read (under a section name ending in "/") is left out: QSettings
// writes it back in a form it can read, so it may come in after a save.
std::map<QString, QVariant> foreignKeys(const QString& path) {
    QSettings file(path, QSettings::IniFormat);
    std::map<QString, QVariant> out;
    for (const QString& key : file.allKeys()) {
        if (!known(key) && file.value(key).isValid()) out.emplace(key, file.value(key));
    }
    return out;
}

bool kept(const std::map<QString, QVariant>& before, const std::map<QString, QVariant>& after) {
    for (const auto& [key, value] : before) {
        const auto found = after.find(key);
        if (found == after.end() || found->second != value) return false;
    }
    return true;
}

// One folder for every run, in memory where the machine has it: the file is
// replaced on every save.
const QTemporaryDir& folder() {
    static const QTemporaryDir dir(QDir("/dev/shm").exists() ? "/dev/shm/sizewise-fuzz-XXXXXX" : QString());
    return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QTemporaryDir& dir = folder();
    sw::qt::QtSettingsStore store(dir.path());
    const QString path = store.fileFor("Sizewise");
    QDir().mkpath(QFileInfo(path).path());
    QFile::remove(path);
    QFile file(path);
    check(file.open(QIODevice::WriteOnly) && file.write(reinterpret_cast<const char*>(data), qint64(size)) == qint64(size));
    file.close();
    const auto foreign = foreignKeys(path);

    const Read first = readAll(store);
    bool written = sw::WriteMainConfig(store, first.main);
    written = sw::WriteRulerConfig(store, sw::Axis::Horizontal, first.horizontal) && written;
    written = sw::WriteRulerConfig(store, sw::Axis::Vertical, first.vertical) && written;
    written = sw::WriteLong(store, sw::RulerModeSetting(), first.mode) && written;
    check(written && store.flush());

    sw::qt::QtSettingsStore again(dir.path());
    check(readAll(again) == first);
    check(kept(foreign, foreignKeys(path)));
    return 0;
}
