// The notification icon and the pop-up menu.
#include "traymenu.h"

#include <QAction>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMenu>
#include <QTimer>
#include <QWindow>

#include "appinfo.h"
#include "text.h"
#include "windowutils.h"

namespace sw {
namespace {

constexpr const char* kTipPrefix = "WATCHING WINDOW: ";
// Longest wait for the application to go inactive before a menu opens anyway.
constexpr int kDeactivationWait = 300;

// Qt closes every pop-up when the application goes inactive, and learns of that
// a moment (on X11, 100 ms) after its focused window was hidden: the main window
// just closed to the icon. A menu opened in that moment would vanish at once.
bool DeactivationPending() {
    if (QGuiApplication::applicationState() != Qt::ApplicationActive) return false;
    const QWindow* focus = QGuiApplication::focusWindow();
    return focus == nullptr || !focus->isVisible();
}

}  // namespace

TrayMenu::TrayMenu(QWidget* owner, NotifyIcon& icon, PointerInput& pointer, QMenu* presetsMenu)
    : QObject(owner), icon_(icon), pointer_(pointer) {
    createMenu(owner, presetsMenu);
    deferredPopup_ = new QTimer(this);
    deferredPopup_->setSingleShot(true);
    deferredPopup_->setInterval(kDeactivationWait);
    connect(deferredPopup_, &QTimer::timeout, this, &TrayMenu::PopupDeferred);
    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
                if (state != Qt::ApplicationActive && deferredPopup_->isActive()) PopupDeferred();
            });
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
    icon_.add(cutToCharacters(kAppTitle, kTipCharacters),
              [this](TrayClick click) { Form_MouseMove(click); });
}

void TrayMenu::RemoveIcon() {
    icon_.remove();
}

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
    deferredAt_ = ToQt(pointer_.cursorPos());
    // Opened once the application has gone inactive, so that it stays open.
    if (DeactivationPending()) {
        deferredPopup_->start();
        return;
    }
    mnuPopup->popup(deferredAt_);
}

void TrayMenu::PopupDeferred() {
    deferredPopup_->stop();
    mnuPopup->popup(deferredAt_);
}

void TrayMenu::WaitForMenu() {
    if (!mnuPopup->isVisible() && !deferredPopup_->isActive()) return;
    QEventLoop loop;
    connect(mnuPopup, &QMenu::aboutToHide, &loop, &QEventLoop::quit);
    loop.exec();
    // A chosen entry runs after the menu has hidden.
    QCoreApplication::processEvents();
}

void TrayMenu::setHidden(bool hidden) {
    mnuHide->setText(hidden ? kShowCaption : kHideCaption);
}

void TrayMenu::setLayoutChecked(bool checked) {
    mnuOptionsShowLayout->setChecked(checked);
}

void TrayMenu::setRulersChecked(bool checked) {
    mnuOptionsShowRuler->setChecked(checked);
}

}  // namespace sw
