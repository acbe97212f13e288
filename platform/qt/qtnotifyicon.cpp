// The notification-area icon, through QSystemTrayIcon.
#include "platform/qt/qtnotifyicon.h"

#include <QSystemTrayIcon>

namespace sw::qt {

QtNotifyIcon::QtNotifyIcon(QIcon icon) : icon_(std::move(icon)) {}

QtNotifyIcon::~QtNotifyIcon() { remove(); }

bool QtNotifyIcon::add(const std::string& tip, MessageHandler onMessage) {
    onMessage_ = std::move(onMessage);
    if (!tray_) {
        tray_ = std::make_unique<QSystemTrayIcon>(icon_);
        // Qt reports a press of either button as one activation; the program
        // wants the Win32 sequence (a right click is a down and an up).
        QObject::connect(tray_.get(), &QSystemTrayIcon::activated,
                         [this](QSystemTrayIcon::ActivationReason reason) {
                             if (!onMessage_) return;
                             // Copy first: the handler may remove the icon.
                             const MessageHandler handler = onMessage_;
                             if (reason == QSystemTrayIcon::Trigger) {
                                 handler(kLeftButtonDown);
                             } else if (reason == QSystemTrayIcon::Context) {
                                 handler(kRightButtonDown);
                                 handler(kRightButtonUp);
                             }
                         });
    }
    tray_->setToolTip(QString::fromStdString(tip));
    // The icon embeds by itself when a notification area appears later.
    tray_->show();
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void QtNotifyIcon::modify(const std::string& tip) {
    if (tray_) tray_->setToolTip(QString::fromStdString(tip));
}

void QtNotifyIcon::remove() {
    if (!tray_) return;
    tray_->hide();
    tray_.reset();
}

bool QtNotifyIcon::hostAvailable() const { return QSystemTrayIcon::isSystemTrayAvailable(); }

}  // namespace sw::qt
