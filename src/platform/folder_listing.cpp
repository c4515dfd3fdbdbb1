#include "platform/folder_listing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statfs.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <iterator>
#include <mutex>
#include <utility>

#include "platform/ascii_case.h"
#include "platform/work_split.h"

namespace mv {
namespace {

// Wildcard match, ASCII letters compared without case.
bool WildcardMatch(std::string_view name, std::string_view pattern) {
    // "*.mp3", met by every entry of a walk: the end of the name, compared
    // once instead of from every place a star could stand for.
    if (!pattern.empty() && pattern[0] == '*' &&
        pattern.find_first_of("*?", 1) == std::string_view::npos) {
        const std::string_view end = pattern.substr(1);
        if (name.size() < end.size()) return false;
        return EqualsIgnoringAsciiCase(name.substr(name.size() - end.size()), end);
    }
    size_t n = 0, p = 0;
    size_t starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() &&
            (pattern[p] == '?' ||
             (pattern[p] != '*' && FoldAscii(pattern[p]) == FoldAscii(name[n])))) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

bool IsHidden(std::string_view name) {
    return !name.empty() && name.front() == '.';
}

bool NameLess(const std::string& a, const std::string& b) {
    return LessIgnoringAsciiCase(a, b);
}

// File systems whose folder entries carry the inode number stat gives for a
// file that is no folder: there a file's identity needs no lookup.
bool EntryInodesAreFileInodes(int fd) {
    constexpr unsigned long kTrusted[] = {
        0xEF53,      // ext2, ext3, ext4
        0x58465342,  // xfs
        0x9123683E,  // btrfs
        0x01021994,  // tmpfs
        0xF2F52010,  // f2fs
    };
    struct statfs fsInfo {};
    if (fstatfs(fd, &fsInfo) != 0) return false;
    const auto type = static_cast<unsigned long>(fsInfo.f_type);
    return std::find(std::begin(kTrusted), std::end(kTrusted), type) != std::end(kTrusted);
}

// An open folder, closed when it goes out of scope.
class OpenFolder {
  public:
    explicit OpenFolder(const std::string& path) : dir_(opendir(path.c_str())) {}
    ~OpenFolder() {
        if (dir_ != nullptr) closedir(dir_);
    }
    OpenFolder(const OpenFolder&) = delete;
    OpenFolder& operator=(const OpenFolder&) = delete;

    bool IsOpen() const { return dir_ != nullptr; }
    int Fd() const { return dirfd(dir_); }
    // The next entry but "." and ".."; nullptr at the end or on an error
    // (`failed` tells which).
    const dirent* Next(bool& failed) {
        for (;;) {
            errno = 0;
            const dirent* entry = readdir(dir_);
            if (entry == nullptr) {
                failed = errno != 0;
                return nullptr;
            }
            const char* n = entry->d_name;
            if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0))) continue;
            return entry;
        }
    }

  private:
    DIR* dir_;
};

// The entry's kind; the folder entry's own type where it gives one, else a
// lookup relative to the open folder (no path is built). Unknown when that
// lookup failed for another reason than the entry being gone.
enum class EntryKind { Folder, File, Link, Other, Unknown };

