#include "app/shell.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QSlider>
#include <QTimer>
#include <cstdio>
#include <exception>
#include <system_error>

#include "app/settings_binding.h"
#include "app/shell_options.h"
#include "app/tray_icon.h"
#include "catalogue/windows/tf_stats.h"
#include "mv_version.h"
#include "net/windows/tf_poll.h"
#include "net/windows/tf_splash.h"
#include "platform/text_encoding.h"
#include "player/playlist_file.h"
#include "player/windows/playback_handlers.h"
#include "player/windows/tf_eq.h"
#include "ui/common/dialogs.h"
#include "ui/common/display_text.h"
#include "ui/main/file_browser.h"
#include "ui/main/tf_princ.h"

namespace mv {

namespace {

void SetCurrentFolder(const std::filesystem::path& folder) {
    std::error_code ec;
    std::filesystem::current_path(folder, ec);
}

}  // namespace

Shell::Shell(ShellParams p)
    : dialogs_(p.dialogs), programFolder_(std::move(p.programFolder)), seams_(std::move(p.seams)) {
    window_ = std::make_unique<TfPrinc>(dialogs_, p.drives, programFolder_);
    windows_ = MakeSecondaryWindows({*window_, dialogs_, programFolder_});
    tray_ = std::make_unique<TrayIcon>(*window_, window_->Controls().pmMain, p.trayAvailable);
    FormCreate();
}

Shell::~Shell() {
    QCoreApplication::instance()->removeEventFilter(this);
    window_->closeQuery = nullptr;
}

std::filesystem::path Shell::IniFile() const {
    return mv::FindProgramFile(programFolder_, mv::kSettingsFileName);
}

std::filesystem::path Shell::LastListFile() const {
    return mv::FindProgramFile(programFolder_, mv::kLastListFileName);
}

// The windows keep what the settings carry, unless a test gave its own seam.
void Shell::FillSeamDefaults() {
    // The list editor keeps the display mode the settings carry.
    if (!seams_.setDisplayMode) {
        seams_.setDisplayMode = [this](int mode) { windows_.stats->SetDisplayMode(mode); };
    }
    if (!seams_.displayMode) seams_.displayMode = [this] { return windows_.stats->DisplayMode(); };
    // The equalizer window keeps the section EQUALIZER.
    if (!seams_.applyEqualizer) {
        seams_.applyEqualizer = [this](bool enabled, const mv::EqualizerBars& bars) {
            windows_.equalizer->Restore(enabled, bars);
        };
    }
    if (!seams_.equalizerEnabled)
        seams_.equalizerEnabled = [this] { return windows_.equalizer->Enabled(); };
    if (!seams_.equalizerBars) seams_.equalizerBars = [this] { return windows_.equalizer->Bars(); };
    if (!seams_.applyEqPresets) {
        seams_.applyEqPresets = [this](const std::vector<mv::EqualizerPreset>& presets) {
            windows_.equalizer->SetUserPresets(presets);
        };
    }
    if (!seams_.eqPresets) seams_.eqPresets = [this] { return windows_.equalizer->UserPresets(); };
}

void Shell::FormCreate() {
    TfPrinc& w = *window_;
    w.CaptureLayout();

    w.closeQuery = [this] { return FormCloseQuery(); };
    FillSeamDefaults();
    if (windows_.equalizer) windows_.equalizer->SetDialogs(&dialogs_);
    if (!seams_.seekPress) seams_.seekPress = [&w] { w.Playback().SeekPress(); };
    if (!seams_.seekRelease) seams_.seekRelease = [&w] { w.Playback().SeekRelease(); };
    w.setTrayTip = [this](const QString& tip) { tray_->SetTip(tip); };
    w.hideToTray = [this] { tray_->HideWindow(); };
    w.showFromTray = [this] { tray_->ShowWindow(); };
    w.exitClick = [this] { CloseClick(); };
    WireShellOptions({w, dialogs_, [this] { return loaded_.server; },
                      [this](const std::string& server) {
                          loaded_.server = server;
                          windows_.poll->SetServer(server);
                      }});

    // The browser starts at the root of the drive the program was started on.
    std::error_code ec;
    const auto startFolder = std::filesystem::current_path(ec);
    w.Browser().OpenDriveRootOf(ec ? std::string("/") : startFolder.string());
    SetCurrentFolder(programFolder_);

    RestorePlaylist();

    if (seams_.createPlayer) {
        try {
            seams_.createPlayer(w, *tray_);
        } catch (const std::exception& e) {
            // No sound; every attempt to play says so.
            std::fprintf(
                stderr, "mp3vandrel: running without sound, the audio player could not start: %s\n",
                e.what());
        }
    }
    SetCurrentFolder(programFolder_);

    w.SetCreditLine(
        QStringLiteral("Mp3 Vandrel by the Mp3 Vandrel authors - mp3vandrel@example.org - "
                       "www.mp3vandrel.example - Version " MV_VERSION));

    QCoreApplication::instance()->installEventFilter(this);
}

void Shell::RestorePlaylist() {
    TfPrinc& w = *window_;
    mv::Playlist restored;
    const auto load = mv::LoadPlaylistWithStatus(LastListFile(), restored);
    if (load.status == mv::ReadStatus::Unreadable) {
        keepLastList_ = true;
        Report(load.message + " The playlist starts empty and is not saved at Exit.");
    }
    w.RestorePlaylist(std::move(restored));
}

void Shell::Start() {
    TfPrinc& w = *window_;
    const auto load = LoadSettings({w, dialogs_, seams_, IniFile()});
    loaded_ = load.settings;
    keepIniFile_ = load.keepFile;
    windows_.poll->SetServer(loaded_.server);
    RestoreLastFolder(w, loaded_.lastFolder);
    w.show();
}

bool Shell::FormCloseQuery() {
    tray_->HideWindow();
    return false;
}

void Shell::Report(const std::string& error) {
    if (!error.empty()) dialogs_.Information(window_.get(), DisplayText(error));
}

void Shell::CloseClick() {
    if (exited_) return;
    TfPrinc& w = *window_;
    // Exit from the tray menu during a comparison: stop it first, so no
    // worker outlives the window; Exit goes on once the window is idle.
    if (w.IsBusy()) {
        w.bCancelClick();
        QTimer::singleShot(50, this, &Shell::CloseClick);
        return;
    }
    exited_ = true;
    if (!keepIniFile_) Report(SaveSettings({w, seams_, IniFile(), loaded_}).error);
    if (!keepLastList_) Report(mv::SavePlaylist(LastListFile(), w.playlist));
    if (seams_.freePlayer) seams_.freePlayer();
    tray_->Remove();
    QCoreApplication::exit(0);
}

bool Shell::eventFilter(QObject* watched, QEvent* event) {
    if (watched == static_cast<QObject*>(window_->Controls().tbTrack) &&
        (event->type() == QEvent::MouseButtonPress ||
         event->type() == QEvent::MouseButtonRelease) &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        const auto& hook =
            event->type() == QEvent::MouseButtonPress ? seams_.seekPress : seams_.seekRelease;
        if (hook) hook();
    }
    return false;  // every event goes on to its normal handling
}

}  // namespace mv
