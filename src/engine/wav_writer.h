// The WAV file output: 16-bit PCM written straight to a regular file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace mv {

// One WAV file holding the sound of every song played into it, in order,
// under one header. The header's sizes are brought up to date after each
// write, so the file is whole at any moment, even if the program is killed.
class WavWriter {
  public:
    WavWriter() = default;
    ~WavWriter();
    WavWriter(const WavWriter&) = delete;
    WavWriter& operator=(const WavWriter&) = delete;

    // Creates or empties `path` (links followed). Never waits: a named pipe,
    // a device, a folder or anything else that is not a regular file is
    // refused. Returns an error text, empty on success.
    std::string Open(const std::string& path);
    bool IsOpen() const { return fd_ >= 0; }
    // Whether `path` still names the open file: false once it was removed
    // or replaced, so the next song begins a new file there.
    bool StillAt(const std::string& path) const;
    // The first call fixes the format and writes the header; later calls
    // change nothing (the caller converts to Rate() and Channels()).
    std::string SetFormat(long rate, int channels);
    bool HasFormat() const { return rate_ > 0; }
    long Rate() const { return rate_; }
    int Channels() const { return channels_; }
    // Appends interleaved frames in the file's format; an error text when the
    // disk would not take them.
    std::string Write(const std::int16_t* samples, std::size_t frames);
    void Close();

  private:
    std::string UpdateSizes();

    int fd_ = -1;
    std::string path_;
    long rate_ = 0;
    int channels_ = 0;
    std::uint64_t dataBytes_ = 0;
};

}  // namespace mv
