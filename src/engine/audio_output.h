// Sound output through libout123: the desktop's sound server or ALSA, or a
// WAV file for tests and machines without sound.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/wav_writer.h"

struct out123_struct;

namespace mv {

struct OutputTarget {
    std::string driver = "pulse,alsa";  // out123 module list, tried in order
    std::string device;                 // empty: the driver's default
    // File outputs are written at the pace of real time, so commands meet
    // the sound at the same point as on a device.
    bool paced = false;
};

// "wav:FILE" gives the WAV file FILE (driver "wav", device FILE); anything
// else (or null) the default module list.
OutputTarget OutputTargetFromEnvironment(const char* value);

class AudioOutput {
  public:
    explicit AudioOutput(OutputTarget target);
    ~AudioOutput();
    AudioOutput(const AudioOutput&) = delete;
    AudioOutput& operator=(const AudioOutput&) = delete;

    // Opens the driver; returns an error text, empty on success. A WAV file
    // is created at the first Open and kept through Close, so it holds every
    // song played in this output's life (a new one begins if it was removed).
    std::string Open();
    bool IsOpen() const { return handle_ != nullptr || fileOpen_; }
    // Starts (or restarts with another format) 16-bit output; opens first
    // when needed. Returns an error text, empty on success. A WAV file keeps
    // the format of its first song: Rate() and Channels() tell what to feed.
    std::string Start(long rate, int channels);
    // Blocks while the device (or the pace of a file) asks to wait. Returns
    // an error text when the sound could not be written, empty otherwise.
    std::string Play(const std::int16_t* samples, std::size_t frames);
    void Pause();
    void Continue();
    void Drop();   // discards sound not yet heard
    void Drain();  // waits until everything written has been heard
    void Close();
    std::string Name() const;
    long Rate() const { return rate_; }
    int Channels() const { return channels_; }

  private:
    bool IsFile() const { return target_.driver == "wav"; }
    std::string OpenFile();
    void Pace(std::size_t frames);

    OutputTarget target_;
    out123_struct* handle_ = nullptr;
    WavWriter file_;
    bool fileOpen_ = false;
    long rate_ = 0;
    int channels_ = 0;
    bool started_ = false;
    std::chrono::steady_clock::time_point paceStart_{};
    double pacedSeconds_ = 0;
};

}  // namespace mv
