// The notification-area icon and the pop-up menu: the icon's tip tells which window is watched; a
// left click on it hides or shows the main window, a right click opens the menu at the pointer.
// The same menu drops down from the main window's "Menu" label and opens over the layout view.
// Its "Presets" entry lists the set preset slots as they are.
#pragma once

#include <array>
#include <memory>
#include <string>

#include <QObject>
#include <QPoint>

#include "desktop.h"
#include "presetslots.h"

class QAction;
class QMenu;
class QTimer;

namespace sw {

class TrayMenu final : public QObject {
    Q_OBJECT

public:
    // The hide entry's two captions; the letter after & chooses it from the keyboard.
    static constexpr const char* kHideCaption = "&Hide";
    static constexpr const char* kShowCaption = "&Show";
    // The icon's tip holds 64 characters with its terminator.
    static constexpr std::size_t kTipCharacters = 63;

    TrayMenu(NotifyIcon& icon, PointerInput& pointer, const Presets& presets,
             QObject* parent = nullptr);
    ~TrayMenu() override;

    // Registers the icon with the program's title as its tip; a notification area that is
    // missing now is not fatal.
    void addIcon();
    void removeIcon();
    // The tip "WATCHING WINDOW: " and the title, sent only when the title changed.
    void showTitle(const std::string& title);

    // Opens the menu at a point of Qt's (the "Menu" label), or at the pointer with an optional
    // default entry (the icon, the layout view).
    void popupAt(QPoint at);
    void popupAtPointer(bool exitAsDefault);
    // Whether a menu is open or about to open; menuClosed() follows once it has closed.
    bool menuOpen() const;

    // What the entries show.
    void setHidden(bool hidden);
    void setLayoutChecked(bool checked);
    void setRulersChecked(bool checked);

signals:
    void iconActivated();
    // A right click on the icon, before the menu opens.
    void iconContextClicked();
    void menuClosed();
    void layoutToggled(bool checked);
    void rulersToggled(bool checked);
    void editPresetsChosen();
    void shortcutsChosen();
    void presetChosen(int slot);
    void aboutChosen();
    void helpChosen();
    void hideChosen();
    void exitChosen();

private:
    void createMenu();
    void createPresetsMenu(QMenu* menu);
    void showPresets();
    void iconClicked(TrayClick click);
    void popupDeferred();

    NotifyIcon& icon_;
    PointerInput& pointer_;
    const Presets& presets_;
    std::string lastTitle_;
    std::unique_ptr<QMenu> menu_;
    QTimer* deferredPopup_ = nullptr;  // a menu waiting for the application to go inactive
    QPoint deferredAt_;
    QAction* showLayout_ = nullptr;
    QAction* showRulers_ = nullptr;
    QAction* hide_ = nullptr;
    QAction* exit_ = nullptr;
    std::array<QAction*, kPresetSlots> presetEntries_{};
};

}  // namespace sw
