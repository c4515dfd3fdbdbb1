#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QVariantMap>
#include <functional>

namespace mv {

// The player on the desktop's session bus, as the MPRIS2 interface names it
// (org.mpris.MediaPlayer2 and its .Player): the media keys and the desktop's
// sound applet play, pause, skip and stop the music and show the title.
//
// Everything runs on the GUI thread: the bus calls arrive through its event
// loop and go straight to the hooks.
struct MprisHooks {
    std::function<void()> playPause, play, pause, next, stop;
    std::function<void()> raise;  // show the main window
    std::function<void()> quit;   // Exit, as File > Exit
    // "Playing", "Paused" or "Stopped".
    std::function<QString()> playbackStatus;
    // The song playing or paused: its title and its file; empty when none.
    std::function<QString()> title;
    std::function<QString()> path;
    // The volume bar as 0.0 (silent) .. 1.0 (full); setting moves the bar.
    std::function<double()> volume;
    std::function<void(double)> setVolume;
    // The song's length and its position, in microseconds; 0 when unknown.
    std::function<qint64()> length;
    std::function<qint64()> position;
    // Moves the song to the position (microseconds, within its length).
    std::function<void(qint64)> seekTo;
};

class MprisService : public QObject {
    Q_OBJECT
  public:
    MprisService(MprisHooks hooks, QDBusConnection bus, QObject* parent = nullptr);
    ~MprisService() override;

    // Puts the player on the bus as /org/mpris/MediaPlayer2 under the name
    // org.mpris.MediaPlayer2.mp3vandrel (a second running program takes that
    // name + ".instance" + its process id, as the interface allows). False when there is no bus or
    // the name cannot be had: the program then simply runs without it.
    bool Register();
    const QString& RegisteredName() const { return name_; }

    // Tells the bus's listeners what changed since the last call (the state,
    // the song); call it whenever the player's state or song may have changed.
    void NotifyChanged();

    // What the interface's properties read, from the hooks.
    QString PlaybackStatus() const;
    QVariantMap Metadata() const;
    double Volume() const;
    qint64 Position() const;

    // The interface's writes, as it describes them: a volume below 0 is 0 (and
    // above 1 is full, the bar's end); Seek moves by an offset, clamped at the
    // start, and past the end acts as Next; SetPosition ignores a stale track
    // id or a position outside the song. Both tell Seeked.
    void SetVolume(double volume);
    void Seek(qint64 offset);
    void SetPosition(const QString& trackId, qint64 position);
    const MprisHooks& Hooks() const { return hooks_; }

  private:
    qint64 Length() const;
    // Identifies the song playing, so a SetPosition meant for the last song
    // is told apart; "" when none.
    QString TrackId() const;
    void SeekTo(qint64 position);

    MprisHooks hooks_;
    QDBusConnection bus_;
    QObject* exported_ = nullptr;  // carries the two adaptors
    QString name_;
    QString lastStatus_;
    QVariantMap lastMetadata_;
    double lastVolume_ = -1;
};

}  // namespace mv
