// The notification-area icon, through QSystemTrayIcon. Clicks are reported with
// the mouse message numbers of the NotifyIcon interface.
#pragma once

#include <memory>

#include <QIcon>

#include "platform/desktop.h"

class QSystemTrayIcon;

namespace sw::qt {

class QtNotifyIcon final : public NotifyIcon {
public:
    explicit QtNotifyIcon(QIcon icon);
    ~QtNotifyIcon() override;
    bool add(const std::string& tip, MessageHandler onMessage) override;
    void modify(const std::string& tip) override;
    void remove() override;
    bool hostAvailable() const override;

private:
    QIcon icon_;
    std::unique_ptr<QSystemTrayIcon> tray_;
    MessageHandler onMessage_;
};

}  // namespace sw::qt
