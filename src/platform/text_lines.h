#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// Line-based text files the program keeps (catalogue, ban list, playlists).
namespace mv {

// Splits text into lines: a line ends at CR LF, a lone CR or a lone LF; a NUL
// byte is a byte of its line like any other; a last line without an end still
// counts; the final line end adds no empty line. Lines keep their bytes exactly
// (no trimming).
std::vector<std::string> SplitLines(std::string_view text);

enum class ReadStatus {
    Read,
    Absent,      // no such file: callers go on as with an empty one
    Unreadable,  // something is there but it cannot be read: never overwrite it
};

struct ReadLinesResult {
    ReadStatus status = ReadStatus::Absent;
    std::vector<std::string> lines;  // Read: the lines (see SplitLines)
    std::string message;             // otherwise: names the file and the cause
};

// Reads a whole file and splits it. Only a regular file (or a link to one) is
// read; a folder, named pipe, device or socket in its place is Unreadable, so
// a reader never blocks on a pipe nor runs on without end on a device. A
// dangling link or a link loop is Unreadable too: a later save could not
// replace it by the file the user expects.
ReadLinesResult ReadLinesWithStatus(const std::filesystem::path& path);

// ReadLinesWithStatus without the reason: nullopt unless the file was read.
std::optional<std::vector<std::string>> ReadLines(const std::filesystem::path& path);

// Writes every line followed by CR LF (no lines: an empty file) to a temporary
// file beside the file, flushes it to disk and renames it into place, so a
// crash or a full disk never leaves a half-written file. A link is written
// through: its target is replaced and the link stays. The replaced file keeps
// its permissions (and its owner where the process may set it); a new one gets
// rw-r--r--. Returns an empty string on success, else a message naming the
// file and the cause; the old file is then left as it was. Refuses to replace
// anything but a regular file, and to follow a dangling link or a link loop.
std::string WriteLinesAtomically(const std::filesystem::path& path,
                                 const std::vector<std::string>& lines);

}  // namespace mv
