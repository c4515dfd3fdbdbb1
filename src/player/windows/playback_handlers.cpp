#include "player/windows/playback_handlers.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <chrono>
#include <exception>
#include <stdexcept>

#include "player/play_time.h"
#include "player/playback_text.h"
#include "player/player_control.h"
#include "player/playlist_edit.h"
#include "ui/common/dialogs.h"
#include "ui/common/display_text.h"

namespace mv {

namespace {

const QString kPlayingPrefix = QStringLiteral("Playing - ");
const QString kPaused = QStringLiteral("Paused");
const QString kStopped = QStringLiteral("Stopped");
const QString kCannotPlayPrefix = QStringLiteral("Unable to play - ");

}  // namespace

PlaybackHandlers::PlaybackHandlers(const PlaybackWidgets& widgets, Dialogs& dialogs,
                                   mv::Playlist& playlist, PlaybackHooks hooks, QObject* parent)
    : QObject(parent),
      w_(widgets),
      dialogs_(dialogs),
      playlist_(playlist),
      hooks_(std::move(hooks)),
      clockSeeded_(static_cast<std::mt19937::result_type>(
          std::chrono::steady_clock::now().time_since_epoch().count())) {
    if (!hooks_.random) {
        hooks_.random = [this](size_t bound) {
            return std::uniform_int_distribution<size_t>(0, bound - 1)(clockSeeded_);
        };
    }
    connect(w_.NextTimer, &QTimer::timeout, this, &PlaybackHandlers::NextTimerTimer);
    connect(w_.bStop, &QPushButton::clicked, this, &PlaybackHandlers::bStopClick);
    connect(w_.bPause, &QPushButton::clicked, this, &PlaybackHandlers::bPauseClick);
    connect(w_.bNext, &QPushButton::clicked, this, &PlaybackHandlers::bNextClick);
    connect(w_.tbPitch, &QSlider::valueChanged, this, &PlaybackHandlers::tbPitchChange);
    connect(w_.tbVolume, &QSlider::valueChanged, this, &PlaybackHandlers::tbVolumeChange);
    connect(w_.tbTrack, &QSlider::valueChanged, this, &PlaybackHandlers::ShowTime);
    ShowTime(w_.tbTrack->value());
}

void PlaybackHandlers::SendQuietly(const std::function<void()>& send) {
    if (player_ == nullptr) return;
    try {
        send();
    } catch (const std::exception&) {
        // Stopping a player whose engine never started has nothing to stop.
    }
}

void PlaybackHandlers::PlayFile(const std::string& path) {
    // The user's choice starts a new run of the playlist.
    failuresInRow_ = 0;
    StartFile(path);
}

void PlaybackHandlers::StartFile(const std::string& path) {
    stoppedByUser_ = false;
    SendQuietly([this] {
        player_->Stop();
        player_->InputClose();
        player_->OutputClose();
    });
    try {
        songName_ = DisplayText(mv::PlaylistDisplayName(path));
        currentFile_ = path;
        durationMs_ = 0;  // until the engine tells the new song's length
        status_ = kPlayingPrefix + songName_;
        if (player_ == nullptr) throw std::runtime_error("no audio player");
        player_->InputOpen(path);
        ++opensPending_;
        failedThisSong_ = false;
        player_->Play();
        tipOffset_ = 0;
        w_.bStop->setEnabled(true);
        w_.bPause->setEnabled(true);
        int index = mv::FindPlaylistPath(playlist_, path);
        const mv::PlaylistEntry entry{mv::PlaylistDisplayName(path), path};
        if (index < 0 && !mv::PlaylistFileCanHold(entry)) {
            // It plays, but a playlist that cannot be saved never holds it.
            w_.lPlayList->setCurrentRow(-1);
            dialogs_.Information(w_.window, DisplayText(mv::PlaylistRefusedMessage({path})));
            return;
        }
        if (index < 0) {
            playlist_.push_back(entry);
            w_.lPlayList->addItem(DisplayText(playlist_.back().name));
            index = static_cast<int>(playlist_.size()) - 1;
        }
        w_.lPlayList->setCurrentRow(index);
    } catch (const std::exception&) {
        SendQuietly([this] {
            player_->Stop();
            player_->InputClose();
            player_->OutputClose();
        });
        dialogs_.Information(w_.window, QStringLiteral("Unable to play this file"));
    }
}

void PlaybackHandlers::SetStatus(const QString& status) {
    status_ = status;
    if (static_cast<size_t>(status_.size()) <= mv::kTrayTipLength && hooks_.setTrayTip) {
        hooks_.setTrayTip(status_);
    }
    if (hooks_.showStatus) hooks_.showStatus(status_);
}

void PlaybackHandlers::PlayerStateChanged(int32_t state) {
    switch (state) {
        case mv::kStateStopped:
            durationMs_ = 0;
            w_.tbTrack->setValue(0);
            ShowTime(0);
            status_ = kStopped;
            break;
        case mv::kStatePlaying:
            status_ = kPlayingPrefix + songName_;
            break;
        case mv::kStatePaused:
            status_ = kPaused;
            break;
        case mv::kStateEnded:
            if (!failedThisSong_) failuresInRow_ = 0;
            // An end that was already on its way when Stop was clicked must
            // not start the next song.
            if (!stoppedByUser_) MoveOnOrStop();
            break;
        default:
            break;
    }
    if (state != mv::kStateEnded) state_ = state;
    SetStatus(status_);
    if (hooks_.stateChanged) hooks_.stateChanged();
}

void PlaybackHandlers::PlayPause() {
    // By the engine's state, not the button's caption, which another file
    // may have left at "Resume" while it plays.
    if (state_ == mv::kStatePlaying) {
        w_.bPause->setText(QStringLiteral("Resume"));
        SendQuietly([this] { player_->Pause(); });
        return;
    }
    if (state_ == mv::kStatePaused) {
        w_.bPause->setText(QStringLiteral("Pause"));
        SendQuietly([this] { player_->Play(); });
        return;
    }
    if (playlist_.empty()) return;
    const int row = w_.lPlayList->currentRow();
    const size_t entry = row >= 0 && static_cast<size_t>(row) < playlist_.size() ? row : 0;
    PlayFile(playlist_[entry].path);
}

void PlaybackHandlers::InputPositionChanged(uint32_t offset, uint32_t range) {
    if (!seekDragging_) w_.tbTrack->setValue(mv::TrackPosition(offset, range));
    if (static_cast<size_t>(status_.size()) > mv::kTrayTipLength) {
        const auto scroll = mv::ScrollTip(status_.toStdU32String(), tipOffset_);
        tipOffset_ = scroll.nextOffset;
        if (hooks_.setTrayTip) hooks_.setTrayTip(QString::fromStdU32String(scroll.tip));
    }
}

void PlaybackHandlers::StreamDurationChanged(uint32_t ms) {
    durationMs_ = ms;
    ShowTime(w_.tbTrack->value());
}

void PlaybackHandlers::ShowTime(int position) {
    if (w_.lTime == nullptr) return;
    w_.lTime->setText(
        DisplayText(mv::PositionTimeText(position, w_.tbTrack->maximum(), durationMs_)));
}

void PlaybackHandlers::Failed() {
    ++failuresInRow_;
    failedThisSong_ = true;
    SetStatus(kCannotPlayPrefix + songName_);
}

void PlaybackHandlers::MoveOnOrStop() {
    // A whole pass of files that would not play: stop rather than cycle on.
    if (failuresInRow_ > 0 && failuresInRow_ >= playlist_.size()) {
        w_.NextTimer->stop();
        StopPlayer();
        return;
    }
    w_.NextTimer->start();
}

void PlaybackHandlers::InputOpenAnswered(bool accepted) {
    if (opensPending_ > 0) --opensPending_;
    // Only the answer to the latest open speaks for the file now playing.
    if (accepted || opensPending_ > 0) return;
    Failed();
    MoveOnOrStop();
}

void PlaybackHandlers::DecodeFailed() {
    // The end of the stream follows and moves on.
    if (opensPending_ == 0 && !failedThisSong_) Failed();
}

void PlaybackHandlers::AdvancePlaylist() {
    const mv::AdvanceResult next = mv::AdvancePlaylist(
        {playlist_.size(), w_.lPlayList->currentRow(), w_.cbShuffle->isChecked()}, shuffle_,
        hooks_.random);
    if (next.stop) {
        // An empty playlist: the timer keeps ticking, so an entry added
        // meanwhile still plays.
        StopPlayer();
        return;
    }
    if (w_.cbShuffle->isChecked()) {
        w_.lPlayList->setSelectionMode(QAbstractItemView::SingleSelection);
    }
    w_.lPlayList->setCurrentRow(next.next);
    StartFile(playlist_[static_cast<size_t>(next.next)].path);
    w_.NextTimer->stop();
}

void PlaybackHandlers::NextTimerTimer() {
    AdvancePlaylist();
}

void PlaybackHandlers::SeekPress() {
    seekDragging_ = true;
}

void PlaybackHandlers::SeekRelease() {
    seekDragging_ = false;
    const int position = w_.tbTrack->value();
    const int range = w_.tbTrack->maximum();
    SendQuietly([this, position, range] { player_->InputSeek(position, range); });
}

void PlaybackHandlers::tbPitchChange() {
    const int value = w_.tbPitch->value();
    SendQuietly([this, value] { player_->SetSpeed(value); });
}

void PlaybackHandlers::tbVolumeChange() {
    const int value = w_.tbVolume->value();
    SendQuietly([this, value] { player_->SetVolume(value); });
}

void PlaybackHandlers::bStopClick() {
    // A song that has just ended must not start the next one after Stop.
    w_.NextTimer->stop();
    stoppedByUser_ = true;
    StopPlayer();
}

void PlaybackHandlers::StopPlayer() {
    SendQuietly([this] {
        player_->Stop();
        player_->InputClose();
        player_->OutputClose();
    });
    w_.bStop->setEnabled(false);
    w_.bPause->setEnabled(false);
}

void PlaybackHandlers::bPauseClick() {
    if (w_.bPause->text() == QStringLiteral("Pause")) {
        w_.bPause->setText(QStringLiteral("Resume"));
        SendQuietly([this] { player_->Pause(); });
    } else {
        w_.bPause->setText(QStringLiteral("Pause"));
        SendQuietly([this] { player_->Play(); });
    }
}

}  // namespace mv
