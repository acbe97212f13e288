// The notification icon and the pop-up menu.
#include "traymenu.h"

#include <QAction>
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

// Qt closes every pop-up when the application goes inactive, and learns of that a moment (on X11,
// 100 ms) after its focused window was hidden: the main window just closed to the icon. A menu
// opened in that moment would vanish at once.
bool deactivationPending() {
    if (QGuiApplication::applicationState() != Qt::ApplicationActive) return false;
    const QWindow* focus = QGuiApplication::focusWindow();
    return focus == nullptr || !focus->isVisible();
}

}  // namespace

TrayMenu::TrayMenu(NotifyIcon& icon, PointerInput& pointer, const Presets& presets, QObject* parent)
    : QObject(parent), icon_(icon), pointer_(pointer), presets_(presets) {
    createMenu();
    deferredPopup_ = new QTimer(this);
    deferredPopup_->setSingleShot(true);
    deferredPopup_->setInterval(kDeactivationWait);
    connect(deferredPopup_, &QTimer::timeout, this, &TrayMenu::popupDeferred);
    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
                if (state != Qt::ApplicationActive && deferredPopup_->isActive()) popupDeferred();
            });
    connect(&presets, &Presets::changed, this, &TrayMenu::showPresets);
}

TrayMenu::~TrayMenu() = default;

void TrayMenu::createMenu() {
    menu_ = std::make_unique<QMenu>("PopUp");
    menu_->setObjectName("popupMenu");
    QMenu* options = menu_->addMenu("&Options");
    showLayout_ = options->addAction("Show &Window Layout");
    showLayout_->setCheckable(true);
    showLayout_->setChecked(true);
    showRulers_ = options->addAction("Show &Rulers");
    showRulers_->setCheckable(true);
    QAction* editPresets = options->addAction("Edit &Presets");
    QAction* shortcuts = options->addAction("&Shortcuts...");
    menu_->addSeparator();
    createPresetsMenu(menu_->addMenu("&Presets"));
    menu_->addSeparator();
    QAction* about = menu_->addAction("&About");
    QAction* help = menu_->addMenu("&Help")->addAction("&Contents");
    menu_->addSeparator();
    hide_ = menu_->addAction(kHideCaption);
    exit_ = menu_->addAction("E&xit");
    // Qt has already inverted the check mark when a checkable entry is chosen.
    connect(showLayout_, &QAction::triggered, this, &TrayMenu::layoutToggled);
    connect(showRulers_, &QAction::triggered, this, &TrayMenu::rulersToggled);
    connect(editPresets, &QAction::triggered, this, &TrayMenu::editPresetsChosen);
    connect(shortcuts, &QAction::triggered, this, &TrayMenu::shortcutsChosen);
    connect(about, &QAction::triggered, this, &TrayMenu::aboutChosen);
    connect(help, &QAction::triggered, this, &TrayMenu::helpChosen);
    connect(hide_, &QAction::triggered, this, &TrayMenu::hideChosen);
    connect(exit_, &QAction::triggered, this, &TrayMenu::exitChosen);
    connect(menu_.get(), &QMenu::aboutToHide, this, &TrayMenu::menuClosed);
}

void TrayMenu::createPresetsMenu(QMenu* menu) {
    for (int i = 0; i < kPresetSlots; ++i) {
        presetEntries_[i] = menu->addAction("");
        connect(presetEntries_[i], &QAction::triggered, this, [this, i] { emit presetChosen(i); });
    }
    showPresets();
}

void TrayMenu::showPresets() {
    const PresetValues& values = presets_.values();
    for (int i = 0; i < kPresetSlots; ++i) {
        const bool set = presetIsSet(values.width[i], values.height[i]);
        // Entry 0 always stays, so that the submenu is never empty.
        presetEntries_[i]->setText(
            set ? QString::fromStdString(presetCaption(values.width[i], values.height[i]))
                : QString(i == 0 ? "not set" : ""));
        presetEntries_[i]->setVisible(set || i == 0);
        presetEntries_[i]->setEnabled(set);
    }
}

void TrayMenu::addIcon() {
    icon_.add(cutToCharacters(kAppTitle, kTipCharacters),
              [this](TrayClick click) { iconClicked(click); });
}

void TrayMenu::removeIcon() {
    icon_.remove();
}

void TrayMenu::iconClicked(TrayClick click) {
    switch (click) {
        case TrayClick::Activate:
            emit iconActivated();
            break;
        case TrayClick::Context:
            emit iconContextClicked();
            popupAtPointer(true);
            break;
    }
}

void TrayMenu::showTitle(const std::string& title) {
    if (title == lastTitle_) return;
    lastTitle_ = title;
    icon_.modify(cutToCharacters(kTipPrefix + title, kTipCharacters));
}

void TrayMenu::popupAt(QPoint at) {
    menu_->setDefaultAction(nullptr);
    menu_->popup(at);
}

void TrayMenu::popupAtPointer(bool exitAsDefault) {
    menu_->setDefaultAction(exitAsDefault ? exit_ : nullptr);
    deferredAt_ = toQt(pointer_.cursorPos());
    // Opened once the application has gone inactive, so that it stays open.
    if (deactivationPending()) {
        deferredPopup_->start();
        return;
    }
    menu_->popup(deferredAt_);
}

void TrayMenu::popupDeferred() {
    deferredPopup_->stop();
    menu_->popup(deferredAt_);
}

bool TrayMenu::menuOpen() const {
    return menu_->isVisible() || deferredPopup_->isActive();
}

void TrayMenu::setHidden(bool hidden) {
    hide_->setText(hidden ? kShowCaption : kHideCaption);
}

void TrayMenu::setLayoutChecked(bool checked) {
    showLayout_->setChecked(checked);
}

void TrayMenu::setRulersChecked(bool checked) {
    showRulers_->setChecked(checked);
}

}  // namespace sw
