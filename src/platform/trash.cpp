#include "platform/trash.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "platform/file_ops.h"
#include "platform/folder_listing.h"

namespace mv {

namespace {

std::string DefaultHomeTrash() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data != nullptr && data[0] == '/') return std::string(data) + "/Trash";
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "") + "/.local/share/Trash";
}

bool MakeFolder(const std::string& path, mode_t mode) {
    if (::mkdir(path.c_str(), mode) == 0) return true;
    struct stat st {};
    return errno == EEXIST && ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Creates the trash and its files/ and info/ folders, the parents of a home
// trash included.
bool PrepareTrash(const std::string& trash, bool makeParents) {
    if (makeParents) {
        std::error_code ec;
        std::filesystem::create_directories(ParentFolder(trash), ec);
    }
    return MakeFolder(trash, 0700) && MakeFolder(trash + "/files", 0700) &&
           MakeFolder(trash + "/info", 0700);
}

// The top of the file system that holds `folder`: the last folder upwards
// still on the same device.
std::string TopOf(const std::string& folder, dev_t device) {
    std::string top = std::filesystem::absolute(folder).lexically_normal().string();
    if (top.size() > 1 && top.back() == '/') top.pop_back();
    while (top != "/") {
        const std::string parent = ParentFolder(top);
        struct stat st {};
        if (::stat(parent.c_str(), &st) != 0 || st.st_dev != device) break;
        top = parent;
    }
    return top;
}

// The file system's trash for this user: an administrator's sticky .Trash
// (not a link) with a folder per user, else .Trash-UID.
std::string TopTrashFor(const std::string& top) {
    const std::string base = top == "/" ? "" : top;
    const std::string uid = std::to_string(::getuid());
    struct stat st {};
    const std::string shared = base + "/.Trash";
    if (::lstat(shared.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX) != 0) {
        const std::string mine = shared + "/" + uid;
        if (PrepareTrash(mine, false)) return mine;
    }
    const std::string own = base + "/.Trash-" + uid;
    return PrepareTrash(own, false) ? own : std::string();
}

}  // namespace

std::string TrashInfoPathText(const std::string& path) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(path.size());
    for (unsigned char c : path) {
        const bool keep = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                          (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.' || c == '~' ||
                          c == '/';
        if (keep) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

namespace {

// The file to trash, named through its real folder: the folder part's links
// and ".." resolved once, and the folder held open, so the file checked, the
// path its info file records and the file renamed are one and the same. The
// name stays as given: a link is trashed itself, not its target.
struct TrashSource {
    int folder = -1;   // the real folder, open
    std::string name;  // the file's name in it
    std::string path;  // real folder + "/" + name
    struct stat st {};

    TrashSource() = default;
    TrashSource(const TrashSource&) = delete;
    TrashSource& operator=(const TrashSource&) = delete;
    ~TrashSource() {
        if (folder >= 0) ::close(folder);
    }
};

// Empty when `source` is ready, else the cause.
std::string ResolveSource(const std::string& given, TrashSource& source) {
    source.name = FileNamePart(given);
    if (source.name.empty() || source.name == "." || source.name == "..") {
        struct stat st {};
        return ::lstat(given.c_str(), &st) != 0 ? std::strerror(errno) : "Is a folder, not a file";
    }
    char* real = ::realpath(ParentFolder(given).c_str(), nullptr);
    if (real == nullptr) return std::strerror(errno);
    source.path = JoinPath(real, source.name);
    source.folder = ::open(real, O_PATH | O_DIRECTORY | O_CLOEXEC);
    std::free(real);
    if (source.folder < 0) return std::strerror(errno);
    if (::fstatat(source.folder, source.name.c_str(), &source.st, AT_SYMLINK_NOFOLLOW) != 0) {
        return std::strerror(errno);
    }
    if (S_ISDIR(source.st.st_mode)) return "Is a folder, not a file";
    if (!S_ISREG(source.st.st_mode) && !S_ISLNK(source.st.st_mode)) return "Not a regular file";
    return {};
}

struct TrashPlace {
    std::string trash;     // the trash folder chosen
    std::string infoPath;  // the Path= of the entry, before percent-encoding
};

// The home trash when the file shares its file system, so the move is a
// rename; else that file system's own trash, which names files from its top.
std::string ChooseTrash(const TrashParams& params, const TrashSource& source, TrashPlace& place) {
    place.trash = params.homeTrash.empty() ? DefaultHomeTrash() : params.homeTrash;
    place.infoPath = source.path;
    if (PrepareTrash(place.trash, true)) {
        struct stat trashSt {};
        if (::stat((place.trash + "/files").c_str(), &trashSt) == 0 &&
            trashSt.st_dev == source.st.st_dev) {
            return {};
        }
    }
    const std::string top = TopOf(ParentFolder(source.path), source.st.st_dev);
    place.trash = TopTrashFor(top);
    if (place.trash.empty()) return "This file system has no trash that can be used";
    place.infoPath = top == "/" ? source.path.substr(1) : source.path.substr(top.size() + 1);
    return {};
}

// The entry's name for the attempt-th try: "Song.mp3", then "Song.2.mp3"
// (the extension stays last for the trash's viewer), short enough for the
// info file's name.
std::string EntryName(const std::string& name, int attempt) {
    std::string entry = name;
    if (attempt > 1) {
        const size_t dot = name.find_last_of('.');
        std::string number = ".";
        number += std::to_string(attempt);
        entry = dot == std::string::npos || dot == 0
                    ? name + number
                    : name.substr(0, dot) + number + name.substr(dot);
    }
    if (entry.size() + 10 > NAME_MAX) entry = entry.substr(entry.size() + 10 - NAME_MAX);
    return entry;
}

}  // namespace

TrashResult MoveToTrash(const TrashParams& params) {
    TrashResult result;
    auto fail = [&result](std::string why) {
        result.why = std::move(why);
        return result;
    };
    TrashSource source;
    if (std::string why = ResolveSource(params.path, source); !why.empty()) return fail(why);
    TrashPlace place;
    if (std::string why = ChooseTrash(params, source, place); !why.empty()) return fail(why);

    const std::string info = "[Trash Info]\nPath=" + TrashInfoPathText(place.infoPath) +
                             "\nDeletionDate=" + params.deletionDate + "\n";
    for (int attempt = 1; attempt < 10000; ++attempt) {
        const std::string entry = EntryName(source.name, attempt);
        const std::string infoFile = place.trash + "/info/" + entry + ".trashinfo";
        const int fd = ::open(infoFile.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return fail(std::string("Cannot write in the trash: ") + std::strerror(errno));
        }
        const bool written = WriteAllBytes(fd, info) == 0;
        const bool closed = ::close(fd) == 0;
        const std::string target = place.trash + "/files/" + entry;
        if (!written || !closed) {
            ::unlink(infoFile.c_str());
            return fail("Cannot write in the trash");
        }
        struct stat taken {};
        if (::lstat(target.c_str(), &taken) == 0) {  // left over without its info file
            ::unlink(infoFile.c_str());
            continue;
        }
        if (::renameat(source.folder, source.name.c_str(), AT_FDCWD, target.c_str()) != 0) {
            const int error = errno;
            ::unlink(infoFile.c_str());
            return fail(std::strerror(error));
        }
        result.ok = true;
        result.trashedPath = target;
        return result;
    }
    return fail("The trash holds too many files of this name");
}

}  // namespace mv
