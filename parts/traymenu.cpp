// The notification icon and the pop-up menu.
#include "traymenu.h"

#include <QAction>
#include <QCoreApplication>
#include <QEventLoop>
#include <QMenu>

#include "appinfo.h"
#include "text.h"

namespace sw {
namespace {

constexpr const char* kTipPrefix = "WATCHING WINDOW: ";

}  // namespace

TrayMenu::TrayMenu(QWidget* owner, NotifyIcon& icon, PointerInput& pointer, QMenu* presetsMenu)
    : QObject(owner), icon_(icon), pointer_(pointer) {
    createMenu(owner, presetsMenu);
}

void TrayMenu::createMenu(QWidget* owner, QMenu* presetsMenu) {
    mnuPopup = new QMenu("PopUp", owner);
    mnuPopup->setObjectName("mnuPopup");
    QMenu* mnuOptions = mnuPopup->addMenu("&Options");
    mnuOptionsShowLayout = mnuOptions->addAction("Show &Window Layout");
    mnuOptionsShowLayout->setCheckable(true);
    mnuOptionsShowLayout->setChecked(true);
    mnuOptionsShowRuler = mnuOptions->addAction("Show &Rulers");
    mnuOptionsShowRuler->setCheckable(true);
    QAction* mnuEditPresets = mnuOptions->addAction("Edit &Presets");
    mnuPopup->addSeparator();
    mnuPopup->addMenu(presetsMenu);
    mnuPopup->addSeparator();
    QAction* mnuAbout = mnuPopup->addAction("&About");
    QAction* mnuHelpContents = mnuPopup->addMenu("&Help")->addAction("&Contents");
    mnuPopup->addSeparator();
    mnuHide = mnuPopup->addAction(kHideCaption);
    mnuExit = mnuPopup->addAction("E&xit");
    // Qt has already inverted the check mark when a checkable entry is chosen.
    connect(mnuOptionsShowLayout, &QAction::triggered, this, &TrayMenu::layoutToggled);
    connect(mnuOptionsShowRuler, &QAction::triggered, this, &TrayMenu::rulersToggled);
    connect(mnuEditPresets, &QAction::triggered, this, &TrayMenu::editPresetsChosen);
    connect(mnuAbout, &QAction::triggered, this, &TrayMenu::aboutChosen);
    connect(mnuHelpContents, &QAction::triggered, this, &TrayMenu::helpChosen);
    connect(mnuHide, &QAction::triggered, this, &TrayMenu::hideChosen);
    connect(mnuExit, &QAction::triggered, this, &TrayMenu::exitChosen);
}

void TrayMenu::AddIcon() {
    icon_.add(cutToCharacters(kAppTitle, kTipCharacters), [this](TrayClick click) { Form_MouseMove(click); });
}

void TrayMenu::RemoveIcon() { icon_.remove(); }

// What the user did on the icon (the Part's `Form_MouseMove`, where the icon's
// events arrived).
void TrayMenu::Form_MouseMove(TrayClick click) {
    switch (click) {
        case TrayClick::Activate:
            emit iconActivated();
            break;
        case TrayClick::Context:
            emit iconContextClicked();
            PopupAtPointer(true);
            break;
    }
}

void TrayMenu::ShowTitle(const std::string& title) {
    if (title == sLastTitle) return;
    sLastTitle = title;
    icon_.modify(cutToCharacters(kTipPrefix + title, kTipCharacters));
}

void TrayMenu::PopupAt(QPoint at) {
    mnuPopup->setDefaultAction(nullptr);
    mnuPopup->popup(at);
}

void TrayMenu::PopupAtPointer(bool exitAsDefault) {
    mnuPopup->setDefaultAction(exitAsDefault ? mnuExit : nullptr);
    const Point at = pointer_.cursorPos();
    mnuPopup->popup(QPoint(at.x, at.y));
}

void TrayMenu::WaitForMenu() {
    if (!mnuPopup->isVisible()) return;
    QEventLoop loop;
    connect(mnuPopup, &QMenu::aboutToHide, &loop, &QEventLoop::quit);
    loop.exec();
    // A chosen entry runs after the menu has hidden.
    QCoreApplication::processEvents();
}

void TrayMenu::setHidden(bool hidden) { mnuHide->setText(hidden ? kShowCaption : kHideCaption); }

void TrayMenu::setLayoutChecked(bool checked) { mnuOptionsShowLayout->setChecked(checked); }

void TrayMenu::setRulersChecked(bool checked) { mnuOptionsShowRuler->setChecked(checked); }

}  // namespace sw
