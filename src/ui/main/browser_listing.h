#pragma once

#include <string>
#include <vector>

// What the browser panes show of one folder. Plain file system work, no widgets.
namespace mv {

// Folder + "/" + name; a root that already ends in "/" gets no second one.
std::string JoinFolder(const std::string& folder, const std::string& name);

// Regular files that are not hidden and whose names match "*." + ext (letter
// case ignored), as bare names sorted ignoring case. Empty when the folder
// cannot be read.
std::vector<std::string> ListMatchingFiles(const std::string& folder, const std::string& ext);

// Subfolders that are not hidden, as bare names sorted ignoring case.
std::vector<std::string> ListVisibleSubfolders(const std::string& folder);

// The last component of a folder path ("/" for the root itself).
std::string NamePartOfFolder(const std::string& folder);

}  // namespace mv
