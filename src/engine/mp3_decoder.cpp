#include "engine/mp3_decoder.h"

#include <fcntl.h>
#include <mpg123.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "engine/engine_values.h"

namespace mv {

Mp3Decoder::Mp3Decoder() {
    handle_ = mpg123_new(nullptr, nullptr);
    if (!handle_) return;
    mpg123_param(handle_, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS, 0.0);
    // Float out, whatever the stream: volume and speed work on float.
    mpg123_format_none(handle_);
    const long* rates = nullptr;
    std::size_t count = 0;
    mpg123_rates(&rates, &count);
    for (std::size_t i = 0; i < count; ++i) {
        mpg123_format(handle_, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_FLOAT_32);
    }
}

Mp3Decoder::~Mp3Decoder() {
    Close();
    if (handle_) mpg123_delete(handle_);
}

Mp3Decoder::OpenResult Mp3Decoder::Open(const std::string& path) {
    Close();
    if (!handle_) return {XA_ERROR_OUT_OF_MEMORY, "The decoder could not be created"};
    // Non-blocking open: a FIFO named like a song must not hang the player.
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return {XA_ERROR_OPEN_FAILED, "Cannot open " + path + ": " + std::strerror(errno)};
    }
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return {XA_ERROR_OPEN_FAILED, "Cannot open " + path + ": not a regular file"};
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (mpg123_open_fd(handle_, fd) != MPG123_OK) {
        close(fd);
        return {XA_ERROR_OPEN_FAILED, "Cannot open " + path + ": " + mpg123_strerror(handle_)};
    }
    fd_ = fd;
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    if (mpg123_getformat(handle_, &rate, &channels, &encoding) != MPG123_OK || rate <= 0 ||
        channels <= 0) {
        Close();
        return {XA_ERROR_INVALID_STREAM, "Not an MPEG audio file: " + path};
    }
    // Scanning gives the exact length for seeking and the position bar.
    mpg123_scan(handle_);
    const off_t length = mpg123_length(handle_);
    mpg123_frameinfo info{};
    bitrate_ = mpg123_info(handle_, &info) == MPG123_OK ? info.bitrate : 0;
    rate_ = rate;
    channels_ = channels;
    length_ = length > 0 ? length : 0;
    atEnd_ = false;
    ApplyEqualizer();
    return {};
}

void Mp3Decoder::Close() {
    if (fd_ < 0) return;
    mpg123_close(handle_);
    close(fd_);
    fd_ = -1;
    rate_ = 0;
    channels_ = 0;
    bitrate_ = 0;
    length_ = 0;
    atEnd_ = false;
}

std::int64_t Mp3Decoder::Position() const {
    if (fd_ < 0) return 0;
    const off_t pos = mpg123_tell(handle_);
    return pos > 0 ? pos : 0;
}

bool Mp3Decoder::Seek(std::int64_t sample) {
    if (fd_ < 0) return false;
    if (sample < 0) sample = 0;
    if (length_ > 0 && sample > length_) sample = length_;
    if (mpg123_seek(handle_, static_cast<off_t>(sample), SEEK_SET) < 0) return false;
    atEnd_ = false;
    return true;
}

Mp3Decoder::Read Mp3Decoder::Next(std::vector<float>& out) {
    out.clear();
    if (fd_ < 0) return Read::Failed;
    for (;;) {
        off_t frameNumber = 0;
        unsigned char* audio = nullptr;
        std::size_t bytes = 0;
        const int result = mpg123_decode_frame(handle_, &frameNumber, &audio, &bytes);
        if (result == MPG123_NEW_FORMAT) {
            // A stream glued from parts may change rate or channels midway.
            long rate = 0;
            int channels = 0;
            int encoding = 0;
            if (mpg123_getformat(handle_, &rate, &channels, &encoding) == MPG123_OK && rate > 0 &&
                channels > 0) {
                rate_ = rate;
                channels_ = channels;
            }
        }
        if (result == MPG123_OK || result == MPG123_NEW_FORMAT) {
            if (bytes == 0) continue;
            const std::size_t count = bytes / sizeof(float);
            out.resize(count);
            std::memcpy(out.data(), audio, count * sizeof(float));
            return Read::Frame;
        }
        if (result == MPG123_DONE) {
            atEnd_ = true;
            return Read::End;
        }
        return Read::Failed;
    }
}

std::string Mp3Decoder::Error() const {
    return handle_ ? mpg123_strerror(handle_) : "no decoder";
}

bool Mp3Decoder::SetEqualizer(const XA_EqualizerInfo* info) {
    if (!mpg123_feature(MPG123_FEATURE_EQUALIZER)) return false;
    equalizerOn_ = info != nullptr;
    if (info) equalizer_ = *info;
    ApplyEqualizer();
    return true;
}

void Mp3Decoder::ApplyEqualizer() {
    if (!handle_) return;
    mpg123_reset_eq(handle_);
    if (!equalizerOn_) return;
    for (int band = 0; band < 32; ++band) {
        mpg123_eq(handle_, MPG123_LEFT, band, EqualizerFactor(equalizer_.left[band]));
        mpg123_eq(handle_, MPG123_RIGHT, band, EqualizerFactor(equalizer_.right[band]));
    }
}

}  // namespace mv
