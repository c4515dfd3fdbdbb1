#pragma once

#include <string>

// The file changes the delete commands make. Both act only on a path that is a
// regular file or a symbolic link (the link itself, never what it points to);
// a folder or a missing path is left alone and reported as a failure.
namespace mv {

// Makes the file writable by its owner (the read-only attribute cleared).
bool ClearAttributes(const std::string& path);

// Removes the file for good (no trash). On failure `why`, when given, receives
// the cause as the user should read it ("Permission denied", "Is a folder").
bool DeletePermanently(const std::string& path, std::string* why = nullptr);

}  // namespace mv
