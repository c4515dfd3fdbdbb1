#include "app/tray_icon.h"

#include <QApplication>
#include <QMenu>
#include <QStyle>
#include <QSystemTrayIcon>
#include <QWidget>

namespace mv {

TrayIcon::TrayIcon(QWidget& window, QMenu* menu, bool available)
    : window_(window), tip_(QStringLiteral("Mp3 Vandrel")) {
    if (!available) return;
    icon_ = new QSystemTrayIcon(this);
    QIcon icon = window.windowIcon();
    if (icon.isNull()) icon = window.style()->standardIcon(QStyle::SP_DriveCDIcon);
    icon_->setIcon(icon);
    icon_->setToolTip(tip_);
    icon_->setContextMenu(menu);
    connect(icon_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::DoubleClick) ShowWindow();
            });
    icon_->show();
}

TrayIcon::~TrayIcon() = default;

void TrayIcon::HideWindow() {
    if (icon_ != nullptr)
        window_.hide();
    else
        window_.showMinimized();
}

void TrayIcon::ShowWindow() {
    window_.showNormal();
    window_.raise();
    window_.activateWindow();
}

void TrayIcon::SetTip(const QString& tip) {
    tip_ = tip;
    if (icon_ != nullptr) icon_->setToolTip(tip);
}

void TrayIcon::Remove() {
    if (icon_ != nullptr) icon_->hide();
}

}  // namespace mv
