#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// The file changes the delete commands make. Both act only on a path that is a
// regular file or a symbolic link (the link itself, never what it points to);
// a folder or a missing path is left alone and reported as a failure.
namespace mv {

// Makes the file writable by its owner (the read-only attribute cleared).
bool ClearAttributes(const std::string& path);

// Removes the file for good (no trash). On failure `why`, when given, receives
// the cause as the user should read it ("Permission denied", "Is a folder").
bool DeletePermanently(const std::string& path, std::string* why = nullptr);

// How the program's delete commands remove a user's file.
struct RemovalPolicy {
    bool toTrash = false;  // "Move deleted files to the trash"
    // DeletedFiles.log in the program folder; empty: nothing is logged.
    std::filesystem::path logFile;
    // The home trash's folder; empty: the desktop's ($XDG_DATA_HOME/Trash).
    std::string homeTrash;
};

struct RemovalResult {
    bool ok = false;       // the file is gone from its place
    std::string why;       // !ok: the cause as the user should read it
    std::string logError;  // ok, but its line could not be logged: the cause
};

// The one way the program removes a user's file: into the trash or for good,
// as `policy` says; then, before returning (so before the caller touches the
// next file), appends "TIME<TAB>ACTION<TAB>SIZE<TAB>PATH" to the log: local
// time as YYYY-MM-DDThh:mm:ss+hh:mm, "trashed" or "deleted", the size in
// bytes, the path as given with TAB, CR, LF and backslash escaped.
RemovalResult RemoveUserFile(const std::string& path, const RemovalPolicy& policy);

// The log line RemoveUserFile writes, without its line end.
std::string DeletionLogLine(const std::string& time, bool trashed, unsigned long long size,
                            const std::string& path);

// Renames `from` to `to` unless `to` exists, as one step. Returns 0, or the
// errno of the failure (EEXIST when the name is taken). On a file system
// without the no-replace rename, a hard link and an unlink do the same.
int RenameNoReplace(const std::string& from, const std::string& to);
// The hard link and unlink alone (for file systems without the flag).
int RenameByLink(const std::string& from, const std::string& to);

// Writes all of `bytes` to `fd`, again after short writes and interruptions.
// Returns 0, or the errno of the write that failed (EIO for a write of nothing).
int WriteAllBytes(int fd, std::string_view bytes);

// Removes a file the program made for itself (a temporary file left by a
// failed save); never a user's file.
void RemoveOwnTemporaryFile(const std::string& path);

}  // namespace mv
