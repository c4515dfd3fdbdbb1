#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Folder enumeration for the comparison and the browser. Paths use "/"; a
// folder path never ends in "/" except the root "/" itself. Hidden means a name
// starting with ".".
namespace mv {

// folder + "/" + name, without doubling the separator after the root.
std::string JoinPath(std::string_view folder, std::string_view name);

// The folder a path lies in ("/" for what lies in the root, "." for a bare
// name), and the path's last component.
std::string ParentFolder(std::string_view path);
std::string FileNamePart(std::string_view path);

// The folder path without trailing separators; "/" stays "/".
std::string TrimFolderPath(std::string_view folder);

// Whether a name matches the wildcard "*." + ext. Letter case is ignored (ASCII
// letters), as on the file systems the program was born on; "*" and "?" inside
// ext keep their wildcard meaning.
bool MatchesExtension(std::string_view name, std::string_view ext);

// Whether the extension box names MP3 files (letter case ignored): only then
// are files played and tags read.
bool IsMp3Extension(std::string_view ext);

// Appends the names of the subfolders of `folder` that are not hidden to `out`,
// in the order the file system returns them; returns how many were appended.
// Symbolic links are not followed, so a link loop cannot make a walk endless.
// A folder that cannot be read yields none.
int ListSubfolders(const std::string& folder, std::vector<std::string>& out);

struct FolderCollection {
    // The root and every folder below it, breadth first, that holds something
    // matching "*." + ext (a file of any kind, hidden ones included, or a
    // folder). The root comes first when it qualifies.
    std::vector<std::string> folders;
    // Folders that could not be read (no permission, a path longer than the
    // system takes, gone meanwhile), in the order they were met; what lies
    // below them is not searched.
    std::vector<std::string> passedOver;
};

// Walks from `root` down. Hidden folders and everything below them are left out.
FolderCollection CollectFolders(const std::string& root, const std::string& ext);

// Shared with another thread, all optional.
struct FolderWalkHooks {
    const std::atomic<bool>* stop = nullptr;  // polled before each folder is read
    std::atomic<uint64_t>* foldersRead = nullptr;
    // Folders read or met and waiting to be read: grows while the walk goes on.
    std::atomic<uint64_t>* foldersKnown = nullptr;
};

// What tells which listed paths are one file, learnt while listing: on the
// common Linux file systems a folder entry carries its file's inode number, so
// most files need no lookup of their own.
struct ListedFileId {
    uint64_t device = 0;
    uint64_t inode = 0;  // 0: unknown (the file could not be examined)
    bool link = false;   // a symbolic link; device and inode are its target's
    // Device and inode come from a lookup (stat) rather than from the folder
    // entry, whose number is not always the file's (a file mounted over it).
    bool examined = false;
};

struct FolderWithFiles {
    std::string folder;
    std::vector<std::string> files;  // as ListFolderFiles gives them; may be empty
    std::vector<ListedFileId> ids;   // one per file, in the same order
};

struct FolderFilesCollection {
    std::vector<FolderWithFiles> folders;  // CollectFolders' folders, in its order
    std::vector<std::string> passedOver;   // as CollectFolders names them
    bool stopped = false;                  // ended at hooks.stop; what was read is kept
};

// CollectFolders, with ListFolderFiles of every folder collected, in one walk
// that reads each folder once (a drive scan reads a whole disk). The folders of
// one level are read on up to two threads, which also update hooks' counters;
// the result is in the order of a walk on one thread.
FolderFilesCollection CollectFolderFiles(const std::string& root, const std::string& ext,
                                         const FolderWalkHooks& hooks = {});

// The regular files of one folder that are not hidden and match "*." + ext,
// as bare names, sorted ascending ignoring letter case. nullopt when the folder
// cannot be read.
std::optional<std::vector<std::string>> ListFolderFiles(const std::string& folder,
                                                        const std::string& ext);

// The same, with each file's identity.
std::optional<FolderWithFiles> ListFolderFilesWithIds(const std::string& folder,
                                                      const std::string& ext);

}  // namespace mv
