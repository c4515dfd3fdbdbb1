#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// Line-based text files the program keeps (catalogue, ban list, playlists).
namespace mv {

// Splits text into lines: a line ends at CR LF, a lone CR or a lone LF; a NUL
// byte ends the text; a last line without an end still counts; the final line
// end adds no empty line. Lines keep their bytes exactly (no trimming).
std::vector<std::string> SplitLines(std::string_view text);

// Reads a whole file and splits it. nullopt when the file cannot be read.
std::optional<std::vector<std::string>> ReadLines(const std::filesystem::path& path);

// Writes every line followed by CR LF (no lines: an empty file) to a temporary
// file beside `path`, then renames it into place, so a crash or a full disk
// never leaves a half-written file. Returns an empty string on success, else a
// message naming the file and the cause.
std::string WriteLinesAtomically(const std::filesystem::path& path,
                                 const std::vector<std::string>& lines);

}  // namespace mv
