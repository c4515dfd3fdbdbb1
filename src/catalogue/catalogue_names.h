#pragma once

#include <string>
#include <string_view>
#include <vector>

// The names a drive scan meets on disk, checked before they become lines of
// the Mp3 list. A title is the name as the normaliser gives it, which drops a
// leading '\' silently, and a folder is stored as "/" + its name; a name that
// the list cannot hold as it stands is left out and named instead, so that no
// CD in the list holds something else than its disc.
namespace mv {

// Whether a file or folder name, as it is on disk, would read back as itself
// when stored: not empty, not starting with '\' (a CD marker) or '/' (a
// folder entry), and not exactly "..". Other bytes, line breaks included, are
// the stored text's concern (see ToSingleLine).
bool IsStorableName(std::string_view name);

// The shortest part of `folder` below `driveRoot` that ends in a folder name
// IsStorableName refuses ("/media/cd/\\Bad" for "/media/cd/\\Bad/Sub"), or
// an empty string when every name below the root can be stored. A folder not
// on the drive gives an empty string: saving refuses it on its own. Both are
// given without a trailing '/' ("/" stays "/").
std::string UnstorableFolderPart(std::string_view driveRoot, std::string_view folder);

// The message that names what a scan left out for its names, one path a line.
std::string NamesPassedOverMessage(const std::vector<std::string>& paths);

}  // namespace mv
