// The notification-area icon, through QSystemTrayIcon.
#pragma once

#include <memory>

#include <QIcon>

#include "desktop.h"

class QSystemTrayIcon;

namespace sw::qt {

class QtNotifyIcon final : public NotifyIcon {
public:
    explicit QtNotifyIcon(QIcon icon);
    ~QtNotifyIcon() override;
    bool add(const std::string& tip, ClickHandler onClick) override;
    void modify(const std::string& tip) override;
    void remove() override;
    bool hostAvailable() const override;

private:
    QIcon icon_;
    std::unique_ptr<QSystemTrayIcon> tray_;
    ClickHandler onClick_;
};

}  // namespace sw::qt
