#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "dupes/result_rows.h"
#include "media/media_facts.h"

// Which copy of a duplicate pair to keep, and the row work that follows from
// the files' facts. "Delete all" deletes every left file, so the copy worth
// keeping belongs on the right.
namespace mv {

using FactsByPath = std::unordered_map<std::string, MediaFacts>;

// Whether `a` is the better copy of the two: the higher bitrate, then the
// longer audio, then tagged (ID3v1, ID3v2 or APE) over untagged, then the
// larger file. Only audio can be better; audio is always better than a file
// that is not. Equal on every count: not better, so a tie never moves a row.
bool IsBetterCopy(const MediaFacts& a, const MediaFacts& b);

// Swaps every row of two files on disk whose left file is the better copy,
// kinds with them, so the better copy is the one kept. Rows with another kind
// on either side, and files without facts, stay as they are. Returns how many
// rows were swapped.
std::size_t KeepBetterCopy(std::vector<ResultRow>& rows, const FactsByPath& facts);

// Keeps only the rows of two files on disk that hold the same audio
// (SameAudio() true); a row that names something else, or whose sameness is
// unknown, goes. Returns how many rows were removed; the others keep their order.
std::size_t KeepOnlySameAudio(std::vector<ResultRow>& rows, const FactsByPath& facts);

// The left sides of `rows` that are files on disk, as "Delete all" would take them.
std::vector<std::string> LeftFiles(const std::vector<ResultRow>& rows);

// The bytes deleting every one of `leftFiles` would free, as the file system
// tells them now: each file counted once, however often it is named, and only
// when every name it has is among them (a hard link on the right side, or
// anywhere else, keeps its bytes); a symbolic link frees nothing of the file it
// names, a file that is gone nothing at all. It asks the file system about
// every name, so a window runs it off its own thread.
std::uint64_t LeftListBytes(const std::vector<std::string>& leftFiles);

}  // namespace mv