EntryKind KindOf(int folderFd, const dirent& entry, struct stat* looked) {
    switch (entry.d_type) {
        case DT_DIR:
            return EntryKind::Folder;
        case DT_REG:
            return EntryKind::File;
        case DT_LNK:
            return EntryKind::Link;
        case DT_UNKNOWN:
            break;
        default:
            return EntryKind::Other;
    }
    if (fstatat(folderFd, entry.d_name, looked, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT ? EntryKind::Other : EntryKind::Unknown;
    if (S_ISDIR(looked->st_mode)) return EntryKind::Folder;
    if (S_ISREG(looked->st_mode)) return EntryKind::File;
    if (S_ISLNK(looked->st_mode)) return EntryKind::Link;
    return EntryKind::Other;
}

struct FoundFile {
    std::string name;
    ListedFileId id;
};

// The folder's own device and whether its entries' inode numbers can be trusted.
struct FolderFacts {
    uint64_t device = 0;
    bool trusted = false;
};

// Which devices' entry numbers can be trusted, learnt once per device in a
// walk rather than once per folder; shared by the walk's threads.
class DeviceTrust {
  public:
    bool Trusted(uint64_t device, int folderFd) {
        {
            std::lock_guard lock(mutex_);
            for (const auto& [d, t] : known_) {
                if (d == device) return t;
            }
        }
        const bool trusted = EntryInodesAreFileInodes(folderFd);
        std::lock_guard lock(mutex_);
        known_.emplace_back(device, trusted);
        return trusted;
    }

  private:
    std::mutex mutex_;
    std::vector<std::pair<uint64_t, bool>> known_;  // guarded by mutex_
};

// Reads one folder: its subfolders that are not hidden (folders that are no
// links, plus entries of unknown kind, so that they are tried and named when
// they fail) go to `subfolders` when given; `holdsMatch` tells whether any
// entry of whatever kind matches the pattern; with `files`, the regular files
// (links followed) that are not hidden and match are appended, unsorted, with
// what tells which are one file.
enum class ReadOutcome { NotOpened, CutShort, Complete };

ReadOutcome ReadFolder(const std::string& folder, const std::string& pattern,
                       std::vector<std::string>* subfolders, bool& holdsMatch,
                       std::vector<FoundFile>* files, DeviceTrust& trust) {
    OpenFolder dir(folder);
    if (!dir.IsOpen()) return ReadOutcome::NotOpened;
    const int fd = dir.Fd();
    std::optional<FolderFacts> facts;  // looked up with the first file
    bool failed = false;
    while (const dirent* entry = dir.Next(failed)) {
        const std::string_view name = entry->d_name;
        const bool match = WildcardMatch(name, pattern);
        holdsMatch = holdsMatch || match;
        const bool wantFile = files != nullptr && match;
        if (IsHidden(name) || (subfolders == nullptr && !wantFile)) continue;
        struct stat st {};
        const EntryKind kind = KindOf(fd, *entry, &st);
        const bool examined = entry->d_type == DT_UNKNOWN;
        if (subfolders != nullptr && (kind == EntryKind::Folder || kind == EntryKind::Unknown)) {
            subfolders->emplace_back(name);
        }
        if (!wantFile) continue;
        if (kind == EntryKind::Link) {
            // A link counts when it leads to a regular file; its identity is its target's.
            if (fstatat(fd, entry->d_name, &st, 0) != 0 || !S_ISREG(st.st_mode)) continue;
            files->push_back(
                {std::string(name),
                 {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino), true, true}});
            continue;
        }
        if (kind != EntryKind::File) continue;
        if (!facts) {
            struct stat self {};
            facts.emplace();
            if (fstat(fd, &self) == 0) {
                facts->device = static_cast<uint64_t>(self.st_dev);
                facts->trusted = trust.Trusted(facts->device, fd);
            }
        }
        ListedFileId id{facts->device, static_cast<uint64_t>(entry->d_ino), false, false};
        if (!examined && !facts->trusted) {
            // Elsewhere the entry's number may not be the file's: look it up.
            id.inode = 0;
            if (fstatat(fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0) {
                id = {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino), false,
                      true};
            }
        } else if (examined) {
            id = {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino), false, true};
        }
        files->push_back({std::string(name), id});
    }
    return failed ? ReadOutcome::CutShort : ReadOutcome::Complete;
}

// Sorts a folder's files by name, ignoring letter case, and splits them into
// the names and their identities.
void SortFiles(std::vector<FoundFile>& found, FolderWithFiles& into) {
    std::sort(found.begin(), found.end(),
              [](const FoundFile& a, const FoundFile& b) { return NameLess(a.name, b.name); });
    into.files.reserve(found.size());
    into.ids.reserve(found.size());
    for (auto& f : found) {
        into.files.push_back(std::move(f.name));
        into.ids.push_back(f.id);
    }
}

// What reading one folder of a walk gave.
struct FolderRead {
    bool read = false;  // false when the walk stopped before this folder
    ReadOutcome outcome = ReadOutcome::NotOpened;
    bool holdsMatch = false;
    std::vector<std::string> subfolders;  // full paths
    FolderWithFiles listed;               // its files, sorted; the folder filled in later
};

// Below this many folders in one level of the walk a second thread costs
// more than it saves.
constexpr size_t kFoldersWorthAThread = 32;

