#pragma once

#include <cstdint>
#include <string>

#include "engine/xaudio_engine.h"
#include "player/xaudio_component.h"

namespace mv {

// The commands the playback handlers and the equalizer send to the audio
// player component. A failure of the component raises EXaudioException, as
// the component does; tests substitute a recorder.
class PlayerControl {
  public:
    virtual ~PlayerControl() = default;
    virtual void Stop() = 0;
    virtual void InputClose() = 0;
    virtual void OutputClose() = 0;
    virtual void InputOpen(const std::string& path) = 0;
    virtual void Play() = 0;
    virtual void Pause() = 0;
    virtual void InputSeek(int32_t offset, int32_t range) = 0;
    virtual void SetSpeed(int32_t value) = 0;   // 0..2000, 1000 normal
    virtual void SetVolume(int32_t value) = 0;  // 0..100
    // A record switches the equalizer on with those bands; null switches it off.
    virtual void SetEqualizer(const XA_EqualizerInfo* record) = 0;
    virtual void AskEqualizer() = 0;
};

// The component behind the seam.
class XaudioPlayerControl : public PlayerControl {
  public:
    explicit XaudioPlayerControl(XaudioComponent& player) : player_(player) {}
    void Stop() override { player_.Stop(); }
    void InputClose() override { player_.InputClose(); }
    void OutputClose() override { player_.OutputClose(); }
    void InputOpen(const std::string& path) override { player_.InputOpen(path); }
    void Play() override { player_.Play(); }
    void Pause() override { player_.Pause(); }
    void InputSeek(int32_t offset, int32_t range) override { player_.InputSeek(offset, range); }
    void SetSpeed(int32_t value) override {
        player_.SetPlayerEnvironmentInteger(XA_ENV_PITCH, value);
    }
    void SetVolume(int32_t value) override { player_.SetOutputVolume(-1, value, -1); }
    void SetEqualizer(const XA_EqualizerInfo* record) override {
        player_.SetCodecEqualizer(record);
    }
    void AskEqualizer() override { player_.GetCodecEqualizer(); }

  private:
    XaudioComponent& player_;
};

}  // namespace mv
