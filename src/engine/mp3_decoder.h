// One MPEG audio file decoded with libmpg123 into interleaved 32-bit float.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/xaudio_engine.h"

struct mpg123_handle_struct;

namespace mv {

class Mp3Decoder {
  public:
    Mp3Decoder();
    ~Mp3Decoder();
    Mp3Decoder(const Mp3Decoder&) = delete;
    Mp3Decoder& operator=(const Mp3Decoder&) = delete;

    struct OpenResult {
        int error = XA_SUCCESS;  // XA_ERROR_OPEN_FAILED / XA_ERROR_INVALID_STREAM
        std::string message;
    };
    OpenResult Open(const std::string& path);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }

    long Rate() const { return rate_; }
    int Channels() const { return channels_; }
    int BitrateKbps() const { return bitrate_; }
    std::int64_t LengthSamples() const { return length_; }
    // Sample (per channel) at which the next decoded frame starts.
    std::int64_t Position() const;
    bool AtEnd() const { return atEnd_; }
    bool Seek(std::int64_t sample);

    enum class Read { Frame, End, Failed };
    // Decodes the next frame into out (interleaved); on Failed, Error() says why.
    Read Next(std::vector<float>& out);
    std::string Error() const;

    // Band values per channel; null switches the equalizer off.
    bool SetEqualizer(const XA_EqualizerInfo* info);

  private:
    void ApplyEqualizer();

    mpg123_handle_struct* handle_ = nullptr;
    int fd_ = -1;
    long rate_ = 0;
    int channels_ = 0;
    int bitrate_ = 0;
    std::int64_t length_ = 0;
    bool atEnd_ = false;
    bool equalizerOn_ = false;
    XA_EqualizerInfo equalizer_{};
};

}  // namespace mv