// The walk behind CollectFolders and CollectFolderFiles; files are listed
// only when asked for. It goes level by level, the folders of a level read
// side by side on up to two threads, and puts together what they gave in the
// order a walk on one thread would (breadth first, each folder's subfolders
// in the order the file system gives them).
FolderFilesCollection Collect(const std::string& root, const std::string& ext,
                              const FolderWalkHooks& hooks, bool withFiles) {
    FolderFilesCollection out;
    const std::string pattern = "*." + ext;
    std::vector<std::string> level{TrimFolderPath(root)};
    std::atomic<uint64_t> read{0};
    std::atomic<uint64_t> known{1};
    DeviceTrust trust;
    while (!level.empty()) {
        std::vector<FolderRead> reads(level.size());
        auto readFolders = [&](size_t begin, size_t end) {
            for (size_t i = begin; i < end; ++i) {
                if (hooks.stop != nullptr && hooks.stop->load()) return;
                FolderRead& r = reads[i];
                std::vector<FoundFile> files;
                r.outcome = ReadFolder(level[i], pattern, &r.subfolders, r.holdsMatch,
                                       withFiles ? &files : nullptr, trust);
                for (auto& sub : r.subfolders) sub = JoinPath(level[i], sub);
                SortFiles(files, r.listed);
                r.read = true;
                // Shown while the walk goes on: folders read, and those met so far.
                if (hooks.foldersKnown != nullptr)
                    *hooks.foldersKnown = known += r.subfolders.size();
                if (hooks.foldersRead != nullptr) *hooks.foldersRead = ++read;
            }
        };
        const unsigned threads = level.size() < kFoldersWorthAThread ? 1 : DefaultWorkThreads();
        SplitWork(level.size(), threads, 4, readFolders);

        std::vector<std::string> next;
        for (size_t i = 0; i < level.size(); ++i) {
            FolderRead& r = reads[i];
            if (!r.read) {
                out.stopped = true;
                return out;
            }
            if (r.outcome != ReadOutcome::Complete) {
                // Subfolders read before a failure are still searched; the folder's
                // own files are not compared, as its listing cannot be trusted.
                out.passedOver.push_back(level[i]);
                r.holdsMatch = false;
            }
            for (auto& sub : r.subfolders) next.push_back(std::move(sub));
            if (r.holdsMatch) {
                FolderWithFiles& f = out.folders.emplace_back(std::move(r.listed));
                f.folder = std::move(level[i]);  // the walk is done with it
            }
            r = FolderRead{};  // its memory back before the next level is read
        }
        level = std::move(next);
    }
    return out;
}

}  // namespace

std::string TrimFolderPath(std::string_view folder) {
    while (folder.size() > 1 && folder.back() == '/') folder.remove_suffix(1);
    return std::string(folder);
}

std::string ParentFolder(std::string_view path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string_view::npos) return ".";
    return std::string(slash == 0 ? path.substr(0, 1) : path.substr(0, slash));
}

std::string FileNamePart(std::string_view path) {
    const size_t slash = path.find_last_of('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string JoinPath(std::string_view folder, std::string_view name) {
    while (folder.size() > 1 && folder.back() == '/') folder.remove_suffix(1);
    // One allocation: a drive scan joins a path for every file of a disk.
    std::string out;
    out.reserve(folder.size() + 1 + name.size());
    out += folder;
    if (out.empty() || out.back() != '/') out += '/';
    out += name;
    return out;
}

bool IsMp3Extension(std::string_view ext) {
    return EqualsIgnoringAsciiCase(ext, "mp3");
}

bool MatchesExtension(std::string_view name, std::string_view ext) {
    std::string pattern = "*.";
    pattern += ext;
    return WildcardMatch(name, pattern);
}

int ListSubfolders(const std::string& folder, std::vector<std::string>& out) {
    OpenFolder dir(folder);
    if (!dir.IsOpen()) return 0;
    int count = 0;
    bool failed = false;
    while (const dirent* entry = dir.Next(failed)) {
        struct stat st {};
        if (!IsHidden(entry->d_name) && KindOf(dir.Fd(), *entry, &st) == EntryKind::Folder) {
            out.emplace_back(entry->d_name);
            ++count;
        }
    }
    return count;
}

FolderCollection CollectFolders(const std::string& root, const std::string& ext) {
    FolderFilesCollection walked = Collect(root, ext, {}, false);
    FolderCollection out;
    out.folders.reserve(walked.folders.size());
    for (auto& f : walked.folders) out.folders.push_back(std::move(f.folder));
    out.passedOver = std::move(walked.passedOver);
    return out;
}

FolderFilesCollection CollectFolderFiles(const std::string& root, const std::string& ext,
                                         const FolderWalkHooks& hooks) {
    return Collect(root, ext, hooks, true);
}

std::optional<FolderWithFiles> ListFolderFilesWithIds(const std::string& folder,
                                                      const std::string& ext) {
    std::vector<FoundFile> found;
    bool holdsMatch = false;
    const std::string pattern = "*." + ext;
    // A listing cut short by an error keeps what was read, as a file browser does.
    DeviceTrust trust;
    if (ReadFolder(folder, pattern, nullptr, holdsMatch, &found, trust) == ReadOutcome::NotOpened) {
        return std::nullopt;
    }
    FolderWithFiles out;
    out.folder = folder;
    SortFiles(found, out);
    return out;
}

std::optional<std::vector<std::string>> ListFolderFiles(const std::string& folder,
                                                        const std::string& ext) {
    auto listed = ListFolderFilesWithIds(folder, ext);
    if (!listed) return std::nullopt;
    return std::move(listed->files);
}

}  // namespace mv
