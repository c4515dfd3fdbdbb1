// Tape-like speed change: the decoded sound is resampled as if it had been
// recorded at rate * factor, so it plays faster (and higher) or slower. It
// also brings the sound to another output rate (a WAV file keeps the rate of
// its first song).
#pragma once

#include <vector>

struct syn123_struct;

namespace mv {

class SpeedResampler {
  public:
    SpeedResampler() = default;
    ~SpeedResampler();
    SpeedResampler(const SpeedResampler&) = delete;
    SpeedResampler& operator=(const SpeedResampler&) = delete;

    // Takes effect with the next Process; keeps the filter state when only
    // the factor changes, so a moving speed bar does not click. outRate 0
    // (or rate): the output runs at the song's rate.
    void Configure(long rate, int channels, double factor, long outRate = 0);
    // Appends the resampled frames of in (interleaved) to out.
    void Process(std::vector<float>& in, std::vector<float>& out);
    void Reset();

  private:
    syn123_struct* handle_ = nullptr;
    long rate_ = 0;
    int channels_ = 0;
    double factor_ = 1.0;
    long outRate_ = 0;
    bool ready_ = false;
};

}  // namespace mv
