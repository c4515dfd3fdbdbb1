#pragma once

#include <QObject>
#include <QString>

class QMenu;
class QSystemTrayIcon;
class QWidget;

namespace mv {

// The tray icon of the main window: double-click brings the window back, the
// right button opens the tray menu. Where the desktop has no tray, there is no
// icon and the window minimises instead of hiding, so it can always come back.
class TrayIcon : public QObject {
  public:
    // `available`: whether the desktop has a tray (QSystemTrayIcon::isSystemTrayAvailable()).
    TrayIcon(QWidget& window, QMenu* menu, bool available);
    ~TrayIcon() override;

    bool Available() const { return icon_ != nullptr; }
    // The close box and "Minimize program while comparing".
    void HideWindow();
    // Double-click on the icon, and the end of a comparison.
    void ShowWindow();
    // The tip while music plays; "Mp3 Vandrel" at start.
    void SetTip(const QString& tip);
    QString Tip() const { return tip_; }
    // At Exit.
    void Remove();

  private:
    QWidget& window_;
    QSystemTrayIcon* icon_ = nullptr;
    QString tip_;
};

}  // namespace mv
