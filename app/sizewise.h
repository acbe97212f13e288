// The composition root: makes every part of the program and wires them together, runs the
// start (as plain steps of the event loop: the splash's three seconds and a menu opened meanwhile
// are waited for by signals, not by loops of their own) and the orderly end. Nothing else in the
// program knows more than the parts it was given.
#pragma once

#include <functional>
#include <memory>
#include <optional>

#include <QObject>
#include <QPointer>

#include "backend.h"
#include "clock.h"
#include "desktop.h"
#include "presetslots.h"
#include "screenmodel.h"
#include "target.h"
#include "windowcommand.h"

namespace sw {

class AboutWindow;
class Links;
class MainWindow;
class GlobalShortcuts;
class PresetEditor;
class ShortcutsWindow;
class Rulers;
class TrayMenu;

struct Options {
    // The three-second splash at start; --no-splash leaves it out.
    bool splash = true;
    // A step the desktop offers (installing Sizewise's extension there), asked once per version.
    std::optional<DesktopOffer> offer;
};

class Sizewise final : public QObject {
    Q_OBJECT

public:
    // endProcess runs once the program has ended, with the exit status.
    Sizewise(const Desktop& desktop, Options options, std::function<void(int status)> endProcess,
             Clock clock = steadyClock());
    ~Sizewise() override;

    // The start: the first target is picked, the settings are read, the icon comes, then the
    // splash, and after it the main window, unless it was hidden at the last end.
    void start();
    // The orderly end ("Exit", a signal, the session's end): the settings are saved, the rulers
    // and the icon go and the process ends. Runs once.
    void quit();
    // The way out when the display has gone: saves the settings without touching a widget or
    // the display. Runs once.
    void quitWithoutDisplay();
    // Another start on the same display asks this one to show itself.
    void bringToFront();
    // A command handed over from the command line, on the target unless it names a window;
    // answer runs once it has landed or failed.
    void runCommand(const std::vector<std::string>& args, std::function<void(const Reply&)> answer);

private:
    void wireWindow();
    void wireTray();
    void showSplash();
    void finishStart();
    void askOffer();
    void showAbout();
    void editPresets();
    void openFromIcon();
    void closeBoxPressed();
    bool save(std::string* why);
    void saveOrSay();
    void runOnProgram(Verb verb);
    void runOnWindow(const WindowCommand& command, std::function<void(const Reply&)> answer);
    void runShortcut(int action);
    void takeShortcuts();
    void editShortcuts();

    Desktop desktop_;
    Options options_;
    Clock clock_;
    std::function<void(int status)> endProcess_;
    ScreenModel screen_;
    Target target_;
    Presets presets_;
    std::unique_ptr<Rulers> rulers_;
    std::unique_ptr<MainWindow> window_;
    std::unique_ptr<TrayMenu> tray_;
    Links* links_ = nullptr;
    QPointer<AboutWindow> splash_;
    QPointer<AboutWindow> about_;
    QPointer<PresetEditor> editor_;
    GlobalShortcuts* shortcuts_ = nullptr;
    QPointer<ShortcutsWindow> shortcutsWindow_;
    bool ended_ = false;
};

}  // namespace sw
