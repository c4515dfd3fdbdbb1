#include "player/xaudio_player.h"

#include <QSocketNotifier>

namespace mv {

TXaudioPlayer::TXaudioPlayer(QObject* owner)
    : QObject(owner),
      notifier_(new QSocketNotifier(NotificationFd(), QSocketNotifier::Read, this)) {
    connect(notifier_, &QSocketNotifier::activated, this, &TXaudioPlayer::EngineSignalled);
}

TXaudioPlayer::~TXaudioPlayer() {
    // The descriptor is closed by the base class right after; the notifier
    // must not outlive it.
    delete notifier_;
    notifier_ = nullptr;
}

void TXaudioPlayer::EngineSignalled() {
    DrainNotifications();
}

}  // namespace mv
