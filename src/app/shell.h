#pragma once

#include <QObject>
#include <filesystem>
#include <memory>

#include "app/secondary_windows.h"
#include "app/settings.h"
#include "app/shell_seams.h"

namespace mv {

class Dialogs;
class TfPrinc;
class TrayIcon;
class DriveList;

struct ShellParams {
    Dialogs& dialogs;
    const mv::DriveList& drives;
    std::filesystem::path programFolder;
    ShellSeams seams;
    bool trayAvailable = false;
};

// Start-up, the tray, the close box and Exit around the main window.
class Shell : public QObject {
  public:
    // Creates the main window and its secondary windows (FormCreate runs here).
    explicit Shell(ShellParams params);
    ~Shell() override;

    // The rest of start-up: the settings; then the main window appears. The
    // caller runs the event loop.
    void Start();

    // The exit command (File > Exit, tray menu > Close): saves the settings and
    // the playlist, frees the player, removes the tray icon and ends the loop.
    void CloseClick();
    // The close box: the window goes to the tray (or is minimised); never closes.
    bool FormCloseQuery();

    TfPrinc& Window() { return *window_; }
    // The secondary windows, made with the main window.
    TfEQ& Equalizer() { return *windows_.equalizer; }
    TfSplash& Splash() { return *windows_.splash; }
    TrayIcon& Tray() { return *tray_; }
    bool Exited() const { return exited_; }
    std::filesystem::path IniFile() const;
    std::filesystem::path LastListFile() const;

  protected:
    // Presses and releases of the left button on the position bar tbTrack.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void FormCreate();
    void FillSeamDefaults();
    void RestorePlaylist();
    void Report(const std::string& error);

    Dialogs& dialogs_;
    std::filesystem::path programFolder_;
    ShellSeams seams_;
    std::unique_ptr<TfPrinc> window_;
    SecondaryWindows windows_;  // after window_: they go before it does
    std::unique_ptr<TrayIcon> tray_;
    mv::Settings loaded_;
    // Set when the file was there at start-up but could not be read: Exit
    // leaves it as it is rather than replace it unread.
    bool keepIniFile_ = false;
    bool keepLastList_ = false;
    bool exited_ = false;
};

}  // namespace mv
