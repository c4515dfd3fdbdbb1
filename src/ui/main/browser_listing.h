#pragma once

#include <string>
#include <vector>

// What the browser panes show of one folder, on the platform's folder listing.
namespace mv {

// The files the file list shows: the same listing as a comparison gathers.
// Empty when the folder cannot be read.
std::vector<std::string> ListMatchingFiles(const std::string& folder, const std::string& ext);

// Subfolders that are not hidden, as bare names sorted ignoring case.
std::vector<std::string> ListVisibleSubfolders(const std::string& folder);

// The last component of a folder path ("/" for the root itself).
std::string NamePartOfFolder(const std::string& folder);

}  // namespace mv
