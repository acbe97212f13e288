// The global shortcuts, their text and their section of the settings.
#include "shortcuts.h"

#include <QKeySequence>
#include <vector>

#include "appinfo.h"

namespace sw {
namespace {

constexpr const char* kShortcutsSection = "Shortcuts";

std::array<ShortcutActionInfo, kShortcutActions> buildActions() {
    std::array<ShortcutActionInfo, kShortcutActions> a;
    // Ctrl+Alt+Shift with a digit: no desktop of GNOME, Plasma, Xfce or Windows takes it, and
    // unlike Ctrl+Alt (AltGr on many keyboards) it types no character on common layouts.
    for (int slot = 0; slot < 10; ++slot) {
        const std::string n = std::to_string(slot);
        a[slot] = {"Preset" + n, "Preset " + n, "Ctrl+Alt+Shift+" + n};
    }
    // The states have the desktop's own keys; the windows are rarely wanted from afar.
    a[10] = {"Origin", "Move to 0,0", ""};
    a[11] = {"Minimize", "Minimize", ""};
    a[12] = {"Restore", "Restore", ""};
    a[13] = {"Maximize", "Maximize", ""};
    a[14] = {"MainWindow", "Show or hide the main window", ""};
    a[15] = {"Rulers", "Show or hide the rulers", ""};
    return a;
}

std::uint32_t keyOf(Qt::Key key) {
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return static_cast<std::uint32_t>(key);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return Shortcut::kFunctionKey + 1 + static_cast<std::uint32_t>(key - Qt::Key_F1);
    return 0;
}

}  // namespace

const ShortcutActionInfo& shortcutAction(int action) {
    static const auto actions = buildActions();
    return actions.at(static_cast<std::size_t>(action));
}

std::optional<Shortcut> shortcutFromText(const std::string& text) {
    const QKeySequence sequence =
        QKeySequence::fromString(QString::fromStdString(text), QKeySequence::PortableText);
    if (sequence.count() != 1) return std::nullopt;
    const QKeyCombination combination = sequence[0];
    const Qt::KeyboardModifiers mods = combination.keyboardModifiers();
    const Shortcut s{keyOf(combination.key()), mods.testFlag(Qt::ControlModifier),
                     mods.testFlag(Qt::AltModifier), mods.testFlag(Qt::ShiftModifier),
                     mods.testFlag(Qt::MetaModifier)};
    // A lone key would be taken from every program's typing.
    if (s.key == 0 || !(s.ctrl || s.alt || s.meta || s.key > Shortcut::kFunctionKey))
        return std::nullopt;
    return s;
}

std::string shortcutText(const Shortcut& s) {
    if (s.key == 0) return "";
    Qt::KeyboardModifiers mods;
    mods.setFlag(Qt::ControlModifier, s.ctrl);
    mods.setFlag(Qt::AltModifier, s.alt);
    mods.setFlag(Qt::ShiftModifier, s.shift);
    mods.setFlag(Qt::MetaModifier, s.meta);
    const auto key =
        static_cast<Qt::Key>(s.key > Shortcut::kFunctionKey
                                 ? Qt::Key_F1 + static_cast<int>(s.key - Shortcut::kFunctionKey - 1)
                                 : static_cast<int>(s.key));
    return QKeySequence(QKeyCombination(mods, key))
        .toString(QKeySequence::PortableText)
        .toStdString();
}

ShortcutSet readShortcuts(SettingsStore& store) {
    ShortcutSet set{};
    for (int a = 0; a < kShortcutActions; ++a) {
        const ShortcutActionInfo& info = shortcutAction(a);
        const std::string text = store.read(kAppTitle, kShortcutsSection, info.key, info.fallback);
        set[static_cast<std::size_t>(a)] = shortcutFromText(text).value_or(Shortcut{});
    }
    return set;
}

bool writeShortcuts(SettingsStore& store, const ShortcutSet& shortcuts) {
    bool ok = true;
    for (int a = 0; a < kShortcutActions; ++a) {
        ok = store.write(kAppTitle, kShortcutsSection, shortcutAction(a).key,
                         shortcutText(shortcuts[static_cast<std::size_t>(a)])) &&
             ok;
    }
    return ok;
}

GlobalShortcuts::GlobalShortcuts(GlobalKeys& keys, QObject* parent)
    : QObject(parent), keys_(keys) {}

GlobalShortcuts::~GlobalShortcuts() {
    release();
}

void GlobalShortcuts::setShortcuts(const ShortcutSet& shortcuts) {
    shortcuts_ = shortcuts;
    const std::vector<Shortcut> wanted(shortcuts.begin(), shortcuts.end());
    const auto refusals = keys_.takeShortcuts(
        wanted, [this](std::size_t index) { emit triggered(static_cast<int>(index)); });
    for (std::size_t a = 0; a < refusals_.size(); ++a)
        refusals_[a] = a < refusals.size() ? refusals[a] : "";
}

void GlobalShortcuts::release() {
    keys_.takeShortcuts({}, nullptr);
}

}  // namespace sw
