#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "dupes/candidate_index.h"

// The word index of the Mp3 list kept between runs, so that a comparison
// against an unchanged list neither prepares its titles nor builds the index
// again. One file per percentage (the index depends on it) in the cache
// folder, holding the key of the lines it was built from: a header (magic,
// version, percentage, key, line count, the process's word hash, body size,
// body checksum) and the index's arrays. The key is a hash of the lines as
// the run took them, so any change to the list, by whatever program, makes
// the file stale; a file that is stale, damaged, truncated or of another
// layout is never used, and the caller builds the index and writes it anew.
namespace mv {

struct ListKey {
    uint64_t low = 0;
    uint64_t high = 0;
    bool operator==(const ListKey&) const = default;
};

// XXH3-128 of the lines, each followed by a line feed (no line holds one).
ListKey KeyOfLines(const std::vector<std::string>& lines);

// $XDG_CACHE_HOME/mp3vandrel, beside the facts cache.
std::filesystem::path DefaultListIndexFolder();

// The index file for one percentage in `folder`.
std::filesystem::path ListIndexFile(const std::filesystem::path& folder, int percent);

// The index in `file` when it was written for these lines (key and count) at
// this percentage and is whole; nullptr otherwise (also when there is none).
std::unique_ptr<CandidateIndex> ReadListIndex(const std::filesystem::path& file, const ListKey& key,
                                              size_t lineCount, int percent);
// The same over the file's bytes.
std::unique_ptr<CandidateIndex> ReadListIndexBytes(std::span<const char> bytes, const ListKey& key,
                                                   size_t lineCount, int percent);

// The file's bytes for an index of these lines; empty when the index cannot
// be kept (not a word index).
std::string ListIndexBytes(const CandidateIndex& index, const ListKey& key, size_t lineCount,
                           int percent);

// Writes the index to a temporary file beside `file` and renames it into
// place, making the folder when needed. An index larger than `sizeLimit`
// bytes is not kept. False when nothing was written; the run goes on without.
bool WriteListIndex(const std::filesystem::path& file, const CandidateIndex& index,
                    const ListKey& key, size_t lineCount, int percent, uint64_t sizeLimit);

}  // namespace mv
