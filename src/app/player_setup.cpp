#include "app/player_setup.h"

#include "player/player_control.h"
#include "player/windows/playback_events.h"
#include "player/xaudio_player.h"
#include "ui/main/tf_princ.h"

namespace mv {

PlayerSetup::PlayerSetup(std::string enginePath) : enginePath_(std::move(enginePath)) {}

PlayerSetup::~PlayerSetup() {
    // The window may be gone already (it is made after this object); only
    // the component is left to free.
    control_.reset();
    player_.reset();
}

void PlayerSetup::Create(TfPrinc& window) {
    player_ = std::make_unique<mv::TXaudioPlayer>();
    if (!enginePath_.empty()) player_->SetXaudioPath(enginePath_);
    control_ = std::make_unique<mv::XaudioPlayerControl>(*player_);
    window_ = &window;
    window.SetPlayer(control_.get());
    player_->Init();
    // The engine takes any output module name and plays through PulseAudio or ALSA.
    player_->OutputModuleRegister("xa_dsound_output.dll");
    player_->SetPlayerEnvironmentInteger("OUTPUT.DIRECTSOUND.WINDOW",
                                         static_cast<int32_t>(window.winId()));
    mv::ConnectPlaybackEvents(*player_, window.Playback());
    durationMs_ = 0;
    // The time beside the position bar wants the length too.
    player_->OnNotifyStreamDuration = [this, toPlayback = player_->OnNotifyStreamDuration](
                                          mv::XaudioComponent& sender, uint32_t ms) {
        durationMs_ = ms;
        if (toPlayback) toPlayback(sender, ms);
    };
}

void PlayerSetup::Free() {
    if (window_ != nullptr) window_->SetPlayer(nullptr);
    window_ = nullptr;
    control_.reset();
    player_.reset();
}

}  // namespace mv
