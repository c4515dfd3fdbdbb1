#pragma once

#include <string>

// Moving a user's file to the desktop's trash (the freedesktop.org trash
// layout), from where the desktop's trash can restore it.
namespace mv {

struct TrashParams {
    // A regular file or a symbolic link (the link is trashed). Its folder part
    // is resolved as the kernel resolves it ("link/.." is the link target's
    // parent); the entry records that real path.
    std::string path;
    // The home trash's folder; empty: $XDG_DATA_HOME/Trash, else ~/.local/share/Trash.
    std::string homeTrash;
    // The deletion time written into the entry, "YYYY-MM-DDThh:mm:ss" (local time).
    std::string deletionDate;
};

struct TrashResult {
    bool ok = false;
    std::string why;          // when !ok: the cause as a user should read it
    std::string trashedPath;  // where the file now lies
};

// Moves the file into the home trash when it lives on the same file system,
// otherwise into its file system's own trash ($top/.Trash/UID when the
// administrator made one, else $top/.Trash-UID). The entry's info file is
// created first under a name nobody else holds (O_EXCL), then the file is
// renamed next to it, so two programs trashing at once never collide and a
// failed move leaves no stray entry. Never copies: a file that cannot be
// renamed into a trash on its own file system is left where it is.
TrashResult MoveToTrash(const TrashParams& params);

// The path as a trash info file writes it: bytes outside the unreserved
// characters and "/" percent-encoded.
std::string TrashInfoPathText(const std::string& path);

}  // namespace mv
