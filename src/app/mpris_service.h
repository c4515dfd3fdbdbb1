#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QVariantMap>
#include <functional>

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
    const MprisHooks& Hooks() const { return hooks_; }

  private:
    MprisHooks hooks_;
    QDBusConnection bus_;
    QObject* exported_ = nullptr;  // carries the two adaptors
    QString name_;
    QString lastStatus_;
    QVariantMap lastMetadata_;
};
