#include "media/frame_scan.h"

#include <mpg123.h>
#include <unistd.h>

#include <memory>

namespace mv {

namespace {

struct HandleCloser {
    void operator()(mpg123_handle* handle) const {
        mpg123_close(handle);
        mpg123_delete(handle);
    }
};

}  // namespace

std::optional<std::int64_t> ScanDurationMs(int fd) {
    int error = MPG123_OK;
    std::unique_ptr<mpg123_handle, HandleCloser> handle(mpg123_new(nullptr, &error));
    if (!handle) return std::nullopt;
    mpg123_param(handle.get(), MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
    if (::lseek(fd, 0, SEEK_SET) != 0 || mpg123_open_fd(handle.get(), fd) != MPG123_OK) {
        return std::nullopt;
    }
    if (mpg123_scan(handle.get()) != MPG123_OK) return std::nullopt;
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    if (mpg123_getformat(handle.get(), &rate, &channels, &encoding) != MPG123_OK || rate <= 0) {
        return std::nullopt;
    }
    const off_t samples = mpg123_length(handle.get());
    if (samples <= 0) return std::nullopt;
    return static_cast<std::int64_t>(samples) * 1000 / rate;
}

}  // namespace mv
