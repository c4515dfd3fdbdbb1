#pragma once

#include <string>
#include <vector>

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

}  // namespace mv
