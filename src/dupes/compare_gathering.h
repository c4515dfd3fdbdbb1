#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/folder_listing.h"

namespace mv {

// The files of a comparison, folder after folder in the given order, each
// folder's files in the order of its file listing.
struct GatheredFiles {
    std::vector<std::string> names;              // bare names
    std::vector<std::string> paths;              // each name joined with its folder
    std::vector<std::string> foldersPassedOver;  // folders that could not be read
};

// A folder that cannot be read is passed over and recorded; the later folders
// are still gathered, so one unreadable folder does not silently shrink the run.
GatheredFiles GatherFiles(const std::vector<std::string>& folders, const std::string& ext);

// The same from folders whose files a walk has listed already (their order kept).
GatheredFiles GatherListedFiles(const std::vector<FolderWithFiles>& folders);

// What pairing two files of a run needs to know of each, read once per file.
// A file reached under several paths (a link and its target, hard links, a
// folder reached twice) is one file: its facts are the same under every path.
struct FileFacts {
    uint64_t size = 0;
    bool sizeKnown = false;  // false when the file could not be examined
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

// The facts of every path, in the same order; links are followed to the file
// (device and inode tell which paths are one file).
std::vector<FileFacts> ReadFileFacts(const std::vector<std::string>& paths);

}  // namespace mv
