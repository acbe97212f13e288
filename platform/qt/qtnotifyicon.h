// The notification-area icon, through QSystemTrayIcon.
#pragma once

#include <memory>

#include <QIcon>
#include <QSystemTrayIcon>

#include "desktop.h"

namespace sw::qt {

class QtNotifyIcon final : public NotifyIcon {
public:
    explicit QtNotifyIcon(QIcon icon);
    ~QtNotifyIcon() override;
    bool add(const std::string& tip, ClickHandler onClick) override;
    void modify(const std::string& tip) override;
    void remove() override;
    bool hostAvailable() const override;
    // Tells the handler what the user did, for Qt's reason of an activation: a
    // double click adds nothing to the click it began with, and the middle
    // button does nothing.
    void activated(QSystemTrayIcon::ActivationReason reason);

private:
    QIcon icon_;
    std::unique_ptr<QSystemTrayIcon> tray_;
    ClickHandler onClick_;
};

}  // namespace sw::qt
