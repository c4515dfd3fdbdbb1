#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "media/file_key.h"
#include "media/media_facts.h"
#include "media/sound_print.h"

struct sqlite3;
struct sqlite3_stmt;

// The facts read before, in one SQLite file keyed by path (the path's bytes),
// so a second look at ten thousand files reads none of them. A stored fact
// counts only while the file's inode, size and modification time are all
// unchanged. The cache never makes a batch fail: a file that is not such a
// cache (damaged, another layout or version) is removed and made anew, and a
// place where no cache can be kept leaves it unusable with the cause in
// Problem(). One object belongs to one thread.
namespace mv {

struct CacheEntry {
    std::string path;
    FileKey key;
    MediaFacts facts;  // Audio or NotMpegAudio; an unreadable file is not kept
};

// A print kept beside the facts, under the same kind of key.
struct PrintEntry {
    std::string path;
    FileKey key;
    SoundPrint print;
};

class FactsCache {
  public:
    explicit FactsCache(const std::filesystem::path& file);
    ~FactsCache();
    FactsCache(const FactsCache&) = delete;
    FactsCache& operator=(const FactsCache&) = delete;

    bool Usable() const { return db_ != nullptr; }
    // Why the cache is not used (or why a store failed); empty when all is well.
    const std::string& Problem() const { return problem_; }

    // The stored facts of `path` when stored under this very key.
    std::optional<MediaFacts> Lookup(const std::string& path, const FileKey& key);
    // Stores (or replaces) every entry in one transaction; false with
    // Problem() set when they could not be written.
    bool Store(const std::vector<CacheEntry>& entries);

    // The same for acoustic prints, in a table of their own.
    std::optional<SoundPrint> LookupPrint(const std::string& path, const FileKey& key);
    bool StorePrints(const std::vector<PrintEntry>& entries);

  private:
    bool Open(const std::filesystem::path& file);
    bool Fail(const std::string& what);

    sqlite3* db_ = nullptr;
    sqlite3_stmt* lookup_ = nullptr;
    sqlite3_stmt* printLookup_ = nullptr;
    std::string problem_;
};

}  // namespace mv
