// The notification-area icon, through QSystemTrayIcon.
#include "qtnotifyicon.h"

#include <QSystemTrayIcon>

#include <optional>

namespace sw::qt {
namespace {

std::optional<TrayClick> clickFor(QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::Trigger) return TrayClick::Activate;
    if (reason == QSystemTrayIcon::Context) return TrayClick::Context;
    return std::nullopt;
}

}  // namespace

QtNotifyIcon::QtNotifyIcon(QIcon icon) : icon_(std::move(icon)) {}

QtNotifyIcon::~QtNotifyIcon() {
    remove();
}

bool QtNotifyIcon::add(const std::string& tip, ClickHandler onClick) {
    onClick_ = std::move(onClick);
    if (!tray_) {
        tray_ = std::make_unique<QSystemTrayIcon>(icon_);
        QObject::connect(tray_.get(), &QSystemTrayIcon::activated,
                         [this](QSystemTrayIcon::ActivationReason reason) { activated(reason); });
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

void QtNotifyIcon::activated(QSystemTrayIcon::ActivationReason reason) {
    const auto click = clickFor(reason);
    if (!onClick_ || !click) return;
    // Copy first: the handler may remove the icon.
    const ClickHandler handler = onClick_;
    handler(*click);
}

bool QtNotifyIcon::hostAvailable() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

}  // namespace sw::qt
