#include "app/folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace mv {

FolderLock::FolderLock(const std::filesystem::path& file) {
    // Close-on-exec: a program started from ours (a browser for a link) must
    // not inherit the lock and hold the folder after we end. No following a
    // link planted in the lock's place.
    fd_ = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd_ < 0) {
        error_ = std::strerror(errno);
        return;
    }
    if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
        state_ = State::Held;
    } else if (errno == EWOULDBLOCK) {
        state_ = State::HeldByOther;
    } else {
        error_ = std::strerror(errno);
    }
}

FolderLock::~FolderLock() {
    if (fd_ >= 0) ::close(fd_);
}

bool FolderLock::Publish(const std::string& note) {
    if (state_ != State::Held) return false;
    if (::ftruncate(fd_, 0) != 0) return false;
    size_t done = 0;
    while (done < note.size()) {
        const ssize_t n =
            ::pwrite(fd_, note.data() + done, note.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

std::string FolderLock::ReadNote() const {
    std::string note;
    if (fd_ < 0) return note;
    char buffer[512];
    for (off_t at = 0;;) {
        const ssize_t n = ::pread(fd_, buffer, sizeof buffer, at);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        note.append(buffer, static_cast<size_t>(n));
        at += n;
    }
    return note;
}

}  // namespace mv
