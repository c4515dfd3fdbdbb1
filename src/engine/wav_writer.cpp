#include "engine/wav_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <cstring>

namespace mv {

namespace {

constexpr std::size_t kHeaderBytes = 44;
// The sizes are 32-bit: a longer recording keeps its sound, with the sizes
// stuck at the largest value readers accept.
constexpr std::uint64_t kMaxDataBytes = 0xffffffffu - (kHeaderBytes - 8);

void PutU32(unsigned char* at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<unsigned char>(v >> (8 * i));
}

void PutU16(unsigned char* at, std::uint16_t v) {
    at[0] = static_cast<unsigned char>(v);
    at[1] = static_cast<unsigned char>(v >> 8);
}

// What a path that is not a regular file is, for the message.
const char* KindOf(mode_t mode) {
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISFIFO(mode)) return "a named pipe";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    if (S_ISSOCK(mode)) return "a socket";
    return "not a regular file";
}

std::string NotAFile(const std::string& path, mode_t mode) {
    return path + " is " + KindOf(mode) + "; the sound is written only to a regular file";
}

bool WriteAll(int fd, const unsigned char* data, std::size_t size, off_t at) {
    while (size > 0) {
        const ssize_t n = ::pwrite(fd, data, size, at);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
        at += n;
    }
    return true;
}

}  // namespace

WavWriter::~WavWriter() {
    Close();
}

std::string WavWriter::Open(const std::string& path) {
    Close();
    // O_NONBLOCK: a named pipe without a reader fails at once instead of
    // waiting for one, and one with a reader, like a device, is refused by
    // the look at what was opened (not at the name, which may change).
    const int fd =
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0) {
        const int error = errno;
        struct stat st {};
        if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
            return NotAFile(path, st.st_mode);
        return path + ": " + std::strerror(error);
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return NotAFile(path, st.st_mode);
    }
    if (::ftruncate(fd, 0) != 0) {
        const int error = errno;
        ::close(fd);
        return path + ": " + std::strerror(error);
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    fd_ = fd;
    path_ = path;
    return {};
}

bool WavWriter::StillAt(const std::string& path) const {
    struct stat named {};
    struct stat open {};
    return fd_ >= 0 && path == path_ && ::stat(path.c_str(), &named) == 0 &&
           ::fstat(fd_, &open) == 0 && named.st_dev == open.st_dev && named.st_ino == open.st_ino;
}

std::string WavWriter::SetFormat(long rate, int channels) {
    if (fd_ < 0 || HasFormat()) return {};
    std::array<unsigned char, kHeaderBytes> h{};
    const auto blockAlign = static_cast<std::uint16_t>(channels * 2);
    std::memcpy(h.data(), "RIFF", 4);
    PutU32(h.data() + 4, kHeaderBytes - 8);
    std::memcpy(h.data() + 8, "WAVEfmt ", 8);
    PutU32(h.data() + 16, 16);
    PutU16(h.data() + 20, 1);  // PCM
    PutU16(h.data() + 22, static_cast<std::uint16_t>(channels));
    PutU32(h.data() + 24, static_cast<std::uint32_t>(rate));
    PutU32(h.data() + 28, static_cast<std::uint32_t>(rate) * blockAlign);
    PutU16(h.data() + 32, blockAlign);
    PutU16(h.data() + 34, 16);
    std::memcpy(h.data() + 36, "data", 4);
    if (!WriteAll(fd_, h.data(), h.size(), 0)) return path_ + ": " + std::strerror(errno);
    rate_ = rate;
    channels_ = channels;
    dataBytes_ = 0;
    return {};
}

std::string WavWriter::Write(const std::int16_t* samples, std::size_t frames) {
    if (fd_ < 0 || !HasFormat()) return {};
    static_assert(std::endian::native == std::endian::little, "WAV samples are little-endian");
    const std::size_t bytes = frames * static_cast<std::size_t>(channels_) * sizeof(std::int16_t);
    const auto at = static_cast<off_t>(kHeaderBytes + dataBytes_);
    if (!WriteAll(fd_, reinterpret_cast<const unsigned char*>(samples), bytes, at)) {
        return path_ + ": " + std::strerror(errno);
    }
    dataBytes_ += bytes;
    return UpdateSizes();
}

std::string WavWriter::UpdateSizes() {
    const auto data = static_cast<std::uint32_t>(std::min(dataBytes_, kMaxDataBytes));
    unsigned char riff[4];
    unsigned char size[4];
    PutU32(riff, data + static_cast<std::uint32_t>(kHeaderBytes - 8));
    PutU32(size, data);
    if (!WriteAll(fd_, riff, 4, 4) || !WriteAll(fd_, size, 4, 40)) {
        return path_ + ": " + std::strerror(errno);
    }
    return {};
}

void WavWriter::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    path_.clear();
    rate_ = 0;
    channels_ = 0;
    dataBytes_ = 0;
}

}  // namespace mv
