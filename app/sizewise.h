// The composition root: makes every part of the program, wires them together,
// runs the start routine and the orderly end. Nothing else in the program
// knows more than the parts it was given.
#pragma once

#include <functional>
#include <memory>

#include <QObject>

#include "desktop.h"
#include "monitor.h"
#include "presets.h"
#include "settings.h"
#include "target.h"

namespace sw {

class Form1;
class Rulers;

struct Options {
    // The three-second splash at start; --no-splash leaves it out.
    bool splash = true;
};

class Sizewise final : public QObject {
    Q_OBJECT

public:
    // How many times the start routine pushes an untitled foreground window back.
    static constexpr int kStartAttempts = 10;

    // endProcess runs once the main window has unloaded, with the exit status.
    Sizewise(const Desktop& desktop, Options options, std::function<void(int status)> endProcess);
    ~Sizewise() override;

    // The start routine (`Main`): picks the first titled foreground window as
    // the target, pushing untitled ones to the back up to ten times, then loads
    // the main window and shows it unless it was hidden at the last exit.
    void Main();

    // The orderly end (`Form_QueryUnload` and `Form_Unload` of the main window):
    // the close box only hides; any other mode saves the settings, unloads the
    // rulers, removes the icon and ends the process.
    void Unload(int unloadMode);
    bool isUnloaded() const { return mUnloaded; }
    // The way out when the display has gone: saves the settings without
    // touching a widget or the display. Runs once.
    void UnloadWithoutDisplay();

    // Another start on the same display asks this one to show itself.
    void BringToFront();

    Form1& mainWindow() const { return *form_; }
    TargetMonitor& monitor() { return monitor_; }
    Rulers& rulers() const { return *rulers_; }
    const Target& target() const { return target_; }

private:
    void wire();
    MainConfig LoadConfig();
    // False, with the reason, when the settings could not be saved.
    bool SaveConfig(std::string* why);
    void SaveOrSay();

    Desktop desktop_;
    Options options_;
    std::function<void(int status)> endProcess_;
    ScreenMetrics screen_;
    Target target_;
    Presets presets_;
    TargetMonitor monitor_;
    std::unique_ptr<Rulers> rulers_;
    std::unique_ptr<Form1> form_;
    bool mUnloaded = false;
};

}  // namespace sw
