#include "filetools/id3v1_tag.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/owned_fd.h"

namespace mv {
namespace {

std::string Cause() {
    return std::strerror(errno);
}

// Opens without blocking (a named pipe would otherwise wait for a writer) and
// accepts only a regular file. Returns the descriptor, or -1 with `why` set.
int OpenRegular(const std::string& path, int flags, struct stat& st, std::string& why) {
    const int fd = ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        why = Cause();
        return -1;
    }
    if (::fstat(fd, &st) != 0) {
        why = Cause();
    } else if (S_ISDIR(st.st_mode)) {
        why = "Is a folder, not a file";
    } else if (!S_ISREG(st.st_mode)) {
        why = "Not a regular file";
    }
    if (why.empty()) return fd;
    ::close(fd);
    return -1;
}

// Reads exactly `size` bytes at `offset`. Empty on success, else the cause.
std::string ReadAt(int fd, std::string& out, std::size_t size, off_t offset) {
    out.assign(size, '\0');
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n =
            ::pread(fd, out.data() + done, size - done, offset + static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return Cause();
        if (n == 0) return "The file ended early";
        done += static_cast<std::size_t>(n);
    }
    return {};
}

// Writes all of `bytes` at `offset`. Empty on success, else the cause.
std::string WriteAt(int fd, std::string_view bytes, off_t offset) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pwrite(fd, bytes.data() + done, bytes.size() - done,
                                   offset + static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return Cause();
        if (n == 0) return std::strerror(ENOSPC);
        done += static_cast<std::size_t>(n);
    }
    return {};
}

const char kTooShort[] = "Shorter than an ID3v1 tag (128 bytes): not an MP3 file";

}  // namespace

bool HasTagMarker(std::string_view block) {
    return block.substr(0, 3) == "TAG";
}

TagTexts ReadTagFields(std::string_view block) {
    TagTexts texts;
    for (int f = 0; f < kTagFieldCount; ++f) {
        const TagFieldSlice slice = kTagFields[f];
        if (block.size() <= slice.offset) continue;
        const std::string_view field = block.substr(slice.offset, slice.width);
        texts[f] = std::string(field.substr(0, field.find('\0')));
    }
    return texts;
}

std::string BuildTagBlock(const TagTexts& texts) {
    std::string block(kTagSize, '\0');
    block.replace(0, 3, "TAG");
    for (int f = 0; f < kTagFieldCount; ++f) {
        const TagFieldSlice slice = kTagFields[f];
        const std::string_view text = std::string_view(texts[f]).substr(0, slice.width);
        block.replace(slice.offset, text.size(), text);
    }
    return block;
}

TagReadResult ReadFileTag(const std::string& path) {
    TagReadResult result;
    struct stat st {};
    OwnedFd fd(OpenRegular(path, O_RDONLY, st, result.reason));
    if (fd.get() < 0) return result;
    if (st.st_size < static_cast<off_t>(kTagSize)) {
        result.reason = kTooShort;
        return result;
    }
    std::string block;
    result.reason = ReadAt(fd.get(), block, kTagSize, st.st_size - static_cast<off_t>(kTagSize));
    if (!result.reason.empty()) return result;
    if (!HasTagMarker(block)) {
        result.status = TagReadStatus::Untagged;
        return result;
    }
    result.status = TagReadStatus::Tagged;
    result.fields = ReadTagFields(block);
    result.block = std::move(block);
    return result;
}

TagWriteResult WriteFileTag(const std::string& path, const TagTexts& texts) {
    TagWriteResult result;
    // The read-only attribute goes first, on the file itself (through a link),
    // and stays cleared whatever follows. A file too short to hold a tag is
    // not touched at all.
    {
        struct stat st {};
        OwnedFd probe(OpenRegular(path, O_RDONLY, st, result.reason));
        if (probe.get() < 0) return result;
        if (st.st_size < static_cast<off_t>(kTagSize)) {
            result.reason = kTooShort;
            return result;
        }
        if ((st.st_mode & S_IWUSR) == 0 &&
            ::fchmod(probe.get(), (st.st_mode & 07777) | S_IWUSR) != 0) {
            result.reason = Cause();
            return result;
        }
    }
    struct stat st {};
    OwnedFd fd(OpenRegular(path, O_RDWR, st, result.reason));
    if (fd.get() < 0) return result;
    if (st.st_size < static_cast<off_t>(kTagSize)) {
        result.reason = kTooShort;
        return result;
    }
    const off_t last = st.st_size - static_cast<off_t>(kTagSize);
    std::string old;
    result.reason = ReadAt(fd.get(), old, kTagSize, last);
    if (!result.reason.empty()) return result;
    const bool tagged = HasTagMarker(old);
    result.status = TagWriteStatus::WriteFailed;
    result.reason = WriteAt(fd.get(), BuildTagBlock(texts), tagged ? last : st.st_size);
    if (!result.reason.empty()) {
        // A tag cut short by a full disk must not stay behind the audio.
        if (!tagged && ::ftruncate(fd.get(), st.st_size) != 0) {
            result.reason += "; the part written stays at the end of the file";
        }
        return result;
    }
    if (!fd.Close()) {
        result.reason = Cause();
        return result;
    }
    result.status = tagged ? TagWriteStatus::Replaced : TagWriteStatus::Appended;
    return result;
}

}  // namespace mv
