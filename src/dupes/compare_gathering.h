#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/folder_listing.h"

namespace mv {

// The files of a comparison, folder after folder in the given order, each
// folder's files in the order of its listing. A path is built only when asked
// for: a run needs paths for its rows, not for every file it reads.
class GatheredFiles {
  public:
    // The folders the caller's walk listed; they must outlive this.
    explicit GatheredFiles(const std::vector<FolderWithFiles>& listed);
    // Lists the folders itself. A folder that cannot be read is passed over and
    // recorded; the later folders are still gathered, so one unreadable folder
    // does not silently shrink the run.
    GatheredFiles(const std::vector<std::string>& folders, const std::string& ext);
    GatheredFiles(const GatheredFiles&) = delete;
    GatheredFiles& operator=(const GatheredFiles&) = delete;

    size_t Count() const { return folderOf_.size(); }
    const std::string& Name(size_t k) const {
        return Folder(k).files[k - firstFile_[folderOf_[k]]];
    }
    const ListedFileId& Id(size_t k) const { return Folder(k).ids[k - firstFile_[folderOf_[k]]]; }
    std::string Path(size_t k) const { return JoinPath(Folder(k).folder, Name(k)); }
    const std::vector<std::string>& FoldersPassedOver() const { return passedOver_; }

  private:
    const FolderWithFiles& Folder(size_t k) const { return (*folders_)[folderOf_[k]]; }
    void IndexFiles();

    std::vector<FolderWithFiles> owned_;           // when the folders were listed here
    const std::vector<FolderWithFiles>* folders_;  // owned_ or the caller's
    std::vector<uint32_t> folderOf_;               // per file: its folder
    std::vector<size_t> firstFile_;                // per folder: the index of its first file
    std::vector<std::string> passedOver_;
};

// What pairing two files of a run needs to know of which paths are one file.
// A file reached under several paths (a link and its target, hard links, a
// folder reached twice) is one file: its facts are the same under every path.
struct FileFacts {
    // The index of the first path of the run that leads to this file: its own
    // index unless an earlier path is the same file.
    size_t firstPath = 0;
    // A link of the run leads to this file and the run also holds it under a
    // path that is no link: deleting that path would leave the link dangling.
    bool linkedTarget = false;
    // Every path of the run to this file is a link: deleting one loses no data.
    bool onlyLinks = false;

    bool SameFileAs(const FileFacts& other) const { return firstPath == other.firstPath; }
};

// The facts of every file, in the same order. Identities come from the listing
// (device and inode, links followed); where two entries claim one identity,
// both are looked up, as only that tells whether they are one file.
std::vector<FileFacts> ReadFileFacts(const GatheredFiles& files);

// The sizes of a run's files (links followed), each read the first time it is
// asked for: a run needs only those of the files in its rows. Any thread may
// ask; the size first read is the one every later question gets.
class FileSizes {
  public:
    explicit FileSizes(size_t count);
    // nullopt when the file cannot be examined.
    std::optional<uint64_t> Of(size_t k, const std::string& path) const;

  private:
    // 0: not read yet, 1: unreadable, otherwise the size + 2.
    std::unique_ptr<std::atomic<uint64_t>[]> cells_;
};

}  // namespace mv
