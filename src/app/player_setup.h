#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace mv {

class TfPrinc;
class TXaudioPlayer;
class XaudioPlayerControl;

// The audio player component from the window's creation to Exit. The window
// gets it before the engine starts, so that with the engine missing every
// attempt to play says so; Create then raises the component's exception
// (the shell writes the one line about running without sound).
class PlayerSetup {
  public:
    // `enginePath` empty: the engine library beside the program.
    explicit PlayerSetup(std::string enginePath = {});
    ~PlayerSetup();
    PlayerSetup(const PlayerSetup&) = delete;
    PlayerSetup& operator=(const PlayerSetup&) = delete;

    void Create(TfPrinc& window);
    // Exit: the window lets go of the player, which is then freed.
    void Free();
    // The length of the song the engine opened last, in milliseconds; 0
    // before the first (the media service's position and seeking).
    uint32_t DurationMs() const { return durationMs_; }

  private:
    std::string enginePath_;
    TfPrinc* window_ = nullptr;
    std::unique_ptr<mv::TXaudioPlayer> player_;
    std::unique_ptr<mv::XaudioPlayerControl> control_;
    uint32_t durationMs_ = 0;
};

}  // namespace mv
