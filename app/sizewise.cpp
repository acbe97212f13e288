// The composition root, the start and the orderly end.
#include "sizewise.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "aboutwindow.h"
#include "commandrunner.h"
#include "links.h"
#include "mainwindow.h"
#include "nativehandle.h"
#include "preseteditor.h"
#include "readablestyle.h"
#include "rulers.h"
#include "settings.h"
#include "shortcuts.h"
#include "shortcutswindow.h"
#include "traymenu.h"

namespace sw {

Sizewise::Sizewise(const Desktop& desktop, Options options,
                   std::function<void(int status)> endProcess, Clock clock)
    : desktop_(desktop),
      options_(options),
      clock_(clock),
      endProcess_(std::move(endProcess)),
      // Children as well as members: the program's objects form one tree under the root, as
      // Qt's tools see it; each leaves its parent when it goes.
      screen_(desktop.screen, this),
      target_(desktop.windows, clock, this),
      presets_(this),
      rulers_(std::make_unique<Rulers>(desktop.windows, desktop.pointer, desktop.settings, screen_,
                                       target_, clock, this)),
      window_(std::make_unique<MainWindow>(desktop.windows, screen_, target_, presets_)),
      tray_(std::make_unique<TrayMenu>(desktop.notifyIcon, desktop.pointer, presets_, this)),
      links_(new Links(desktop.shell, QCoreApplication::applicationDirPath().toStdString(),
                       window_.get())),
      shortcuts_(new GlobalShortcuts(desktop.keys, this)) {
    // The desktop's style, with focus and checked states drawn so that they can be told apart.
    if (qobject_cast<ReadableStyle*>(QApplication::style()) == nullptr) {
        QApplication::setStyle(new ReadableStyle(QApplication::style()->name()));
    }
    wireWindow();
    wireTray();
    connect(shortcuts_, &GlobalShortcuts::triggered, this, &Sizewise::runShortcut);
}

Sizewise::~Sizewise() {
    target_.stop();
    // The rulers go first: they are windows of their own, without an owner.
    rulers_.reset();
    tray_.reset();
    window_.reset();
}

void Sizewise::wireWindow() {
    MainWindow* w = window_.get();
    connect(w, &MainWindow::rulersSwitched, rulers_.get(), &Rulers::setShown);
    connect(rulers_.get(), &Rulers::shownChanged, w, &MainWindow::setRulersShown);
    connect(w, &MainWindow::cameIntoView, &target_, &Target::readSoon);
    connect(w, &MainWindow::mailRequested, links_, &Links::openMail);
    connect(w, &MainWindow::helpRequested, links_, &Links::showHelp);
    connect(w, &MainWindow::webRequested, links_, &Links::openWeb);
    connect(w, &MainWindow::closeBoxPressed, this, &Sizewise::closeBoxPressed);
    connect(w, &MainWindow::exitRequested, this, &Sizewise::quit);
}

void Sizewise::wireTray() {
    TrayMenu* t = tray_.get();
    MainWindow* w = window_.get();
    connect(&target_, &Target::changed, t,
            [t](const TargetReading& reading) { t->showTitle(reading.info.title); });
    connect(w, &MainWindow::menuRequested, t, &TrayMenu::popupAt);
    connect(w, &MainWindow::pointerMenuRequested, t, [t] { t->popupAtPointer(false); });
    connect(w, &MainWindow::hiddenChanged, t, &TrayMenu::setHidden);
    connect(w, &MainWindow::layoutSwitched, t, &TrayMenu::setLayoutChecked);
    connect(rulers_.get(), &Rulers::shownChanged, t, &TrayMenu::setRulersChecked);
    connect(t, &TrayMenu::layoutToggled, w, &MainWindow::setLayoutShown);
    connect(t, &TrayMenu::rulersToggled, rulers_.get(), &Rulers::setShown);
    connect(t, &TrayMenu::editPresetsChosen, this, &Sizewise::editPresets);
    connect(t, &TrayMenu::shortcutsChosen, this, &Sizewise::editShortcuts);
    connect(t, &TrayMenu::presetChosen, this, [this](int slot) {
        target_.resizeTo(presets_.values().width[slot], presets_.values().height[slot]);
    });
    connect(t, &TrayMenu::aboutChosen, this, &Sizewise::showAbout);
    connect(t, &TrayMenu::helpChosen, links_, &Links::showHelp);
    connect(t, &TrayMenu::iconActivated, w, [w] { w->setHiddenToTray(!w->isHiddenToTray()); });
    connect(t, &TrayMenu::hideChosen, w, [w] { w->setHiddenToTray(!w->isHiddenToTray()); });
    connect(t, &TrayMenu::iconContextClicked, this, &Sizewise::openFromIcon);
    connect(t, &TrayMenu::exitChosen, this, &Sizewise::quit);
}

void Sizewise::start() {
    target_.start();
    const MainSettings settings = readMainSettings(desktop_.settings);
    presets_.setValues(settings.presets);
    tray_->addIcon();
    tray_->setLayoutChecked(settings.showLayout);
    window_->applySettings(settings);
    rulers_->setShown(settings.showRuler);
    takeShortcuts();
    if (options_.splash) {
        showSplash();
    } else {
        finishStart();
    }
}

void Sizewise::showSplash() {
    // Owned by no window: the main window is not on the display yet, and an owner would make Qt
    // create it, placed by its inside rather than its frame.
    splash_ = new AboutWindow(AboutWindow::Role::Splash, desktop_.windows, screen_, nullptr);
    // Queued: a right click on the icon closes the splash before it opens the menu.
    connect(splash_, &QDialog::finished, this, &Sizewise::finishStart, Qt::QueuedConnection);
    splash_->show();
}

void Sizewise::finishStart() {
    if (ended_) return;
    // A right click on the icon closes the splash and opens the menu: the main window comes once
    // the menu has closed (and what was chosen from it has run), as showing it would close it.
    if (tray_->menuOpen()) {
        connect(tray_.get(), &TrayMenu::menuClosed, this, &Sizewise::finishStart,
                static_cast<Qt::ConnectionType>(Qt::QueuedConnection | Qt::SingleShotConnection));
        return;
    }
    window_->finishStart();
    askOffer();
}

// Once per version of the offer, whatever the answer: a user who said no is not asked again.
void Sizewise::askOffer() {
    if (!options_.offer) return;
    const DesktopOffer& offer = *options_.offer;
    const SettingKey& asked = setting(kSetupSection, "Offered");
    if (readInt32(desktop_.settings, asked) >= offer.version) return;
    auto* box = new QMessageBox(QMessageBox::Question, QString::fromStdString(offer.title),
                                QString::fromStdString(offer.question), QMessageBox::NoButton,
                                window_.get());
    box->setObjectName("offerBox");
    QPushButton* take =
        box->addButton(QString::fromStdString(offer.acceptText), QMessageBox::AcceptRole);
    box->addButton("Not now", QMessageBox::RejectRole);
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(box, &QMessageBox::finished, this, [this, box, take, asked] {
        std::string why;
        if (!writeInt32(desktop_.settings, asked, options_.offer->version) ||
            !desktop_.settings.flush(&why))
            std::fprintf(stderr, "Sizewise: the answer was not saved: %s\n", why.c_str());
        if (box->clickedButton() != take) return;
        QPointer<QWidget> parent = window_.get();
        options_.offer->accept([parent](bool ok, const std::string& said) {
            auto* told =
                new QMessageBox(ok ? QMessageBox::Information : QMessageBox::Warning, "Sizewise",
                                QString::fromStdString(said), QMessageBox::Ok, parent);
            told->setObjectName("offerOutcome");
            told->setAttribute(Qt::WA_DeleteOnClose);
            told->open();
        });
    });
    box->open();
}

void Sizewise::showAbout() {
    if (about_ != nullptr && about_->isVisible()) {
        about_->raise();
        return;
    }
    // Modal to the main window only: the icon stays live.
    about_ = new AboutWindow(AboutWindow::Role::About, desktop_.windows, screen_, window_.get());
    about_->open();
}

void Sizewise::editPresets() {
    if (editor_ != nullptr && editor_->isVisible()) {
        editor_->raise();
        return;
    }
    // A fresh editor each time, so that it shows the slots as they are now.
    editor_ = new PresetEditor(presets_, desktop_.windows, screen_, window_.get());
    editor_->open();
}

void Sizewise::openFromIcon() {
    if (splash_ != nullptr && splash_->isVisible()) splash_->accept();
    desktop_.windows.activateWindow(nativeHandle(window_.get()));
}

void Sizewise::closeBoxPressed() {
    // With no notification area nothing could bring a hidden window back: it is minimised.
    if (!desktop_.notifyIcon.hostAvailable()) {
        window_->showMinimized();
    } else {
        window_->setHiddenToTray(true);
    }
}

bool Sizewise::save(std::string* why) {
    MainSettings settings;
    window_->collectSettings(settings);
    settings.presets = presets_.values();
    settings.showRuler = rulers_->isShown();
    bool ok = writeMainSettings(desktop_.settings, settings);
    ok = rulers_->save() && ok;
    ok = writeShortcuts(desktop_.settings, shortcuts_->shortcuts()) && ok;
    if (!ok && why) *why = "the settings store refused a value";
    return desktop_.settings.flush(ok ? why : nullptr) && ok;
}

void Sizewise::saveOrSay() {
    std::string why;
    if (!save(&why))
        std::fprintf(stderr, "Sizewise: the settings were not saved: %s\n", why.c_str());
}

void Sizewise::quit() {
    if (ended_) return;
    ended_ = true;
    saveOrSay();
    target_.stop();
    shortcuts_->release();
    rulers_->end();
    tray_->removeIcon();
    window_->end();
    if (endProcess_) endProcess_(0);
}

void Sizewise::quitWithoutDisplay() {
    if (ended_) return;
    ended_ = true;
    saveOrSay();
}

void Sizewise::bringToFront() {
    if (!ended_) window_->bringToFront();
}

void Sizewise::runCommand(const std::vector<std::string>& args,
                          std::function<void(const Reply&)> answer) {
    const auto parsed = parseWindowCommand(args);
    if (ended_) {
        answer(Reply{kNotDone, "", "Sizewise: it is ending\n"});
        return;
    }
    if (const auto* why = std::get_if<std::string>(&parsed)) {
        answer(Reply{kBadUsage, "", "Sizewise: " + *why + "\n"});
        return;
    }
    const WindowCommand& command = std::get<WindowCommand>(parsed);
    if (needsRunningProgram(command)) {
        runOnProgram(command.verb);
        answer(Reply{});
        return;
    }
    runOnWindow(command, std::move(answer));
}

void Sizewise::runOnWindow(const WindowCommand& command, std::function<void(const Reply&)> answer) {
    const WindowId window = command.window != 0 ? command.window : target_.window();
    if (TargetWatcher::isOwnWindow(window)) {
        answer(Reply{kNotDone, "", "Sizewise: that window is Sizewise's own\n"});
        return;
    }
    // The target is placed through its model, so that the windows show the command at once.
    const CommandRunner::Acts acts{
        [this](WindowId w, const Placement& p) {
            w == target_.window() ? target_.place(p) : desktop_.windows.placeWindow(w, p);
        },
        [this](WindowId w, ShowCommand c) {
            w == target_.window() ? target_.show(c) : desktop_.windows.showWindow(w, c);
        }};
    auto* runner = new CommandRunner(desktop_.windows, screen_.monitors(), presets_.values(), acts,
                                     clock_, this);
    runner->run(command, window, std::move(answer));
}

void Sizewise::takeShortcuts() {
    shortcuts_->setShortcuts(readShortcuts(desktop_.settings));
    const auto& refusals = shortcuts_->refusals();
    const auto& shortcuts = shortcuts_->shortcuts();
    std::vector<std::size_t> refused;
    std::size_t keyed = 0;
    for (std::size_t a = 0; a < refusals.size(); ++a) {
        keyed += shortcuts[a].key != 0;
        if (!refusals[a].empty()) refused.push_back(a);
    }
    // A desktop that takes no shortcut at all refuses each for the same reason: said once.
    const auto sameReason = [&](std::size_t a) { return refusals[a] == refusals[refused[0]]; };
    if (refused.size() > 1 && refused.size() == keyed &&
        std::all_of(refused.begin(), refused.end(), sameReason)) {
        std::fprintf(stderr, "Sizewise: no global shortcut is available: %s\n",
                     refusals[refused[0]].c_str());
        return;
    }
    for (const std::size_t a : refused) {
        std::fprintf(stderr, "Sizewise: the shortcut %s (%s) is not available: %s\n",
                     shortcutText(shortcuts[a]).c_str(),
                     shortcutAction(static_cast<int>(a)).label.c_str(), refusals[a].c_str());
    }
}

void Sizewise::runShortcut(int action) {
    if (ended_) return;
    if (action == static_cast<int>(ShortcutAction::MainWindow)) {
        runOnProgram(window_->isHiddenToTray() ? Verb::ShowWindow : Verb::HideWindow);
        return;
    }
    if (action == static_cast<int>(ShortcutAction::Rulers)) {
        runOnProgram(Verb::ToggleRulers);
        return;
    }
    WindowCommand command;
    static constexpr Verb kStates[] = {Verb::Origin, Verb::Minimise, Verb::Restore, Verb::Maximise};
    command.verb = action < kPresetSlots ? Verb::Preset : kStates[action - kPresetSlots];
    command.preset = action;
    // The window in front at the press; while one of Sizewise's is, the target.
    const WindowId front = desktop_.windows.foregroundWindow();
    command.window = front != 0 && !TargetWatcher::isOwnWindow(front) ? front : target_.window();
    runOnWindow(command, [](const Reply& reply) { std::fputs(reply.err.c_str(), stderr); });
}

void Sizewise::editShortcuts() {
    if (shortcutsWindow_ != nullptr && shortcutsWindow_->isVisible()) {
        shortcutsWindow_->raise();
        return;
    }
    shortcutsWindow_ = new ShortcutsWindow(*shortcuts_, window_.get());
    shortcutsWindow_->open();
}

void Sizewise::runOnProgram(Verb verb) {
    switch (verb) {
        case Verb::ShowRulers:
        case Verb::HideRulers:
        case Verb::ToggleRulers:
            rulers_->setShown(verb == Verb::ShowRulers ||
                              (verb == Verb::ToggleRulers && !rulers_->isShown()));
            break;
        case Verb::ShowWindow:
            window_->setHiddenToTray(false);
            window_->bringToFront();
            break;
        default:
            closeBoxPressed();
            break;
    }
}

}  // namespace sw
