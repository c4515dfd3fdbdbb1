#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <random>
#include <string>

#include "player/playback_text.h"
#include "player/playlist_file.h"
#include "player/shuffle_order.h"

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSlider;
class QTimer;
class QWidget;

namespace mv {

class Dialogs;
class PlayerControl;

// The widgets of the main window's music panel and playlist that playback
// reads and writes.
struct PlaybackWidgets {
    QWidget* window = nullptr;  // parent of the failure box
    QListWidget* lPlayList = nullptr;
    QSlider* tbPitch = nullptr;
    QSlider* tbVolume = nullptr;
    QSlider* tbTrack = nullptr;
    QPushButton* bStop = nullptr;
    QPushButton* bPause = nullptr;
    QPushButton* bNext = nullptr;
    QCheckBox* cbShuffle = nullptr;
    QTimer* NextTimer = nullptr;
    QLabel* lTime = nullptr;  // elapsed / total beside tbTrack; optional
};

// What playback asks of the rest of the program.
struct PlaybackHooks {
    // The status text changed: the window's caption follows it.
    std::function<void(const QString& status)> showStatus;
    // The tray icon's tip (the shell's tray).
    std::function<void(const QString& tip)> setTrayTip;
    // Draws uniformly below the bound; unset: a generator seeded from the clock.
    mv::RandomBelow random;
    // The engine's state or the song changed (the desktop's media service follows).
    std::function<void()> stateChanged;
};

// Starting a file, the engine's state and position notifications, the next
// song (shuffle and the end-of-song timer), seeking, speed, volume, Stop and
// Pause. Lives on the GUI thread; the playlist is the window's, shared with
// the playlist handlers, and lPlayList shows it row for row.
class PlaybackHandlers : public QObject {
    Q_OBJECT
  public:
    PlaybackHandlers(const PlaybackWidgets& widgets, Dialogs& dialogs, mv::Playlist& playlist,
                     PlaybackHooks hooks, QObject* parent = nullptr);

    // The player component; null (or one whose engine cannot start) makes
    // every attempt to play show "Unable to play this file".
    void SetPlayer(mv::PlayerControl* player) { player_ = player; }

    // Plays `path`, adding it to the playlist unless it is there already
    // (letter case ignored); that entry becomes current.
    void PlayFile(const std::string& path);
    // Engine notifications.
    void PlayerStateChanged(int32_t state);
    void InputPositionChanged(uint32_t offset, uint32_t range);
    // The length of the stream just opened; lTime's total.
    void StreamDurationChanged(uint32_t ms);
    // The engine refused to open a file or could not decode it (a nack of
    // InputOpen, a codec error): the status says so and the playlist moves on
    // after the timer; a whole pass of failures stops instead of cycling.
    void InputOpenAnswered(bool accepted);
    void DecodeFailed();

    void AdvancePlaylist();
    void NextTimerTimer();
    void SeekPress();
    void SeekRelease();
    void tbPitchChange();
    void tbVolumeChange();
    void bStopClick();
    void bPauseClick();
    void bNextClick() { AdvancePlaylist(); }

    const QString& StatusText() const { return status_; }
    // The engine's last state (kStateStopped, kStatePlaying, kStatePaused...)
    // and the file started last; empty before the first.
    int32_t State() const { return state_; }
    const std::string& CurrentFile() const { return currentFile_; }
    // Play/pause as a media key does it: pauses or resumes, and when stopped
    // plays the playlist's current entry (or its first).
    void PlayPause();
    bool SeekDragging() const { return seekDragging_; }
    const mv::ShuffleOrder& Shuffle() const { return shuffle_; }

  private:
    // PlayFile without starting the count of files that would not play afresh.
    void StartFile(const std::string& path);
    void SetStatus(const QString& status);
    void Failed();
    void MoveOnOrStop();
    // Stops the engine and greys Stop and Pause; the next-song timer is left
    // as it is (bStopClick disarms it).
    void StopPlayer();
    void SendQuietly(const std::function<void()>& send);
    // lTime for the bar at `position`: as it plays and as the user drags it.
    void ShowTime(int position);

    PlaybackWidgets w_;
    Dialogs& dialogs_;
    mv::Playlist& playlist_;
    PlaybackHooks hooks_;
    mv::PlayerControl* player_ = nullptr;
    std::mt19937 clockSeeded_;

    QString status_;    // "Playing - " + song, "Paused", "Stopped", or a failure
    QString songName_;  // name part of the file PlayFile started last
    size_t tipOffset_ = 0;
    bool seekDragging_ = false;
    mv::ShuffleOrder shuffle_;
    int opensPending_ = 0;      // InputOpen sent and not yet answered
    size_t failuresInRow_ = 0;  // files that would not play since one ended well
    bool failedThisSong_ = false;
    bool stoppedByUser_ = false;  // Stop clicked since the last file started
    int32_t state_ = mv::kStateStopped;
    std::string currentFile_;
    uint32_t durationMs_ = 0;  // 0 while nothing plays
};

}  // namespace mv
