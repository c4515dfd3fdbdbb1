#include "platform/text_lines.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <system_error>

#include "platform/file_ops.h"

namespace mv {

namespace {

namespace fs = std::filesystem;

// Larger than any list the program keeps; a bound so that a file without an
// end (some files under /proc report no size) cannot use up the memory.
constexpr size_t kMaxReadBytes = size_t{1} << 30;

std::string ErrorText(int err) {
    // std::strerror may share one buffer between threads.
    return std::error_code(err, std::generic_category()).message();
}

std::string NotAFile(mode_t mode) {
    const char* kind = S_ISDIR(mode)                    ? "a folder"
                       : S_ISFIFO(mode)                 ? "a named pipe"
                       : S_ISCHR(mode) || S_ISBLK(mode) ? "a device"
                       : S_ISSOCK(mode)                 ? "a socket"
                                                        : "something else";
    return std::string("it is ") + kind + ", not a regular file";
}

bool IsLink(const std::string& name) {
    struct stat st {};
    return ::lstat(name.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

// The cause of a failed look-up or open of `name`, for a message.
std::string Cause(const std::string& name, int err) {
    if (err == ELOOP) return "it is a link that leads round in a loop";
    if (err == ENOENT && IsLink(name)) {
        std::error_code ec;
        return "it is a dangling link (to " + fs::read_symlink(name, ec).string() + ")";
    }
    return ErrorText(err);
}

ReadLinesResult ReadFailure(const std::string& name, int err) {
    ReadLinesResult r;
    r.status = err == ENOENT && !IsLink(name) ? ReadStatus::Absent : ReadStatus::Unreadable;
    r.message = "Cannot read " + name + ": " + Cause(name, err) + ".";
    return r;
}

ReadLinesResult Refusal(const std::string& name, const std::string& cause) {
    ReadLinesResult r;
    r.status = ReadStatus::Unreadable;
    r.message = "Cannot read " + name + ": " + cause + ".";
    return r;
}

const std::string kTooLarge = "it is larger than 1 GiB, too large for a list";

// Closes a descriptor on every way out.
struct FdCloser {
    int fd;
    ~FdCloser() {
        if (fd >= 0) ::close(fd);
    }
};

// The file a save replaces: `path` itself, or the end of its chain of links.
// An empty string and `error` set when the links lead nowhere.
std::string SaveTarget(const fs::path& path, std::string& error) {
    const std::string name = path.string();
    if (!IsLink(name)) return name;
    std::error_code ec;
    const fs::path target = fs::canonical(path, ec);
    if (!ec) return target.string();
    const std::string cause = ec.value() == ENOENT || ec.value() == ELOOP ? Cause(name, ec.value())
                                                                          : ErrorText(ec.value());
    error = "Cannot write " + name + ": " + cause + ".";
    return {};
}

// Flushes the folder's entry list, so that the rename itself survives a crash.
// Best effort: the new content is in place already, and some file systems
// cannot flush a folder.
void SyncFolder(const fs::path& folder) {
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

std::vector<std::string> SplitLines(std::string_view text) {
    // A NUL is kept as a byte of its line: cutting there would drop every CD
    // after it, and a later save would lose them from the file for good.
    std::vector<std::string> lines;
    // A catalogue has hundreds of thousands of lines: the list is sized once.
    size_t ends = 1;
    for (const char c : text) ends += c == '\n' || c == '\r';
    lines.reserve(ends);
    size_t start = 0;
    size_t k = 0;
    while (k < text.size()) {
        const char c = text[k];
        if (c == '\r' || c == '\n') {
            lines.emplace_back(text.substr(start, k - start));
            k += (c == '\r' && k + 1 < text.size() && text[k + 1] == '\n') ? 2 : 1;
            start = k;
        } else {
            ++k;
        }
    }
    if (start < text.size()) lines.emplace_back(text.substr(start));
    return lines;
}

ReadLinesResult ReadLinesWithStatus(const std::filesystem::path& path) {
    const std::string name = path.string();
    // Look before opening: opening a device can have effects of its own.
    struct stat st {};
    if (::stat(name.c_str(), &st) != 0) return ReadFailure(name, errno);
    if (!S_ISREG(st.st_mode)) return Refusal(name, NotAFile(st.st_mode));
    if (static_cast<uint64_t>(st.st_size) > kMaxReadBytes) return Refusal(name, kTooLarge);

    // O_NONBLOCK: should a pipe take the file's place after the look, neither
    // the open nor a read waits for a writer.
    const FdCloser file{::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY)};
    if (file.fd < 0) return ReadFailure(name, errno);
    if (::fstat(file.fd, &st) != 0) return ReadFailure(name, errno);
    if (!S_ISREG(st.st_mode)) return Refusal(name, NotAFile(st.st_mode));

    std::string content;
    content.reserve(static_cast<size_t>(st.st_size));
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(file.fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            return ReadFailure(name, errno);
        }
        if (n == 0) break;
        if (content.size() + static_cast<size_t>(n) > kMaxReadBytes)
            return Refusal(name, kTooLarge);
        content.append(buffer, static_cast<size_t>(n));
    }
    ReadLinesResult r;
    r.status = ReadStatus::Read;
    r.lines = SplitLines(content);
    return r;
}

std::optional<std::vector<std::string>> ReadLines(const std::filesystem::path& path) {
    auto r = ReadLinesWithStatus(path);
    if (r.status != ReadStatus::Read) return std::nullopt;
    return std::move(r.lines);
}

namespace {

// The replacement keeps the owner and mode of the file it replaces (`old`);
// a new file gets the usual mode.
void TakeOwnerAndMode(int fd, const struct stat* old) {
    if (old != nullptr) {
        // The owner first: changing it may clear the set-id bits the mode restores.
        // Only a privileged process may give a file away; the others keep their own.
        if (old->st_uid != ::geteuid() || old->st_gid != ::getegid())
            (void)::fchown(fd, old->st_uid, old->st_gid);
        ::fchmod(fd, old->st_mode & 07777);
    } else {
        // mkstemp makes the file private; a new kept file is as readable as any other.
        ::fchmod(fd, 0644);
    }
}

}  // namespace

std::string WriteLinesAtomically(const std::filesystem::path& path,
                                 const std::vector<std::string>& lines) {
    std::string content;
    size_t size = 0;
    for (const auto& l : lines) size += l.size() + 2;
    content.reserve(size);
    for (const auto& l : lines) {
        content += l;
        content += "\r\n";
    }

    const std::string name = path.string();
    std::string error;
    const std::string target = SaveTarget(path, error);
    if (target.empty()) return error;
    struct stat old {};
    const bool replacing = ::stat(target.c_str(), &old) == 0;
    if (!replacing && errno != ENOENT) return "Cannot write " + name + ": " + ErrorText(errno);
    // A rename would put a plain file where a pipe or device was.
    if (replacing && !S_ISREG(old.st_mode))
        return "Cannot write " + name + ": " + NotAFile(old.st_mode) + ".";

    // Beside the target, so that the rename stays within one file system.
    std::string tmp = target + ".tmp-XXXXXX";
    const int fd = ::mkostemp(tmp.data(), O_CLOEXEC);
    if (fd < 0) return "Cannot write " + name + ": " + ErrorText(errno);
    const auto fail = [&](const char* what, int err) {
        RemoveOwnTemporaryFile(tmp);
        return std::string(what) + name + ": " + ErrorText(err);
    };
    if (const int err = WriteAllBytes(fd, content); err != 0) {
        ::close(fd);
        return fail("Cannot write ", err);
    }
    TakeOwnerAndMode(fd, replacing ? &old : nullptr);
    if (::fsync(fd) != 0) {
        const int err = errno;
        ::close(fd);
        return fail("Cannot write ", err);
    }
    if (::close(fd) != 0) return fail("Cannot write ", errno);
    if (::rename(tmp.c_str(), target.c_str()) != 0) return fail("Cannot replace ", errno);
    SyncFolder(fs::path(target).parent_path());
    return {};
}

}  // namespace mv
