#include "platform/folder_listing.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/ascii_case.h"

namespace fs = std::filesystem;

namespace mv {
namespace {

// Wildcard match, ASCII letters compared without case.
bool WildcardMatch(std::string_view name, std::string_view pattern) {
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

// The entry's own name, without building a path for it: the listing's path is
// the folder, "/" and the name.
std::string_view EntryName(const fs::directory_entry& entry) {
    const std::string& path = entry.path().native();
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string_view(path)
                                      : std::string_view(path).substr(slash + 1);
}

bool IsHidden(std::string_view name) {
    return !name.empty() && name.front() == '.';
}

enum class EntryKind { Folder, Other, Unknown };

// A folder that is not a link. The kind the folder listing already gave is
// used, so no path is looked up: a path too long to look up still reads as a
// folder here, and fails (and is named) when it is opened. Unknown when the
// kind had to be looked up and that failed for another reason than the entry
// being gone.
EntryKind KindOf(const fs::directory_entry& entry) {
    std::error_code ec;
    const bool link = entry.is_symlink(ec);
    const bool folder = !ec && !link && entry.is_directory(ec);
    if (ec)
        return ec == std::errc::no_such_file_or_directory ? EntryKind::Other : EntryKind::Unknown;
    return folder ? EntryKind::Folder : EntryKind::Other;
}

bool NameLess(const std::string& a, const std::string& b) {
    return LessIgnoringAsciiCase(a, b);
}

// Reads one folder for the collection: its subfolders (as in ListSubfolders,
// plus entries of unknown kind, so that they are tried and named when they
// fail) go to `subfolders`; `holdsMatch` tells whether any entry of whatever
// kind matches the pattern; with `files`, the names ListFolderFiles would give
// are appended to it, unsorted. False when the folder could not be read to its end.
bool ReadForCollection(const std::string& folder, const std::string& pattern,
                       std::vector<std::string>& subfolders, bool& holdsMatch,
                       std::vector<std::string>* files) {
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec) return false;
    for (const fs::directory_iterator end; it != end; it.increment(ec)) {
        const std::string_view name = EntryName(*it);
        const bool match = WildcardMatch(name, pattern);
        holdsMatch = holdsMatch || match;
        if (!IsHidden(name)) {
            if (KindOf(*it) != EntryKind::Other) subfolders.emplace_back(name);
            std::error_code statEc;
            if (files != nullptr && match && it->is_regular_file(statEc)) files->emplace_back(name);
        }
        if (ec) return false;
    }
    return !ec;
}

// The walk behind CollectFolders and CollectFolderFiles; files are listed
// only when asked for.
FolderFilesCollection Collect(const std::string& root, const std::string& ext,
                              const FolderWalkHooks& hooks, bool withFiles) {
    FolderFilesCollection out;
    const std::string pattern = "*." + ext;
    std::vector<std::string> queue{TrimFolderPath(root)};
    std::vector<std::string> names;
    std::vector<std::string> files;
    for (size_t i = 0; i < queue.size(); ++i) {
        if (hooks.stop != nullptr && hooks.stop->load()) {
            out.stopped = true;
            break;
        }
        names.clear();
        files.clear();
        bool holdsMatch = false;
        if (!ReadForCollection(queue[i], pattern, names, holdsMatch,
                               withFiles ? &files : nullptr)) {
            // Subfolders read before a failure are still searched; the folder's
            // own files are not compared, as its listing cannot be trusted.
            out.passedOver.push_back(queue[i]);
            holdsMatch = false;
        }
        for (const auto& n : names) queue.push_back(JoinPath(queue[i], n));
        if (holdsMatch) {
            std::sort(files.begin(), files.end(), NameLess);
            out.folders.push_back(
                {std::move(queue[i]), std::move(files)});  // the walk is done with it
        }
        if (hooks.foldersKnown != nullptr) *hooks.foldersKnown = queue.size();
        if (hooks.foldersRead != nullptr) *hooks.foldersRead = i + 1;
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
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec) return 0;
    int count = 0;
    for (const fs::directory_iterator end; it != end; it.increment(ec)) {
        const std::string_view name = EntryName(*it);
        if (!IsHidden(name) && KindOf(*it) == EntryKind::Folder) {
            out.emplace_back(name);
            ++count;
        }
        if (ec) break;
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

std::optional<std::vector<std::string>> ListFolderFiles(const std::string& folder,
                                                        const std::string& ext) {
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec) return std::nullopt;
    std::vector<std::string> names;
    for (const fs::directory_iterator end; it != end; it.increment(ec)) {
        const std::string_view name = EntryName(*it);
        std::error_code statEc;
        if (!IsHidden(name) && MatchesExtension(name, ext) && it->is_regular_file(statEc)) {
            names.emplace_back(name);
        }
        if (ec) break;
    }
    std::sort(names.begin(), names.end(), NameLess);
    return names;
}

}  // namespace mv
