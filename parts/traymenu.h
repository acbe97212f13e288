// The notification-area icon and the pop-up menu: the icon's tip tells which
// window is watched; a left click on it hides or shows the main window, a right
// click opens the menu at the pointer. The same menu drops down from the main
// window's "Menu" label.
#pragma once

#include <string>

#include <QObject>
#include <QPoint>

#include "desktop.h"

class QAction;
class QMenu;
class QTimer;
class QWidget;

namespace sw {

class TrayMenu final : public QObject {
    Q_OBJECT

public:
    // The hide entry's two captions; the letter after & chooses it from the keyboard.
    static constexpr const char* kHideCaption = "&Hide";
    static constexpr const char* kShowCaption = "&Show";
    // The icon's tip holds 64 characters with its terminator.
    static constexpr std::size_t kTipCharacters = 63;

    // The menu belongs to owner and holds presetsMenu as its "&Presets" entry.
    TrayMenu(QWidget* owner, NotifyIcon& icon, PointerInput& pointer, QMenu* presetsMenu);

    // Registers the icon with the program's title as its tip; a notification
    // area that is missing now is not fatal.
    void AddIcon();
    void RemoveIcon();
    // The tip "WATCHING WINDOW: " and the title, sent only when the title changed.
    void ShowTitle(const std::string& title);

    // Opens the menu at a point of Qt's (the "Menu" label), or at the pointer
    // with an optional default entry (the icon, the layout view).
    void PopupAt(QPoint at);
    void PopupAtPointer(bool exitAsDefault);
    // Returns once a menu that is open has closed and its chosen entry has run.
    void WaitForMenu();

    // What the entries show.
    void setHidden(bool hidden);
    void setLayoutChecked(bool checked);
    void setRulersChecked(bool checked);

signals:
    void iconActivated();
    // A right click on the icon, before the menu opens.
    void iconContextClicked();
    void layoutToggled(bool checked);
    void rulersToggled(bool checked);
    void editPresetsChosen();
    void aboutChosen();
    void helpChosen();
    void hideChosen();
    void exitChosen();

private:
    void createMenu(QWidget* owner, QMenu* presetsMenu);
    void Form_MouseMove(TrayClick click);
    void PopupDeferred();

    NotifyIcon& icon_;
    PointerInput& pointer_;
    std::string sLastTitle;
    QMenu* mnuPopup = nullptr;
    QTimer* deferredPopup_ = nullptr;  // a menu waiting for the application to go inactive
    QPoint deferredAt_;
    QAction* mnuOptionsShowLayout = nullptr;
    QAction* mnuOptionsShowRuler = nullptr;
    QAction* mnuHide = nullptr;
    QAction* mnuExit = nullptr;
};

}  // namespace sw
