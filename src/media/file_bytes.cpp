#include "media/file_bytes.h"

#include <unistd.h>
#include <xxhash.h>
#if defined(__x86_64__)
// libxxhash picks the widest vector unit the machine has at run time; the
// plain entry point keeps to SSE2 and hashes at about two thirds of the
// speed the page cache delivers on a current machine.
#include <xxh_x86dispatch.h>
#endif

#include <cerrno>
#include <cstring>
#include <vector>

#include "media/file_window.h"

namespace mv {

namespace {

constexpr std::size_t kHashBuffer = 1 << 20;
constexpr std::size_t kApeFooter = 32;
constexpr std::size_t kLyricsFooter = 15;  // six digits, then "LYRICS200"

std::uint32_t LittleEndian32(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

// The length of an APE tag whose footer ends at `end` (header included), 0 if none.
std::uint64_t ApeTagBefore(FileWindow& file, std::uint64_t end, std::uint64_t floor) {
    if (end < floor + kApeFooter) return 0;
    const std::string footer = file.Bytes(end - kApeFooter, kApeFooter);
    if (footer.size() != kApeFooter || footer.compare(0, 8, "APETAGEX") != 0) return 0;
    const std::uint64_t tagSize = LittleEndian32(footer, 12);
    const bool hasHeader = (LittleEndian32(footer, 20) & 0x80000000u) != 0;
    const std::uint64_t whole = tagSize + (hasHeader ? kApeFooter : 0);
    if (tagSize < kApeFooter || whole > end - floor) return 0;
    return whole;
}

// The length of a Lyrics3v2 block ending at `end`, 0 if none.
std::uint64_t LyricsBefore(FileWindow& file, std::uint64_t end, std::uint64_t floor) {
    if (end < floor + kLyricsFooter) return 0;
    const std::string footer = file.Bytes(end - kLyricsFooter, kLyricsFooter);
    if (footer.size() != kLyricsFooter || footer.compare(6, 9, "LYRICS200") != 0) return 0;
    std::uint64_t size = 0;
    for (int i = 0; i < 6; ++i) {
        if (footer[i] < '0' || footer[i] > '9') return 0;
        size = size * 10 + static_cast<std::uint64_t>(footer[i] - '0');
    }
    const std::uint64_t whole = size + kLyricsFooter;
    if (whole > end - floor) return 0;
    if (file.Bytes(end - whole, 11) != "LYRICSBEGIN") return 0;
    return whole;
}

}  // namespace

std::size_t PreadFully(int fd, std::uint64_t offset, char* out, std::size_t length) {
    std::size_t got = 0;
    while (got < length) {
        const ssize_t n = ::pread(fd, out + got, length - got, static_cast<off_t>(offset + got));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    return got;
}

std::string ReadBytesAt(int fd, std::uint64_t offset, std::size_t length) {
    std::string bytes(length, '\0');
    bytes.resize(PreadFully(fd, offset, bytes.data(), length));
    return bytes;
}

std::optional<AudioHash> HashByteRange(int fd, std::uint64_t offset, std::uint64_t length,
                                       std::string* problem) {
    // One buffer per thread: a batch hashes thousands of small files, and a
    // fresh mebibyte for each would cost more than the reading.
    thread_local std::vector<char> buffer(kHashBuffer);
    XXH3_state_t* state = XXH3_createState();
    if (state == nullptr || XXH3_128bits_reset(state) == XXH_ERROR) {
        XXH3_freeState(state);
        *problem = "out of memory";
        return std::nullopt;
    }
    std::uint64_t done = 0;
    while (done < length) {
        const std::size_t want =
            static_cast<std::size_t>(std::min<std::uint64_t>(kHashBuffer, length - done));
        const ssize_t n = ::pread(fd, buffer.data(), want, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            *problem = n < 0 ? std::strerror(errno) : "the file became shorter while it was read";
            XXH3_freeState(state);
            return std::nullopt;
        }
        XXH3_128bits_update(state, buffer.data(), static_cast<std::size_t>(n));
        done += static_cast<std::uint64_t>(n);
    }
    const XXH128_hash_t digest = XXH3_128bits_digest(state);
    XXH3_freeState(state);
    return AudioHash{digest.high64, digest.low64};
}

std::uint64_t TrailingTagsStart(FileWindow& file, std::uint64_t end, std::uint64_t floor) {
    // A few rounds at most: real files carry one or two such blocks, and a
    // crafted file must not make this loop long.
    for (int round = 0; round < 8; ++round) {
        std::uint64_t block = LyricsBefore(file, end, floor);
        if (block == 0) block = ApeTagBefore(file, end, floor);
        if (block == 0) break;
        end -= block;
    }
    return end;
}

}  // namespace mv
