// The composition root, the start routine and the orderly end.
#include "sizewise.h"

#include <cstdio>

#include "form1.h"
#include "rulers.h"
#include "settings.h"

namespace sw {

Sizewise::Sizewise(const Desktop& desktop, Options options,
                   std::function<void(int status)> endProcess)
    : desktop_(desktop),
      options_(options),
      endProcess_(std::move(endProcess)),
      // The screen is read once: the layout view takes its proportions from it,
      // and stored places are kept in its twips.
      screen_(desktop.screen.metrics()),
      target_(desktop.windows),
      monitor_(desktop.windows, target_) {
    rulers_ = std::make_unique<Rulers>(desktop.windows, desktop.pointer, desktop.settings, screen_,
                                       target_);
    form_ = std::make_unique<Form1>(MainWindowDesktop{desktop.windows, desktop.pointer,
                                                      desktop.shell, desktop.notifyIcon, screen_},
                                    target_, presets_);
    wire();
    // The monitor starts with the main window, before loading has finished.
    monitor_.start();
}

Sizewise::~Sizewise() {
    desktop_.screen.setMonitorsHandler(nullptr);
    // The rulers go first: they are windows of their own, without an owner.
    rulers_.reset();
    form_.reset();
}

void Sizewise::wire() {
    connect(&monitor_, &TargetMonitor::targetRead, this, [this](const TargetReading& reading) {
        rulers_->ShowReading(reading.foreground, reading.shown);
        form_->ShowReading(reading);
    });
    connect(form_.get(), &Form1::rulersSwitched, rulers_.get(), &Rulers::ShowRulers);
    connect(rulers_.get(), &Rulers::shownChanged, form_.get(), &Form1::ShowRulersState);
    connect(form_.get(), &Form1::unloadRequested, this, &Sizewise::Unload);
    connect(form_.get(), &Form1::cameIntoView, &monitor_, &TargetMonitor::ReadSoon);
    desktop_.screen.setMonitorsHandler([this] {
        if (mUnloaded) return;
        screen_ = desktop_.screen.metrics();
        form_->ScreenChanged(screen_);
        rulers_->ScreenChanged(screen_);
    });
}

void Sizewise::Main() {
    WindowSystem& windows = desktop_.windows;
    target_.setWindow(windows.foregroundWindow());
    std::size_t titleLength = windows.describeWindow(target_.window()).title.size();
    for (int attempt = 0; attempt < kStartAttempts && titleLength == 0; ++attempt) {
        windows.sendForegroundToBack();
        target_.setWindow(windows.foregroundWindow());
        titleLength = windows.describeWindow(target_.window()).title.size();
    }
    form_->Form_Load(LoadConfig(), options_.splash);
    // A window hidden to the notification area at the last exit starts hidden;
    // nor is one shown that was unloaded while its splash showed.
    if (!form_->isHiddenToTray() && !mUnloaded) form_->show();
}

MainConfig Sizewise::LoadConfig() {
    const MainConfig config = ReadMainConfig(desktop_.settings);
    presets_.setValues(config.presets);
    return config;
}

bool Sizewise::SaveConfig(std::string* why) {
    MainConfig config;
    form_->CollectConfig(config);
    config.presets = presets_.values();
    config.showRuler = rulers_->shown();
    bool ok = WriteMainConfig(desktop_.settings, config);
    ok = rulers_->SaveRulerConfig() && ok;
    if (!ok && why) *why = "the settings store refused a value";
    return desktop_.settings.flush(ok ? why : nullptr) && ok;
}

void Sizewise::SaveOrSay() {
    std::string why;
    if (!SaveConfig(&why))
        std::fprintf(stderr, "Sizewise: the settings were not saved: %s\n", why.c_str());
}

void Sizewise::Unload(int unloadMode) {
    if (mUnloaded || unloadMode == kUnloadControlMenu) return;
    mUnloaded = true;
    SaveOrSay();
    monitor_.stop();
    rulers_->Unload();
    form_->Form_Unload();
    if (endProcess_) endProcess_(0);
}

void Sizewise::UnloadWithoutDisplay() {
    if (mUnloaded) return;
    mUnloaded = true;
    SaveOrSay();
}

void Sizewise::BringToFront() {
    if (!mUnloaded) form_->BringToFront();
}

}  // namespace sw
