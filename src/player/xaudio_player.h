#pragma once

#include <QObject>

#include "player/xaudio_component.h"

class QSocketNotifier;

namespace mv {

// The program's audio player component: the engine driver of
// XaudioComponent, with the engine's notifications delivered on the thread
// that owns this object (the GUI thread) through its event loop.
//
// Events are the assignable members inherited from XaudioComponent
// (OnNotifyPlayerState, OnNotifyInputPosition, ...): assign a callable to
// handle one, leave it empty to skip it. They are plain callables rather than
// Qt signals because a handler is one assignable slot per event, and
// OnNotifyMessage may rewrite the record it receives before the record is
// dispatched.
//
// Created with an owner, it is destroyed with the owner. A handler must not
// delete the component it is called from; use deleteLater().
class TXaudioPlayer : public QObject, public XaudioComponent {
    Q_OBJECT

  public:
    explicit TXaudioPlayer(QObject* owner = nullptr);
    ~TXaudioPlayer() override;

  private:
    void EngineSignalled();

    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace mv
