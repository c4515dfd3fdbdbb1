#include "platform/file_ops.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <string_view>
#include <utility>

#include "platform/text_fields.h"
#include "platform/trash.h"

namespace mv {

bool ClearAttributes(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) return false;
    // A link has no permissions of its own, and removing it needs none.
    if (S_ISLNK(st.st_mode)) return true;
    if (!S_ISREG(st.st_mode)) return false;
    if (st.st_mode & S_IWUSR) return true;
    return chmod(path.c_str(), (st.st_mode & 07777) | S_IWUSR) == 0;
}

bool DeletePermanently(const std::string& path, std::string* why) {
    auto fail = [why](const char* cause) {
        if (why != nullptr) *why = cause;
        return false;
    };
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) return fail(std::strerror(errno));
    if (S_ISDIR(st.st_mode)) return fail("Is a folder, not a file");
    if (!S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode)) return fail("Not a regular file");
    if (unlink(path.c_str()) != 0) return fail(std::strerror(errno));
    return true;
}

namespace {

// Local time as 2026-12-08T16:20:31 and its offset as +01:00.
std::pair<std::string, std::string> NowText() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%S", &local);
    char zone[8];
    std::strftime(zone, sizeof zone, "%z", &local);  // +0100
    // +01:00; built by appending (GCC 12 warns falsely on an insert here).
    const std::string_view z = zone;
    std::string offset(z.substr(0, 3));
    if (z.size() == 5) offset += ':';
    offset.append(z.substr(std::min<size_t>(3, z.size())));
    return {stamp, offset};
}

// Appends one line in a single write, so lines of two programs never mix.
std::string AppendLine(const std::filesystem::path& file, const std::string& line) {
    const int fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return std::strerror(errno);
    const std::string text = line + "\n";
    ssize_t n;
    do {
        n = ::write(fd, text.data(), text.size());
    } while (n < 0 && errno == EINTR);
    const int error = n < 0 ? errno : 0;
    const bool closed = ::close(fd) == 0;
    if (n < 0) return std::strerror(error);
    if (static_cast<size_t>(n) != text.size() || !closed) return "the line was cut short";
    return {};
}

}  // namespace

std::string DeletionLogLine(const std::string& time, bool trashed, unsigned long long size,
                            const std::string& path) {
    return time + "\t" + (trashed ? "trashed" : "deleted") + "\t" + std::to_string(size) + "\t" +
           EscapeTsvField(path);
}

RemovalResult RemoveUserFile(const std::string& path, const RemovalPolicy& policy) {
    RemovalResult result;
    struct stat st {};
    const unsigned long long size =
        ::lstat(path.c_str(), &st) == 0 ? static_cast<unsigned long long>(st.st_size) : 0;
    const auto [stamp, offset] = NowText();
    if (policy.toTrash) {
        TrashParams params;
        params.path = path;
        params.homeTrash = policy.homeTrash;
        params.deletionDate = stamp;
        const TrashResult trashed = MoveToTrash(params);
        result.ok = trashed.ok;
        result.why = trashed.why;
    } else {
        result.ok = DeletePermanently(path, &result.why);
    }
    if (result.ok && !policy.logFile.empty()) {
        const std::string error =
            AppendLine(policy.logFile, DeletionLogLine(stamp + offset, policy.toTrash, size, path));
        if (!error.empty()) {
            result.logError = "Cannot write " + policy.logFile.string() + ": " + error;
        }
    }
    return result;
}

int RenameNoReplace(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return errno;
    return RenameByLink(from, to);
}

int RenameByLink(const std::string& from, const std::string& to) {
    // A new link fails when the name exists, as atomically; the old name then goes.
    if (::link(from.c_str(), to.c_str()) != 0) return errno;
    if (::unlink(from.c_str()) != 0) {
        const int error = errno;
        ::unlink(to.c_str());
        return error;
    }
    return 0;
}

void RemoveOwnTemporaryFile(const std::string& path) {
    ::unlink(path.c_str());
}

int WriteAllBytes(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        if (n == 0) return EIO;
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return 0;
}

}  // namespace mv
