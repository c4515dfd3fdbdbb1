#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <string>

#include "media/media_facts.h"

// What says a file is still the one whose facts were read: the facts cache
// trusts a stored fact only while all three are unchanged.
namespace mv {

struct FileKey {
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t mtimeNs = 0;
    friend bool operator==(const FileKey&, const FileKey&) = default;
};

inline FileKey FileKeyOf(const struct stat& st) {
    return FileKey{static_cast<std::uint64_t>(st.st_ino), static_cast<std::uint64_t>(st.st_size),
                   static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

// ReadMediaFacts, also giving the key of the very file read (taken from the
// open descriptor, so it names what was read even when the path was swapped
// meanwhile). `key` is left alone unless a regular file was opened; returns
// whether it was set.
MediaFacts ReadMediaFactsKeyed(const std::string& path, bool hashAudio, FileKey* key);

// Adds the hash to facts read before without hashing, reading only their
// audio range: false (facts left alone) unless `path` is still the file of
// `key` and its bytes could all be read.
bool HashKnownAudio(const std::string& path, const FileKey& key, MediaFacts& facts);

// The key of what `path` names now (links followed); false when nothing
// regular is there.
bool StatFileKey(const std::string& path, FileKey* key);

}  // namespace mv
