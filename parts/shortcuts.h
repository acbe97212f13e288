// The global shortcuts: the actions they are for, how a shortcut is written (as the settings
// keep it and the shortcuts window shows it), the [Shortcuts] section, and the part that takes
// them from the desktop and tells of their presses.
#pragma once

#include <array>
#include <optional>
#include <string>

#include <QObject>

#include "desktop.h"

namespace sw {

// Presets 0 to 9 first, then these.
enum class ShortcutAction { Origin = 10, Minimise, Restore, Maximise, MainWindow, Rulers };
inline constexpr int kShortcutActions = 16;

struct ShortcutActionInfo {
    std::string key;       // in [Shortcuts]
    std::string label;     // in the shortcuts window
    std::string fallback;  // the first run's shortcut, "" for none
};
const ShortcutActionInfo& shortcutAction(int action);

using ShortcutSet = std::array<Shortcut, kShortcutActions>;

// "Ctrl+Alt+Shift+1", as Qt writes a key sequence portably; none for "" or for what is not a
// single key that a global shortcut can be (a letter, a digit or F1-F24 with modifiers).
std::optional<Shortcut> shortcutFromText(const std::string& text);
std::string shortcutText(const Shortcut& shortcut);

// The [Shortcuts] section: a key that is absent has its first-run shortcut; one that cannot be
// read has none.
ShortcutSet readShortcuts(SettingsStore& store);
bool writeShortcuts(SettingsStore& store, const ShortcutSet& shortcuts);

// Takes the shortcuts from the desktop and reports their presses.
class GlobalShortcuts final : public QObject {
    Q_OBJECT

public:
    GlobalShortcuts(GlobalKeys& keys, QObject* parent = nullptr);
    ~GlobalShortcuts() override;

    // Takes these in place of those held; the refusals are kept, "" for each one taken.
    void setShortcuts(const ShortcutSet& shortcuts);
    const ShortcutSet& shortcuts() const { return shortcuts_; }
    const std::array<std::string, kShortcutActions>& refusals() const { return refusals_; }
    // Every shortcut given back to the desktop.
    void release();

signals:
    void triggered(int action);

private:
    GlobalKeys& keys_;
    ShortcutSet shortcuts_{};
    std::array<std::string, kShortcutActions> refusals_;
};

}  // namespace sw
