#include "media/facts_cache.h"

#include <sqlite3.h>

#include <cstring>
#include <system_error>

#include "platform/file_ops.h"

namespace mv {

namespace {

// Raised whenever the columns or their meaning change: an older file is then
// dropped and made again rather than misread.
// Version 2 added the prints table.
constexpr int kSchemaVersion = 2;

constexpr char kSchema[] =
    "CREATE TABLE facts(path BLOB PRIMARY KEY NOT NULL, inode INTEGER NOT NULL,"
    " size INTEGER NOT NULL, mtime_ns INTEGER NOT NULL, status INTEGER NOT NULL,"
    " problem TEXT NOT NULL, duration_ms INTEGER NOT NULL, bitrate INTEGER NOT NULL,"
    " vbr INTEGER NOT NULL, sample_rate INTEGER NOT NULL, channels INTEGER NOT NULL,"
    " tags INTEGER NOT NULL, audio_offset INTEGER NOT NULL, audio_length INTEGER NOT NULL,"
    " hash BLOB) WITHOUT ROWID;"
    "CREATE TABLE prints(path BLOB PRIMARY KEY NOT NULL, inode INTEGER NOT NULL,"
    " size INTEGER NOT NULL, mtime_ns INTEGER NOT NULL, status INTEGER NOT NULL,"
    " duration_ms INTEGER NOT NULL, items BLOB NOT NULL) WITHOUT ROWID;"
    "PRAGMA user_version = 2;";

constexpr char kColumns[] =
    "inode, size, mtime_ns, status, problem, duration_ms, bitrate, vbr, sample_rate,"
    " channels, tags, audio_offset, audio_length, hash";

constexpr char kPrintColumns[] = "inode, size, mtime_ns, status, duration_ms, items";

enum TagBits { kId3v1 = 1, kId3v2 = 2, kApe = 4 };

std::int64_t Signed(std::uint64_t value) {
    return static_cast<std::int64_t>(value);
}

bool Exec(sqlite3* db, const char* sql) {
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

int UserVersion(sqlite3* db) {
    sqlite3_stmt* stmt = nullptr;
    int version = -1;
    if (sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW) {
        version = sqlite3_column_int(stmt, 0);
    }
    sqlite3_finalize(stmt);
    return version;
}

// Whether the file is this cache: readable as a database, of this version,
// with the table the queries expect (an empty new file gets the table here).
bool MakeOrCheckSchema(sqlite3* db) {
    const int version = UserVersion(db);
    if (version == 0) {
        sqlite3_stmt* stmt = nullptr;
        const bool empty = sqlite3_prepare_v2(db, "SELECT count(*) FROM sqlite_master", -1, &stmt,
                                              nullptr) == SQLITE_OK &&
                           sqlite3_step(stmt) == SQLITE_ROW && sqlite3_column_int(stmt, 0) == 0;
        sqlite3_finalize(stmt);
        return empty && Exec(db, kSchema);
    }
    if (version != kSchemaVersion) return false;
    const std::string probe = std::string("SELECT path, ") + kColumns + " FROM facts LIMIT 0;" +
                              "SELECT path, " + kPrintColumns + " FROM prints LIMIT 0";
    return Exec(db, probe.c_str());
}

void Bind(sqlite3_stmt* stmt, const CacheEntry& entry) {
    const MediaFacts& f = entry.facts;
    sqlite3_bind_blob(stmt, 1, entry.path.data(), static_cast<int>(entry.path.size()),
                      SQLITE_STATIC);
    sqlite3_bind_int64(stmt, 2, Signed(entry.key.inode));
    sqlite3_bind_int64(stmt, 3, Signed(entry.key.size));
    sqlite3_bind_int64(stmt, 4, entry.key.mtimeNs);
    sqlite3_bind_int(stmt, 5, static_cast<int>(f.status));
    sqlite3_bind_text(stmt, 6, f.problem.c_str(), -1, SQLITE_STATIC);
    sqlite3_bind_int64(stmt, 7, f.durationMs);
    sqlite3_bind_int(stmt, 8, f.bitrateKbps);
    sqlite3_bind_int(stmt, 9, f.vbr ? 1 : 0);
    sqlite3_bind_int(stmt, 10, f.sampleRate);
    sqlite3_bind_int(stmt, 11, f.channels);
    sqlite3_bind_int(stmt, 12,
                     (f.id3v1 ? kId3v1 : 0) | (f.id3v2 ? kId3v2 : 0) | (f.ape ? kApe : 0));
    sqlite3_bind_int64(stmt, 13, Signed(f.audioOffset));
    sqlite3_bind_int64(stmt, 14, Signed(f.audioLength));
    if (f.audioHash) {
        unsigned char bytes[16];
        for (int i = 0; i < 8; ++i) {
            bytes[i] = static_cast<unsigned char>(f.audioHash->high >> (56 - 8 * i));
            bytes[8 + i] = static_cast<unsigned char>(f.audioHash->low >> (56 - 8 * i));
        }
        sqlite3_bind_blob(stmt, 15, bytes, 16, SQLITE_TRANSIENT);
    } else {
        sqlite3_bind_null(stmt, 15);
    }
}

MediaFacts ReadRow(sqlite3_stmt* stmt) {
    MediaFacts f;
    const int status = sqlite3_column_int(stmt, 3);
    f.status = status == static_cast<int>(FactsStatus::Audio) ? FactsStatus::Audio
                                                              : FactsStatus::NotMpegAudio;
    f.size = static_cast<std::uint64_t>(sqlite3_column_int64(stmt, 1));
    const auto* problem = sqlite3_column_text(stmt, 4);
    f.problem = problem != nullptr ? reinterpret_cast<const char*>(problem) : "";
    f.durationMs = sqlite3_column_int64(stmt, 5);
    f.bitrateKbps = sqlite3_column_int(stmt, 6);
    f.vbr = sqlite3_column_int(stmt, 7) != 0;
    f.sampleRate = sqlite3_column_int(stmt, 8);
    f.channels = sqlite3_column_int(stmt, 9);
    const int tags = sqlite3_column_int(stmt, 10);
    f.id3v1 = (tags & kId3v1) != 0;
    f.id3v2 = (tags & kId3v2) != 0;
    f.ape = (tags & kApe) != 0;
    f.audioOffset = static_cast<std::uint64_t>(sqlite3_column_int64(stmt, 11));
    f.audioLength = static_cast<std::uint64_t>(sqlite3_column_int64(stmt, 12));
    if (sqlite3_column_bytes(stmt, 13) == 16 && f.status == FactsStatus::Audio) {
        const auto* bytes = static_cast<const unsigned char*>(sqlite3_column_blob(stmt, 13));
        AudioHash hash;
        for (int i = 0; i < 8; ++i) {
            hash.high = (hash.high << 8) | bytes[i];
            hash.low = (hash.low << 8) | bytes[8 + i];
        }
        f.audioHash = hash;
    }
    return f;
}

bool KeyMatches(sqlite3_stmt* stmt, const FileKey& key) {
    return static_cast<std::uint64_t>(sqlite3_column_int64(stmt, 0)) == key.inode &&
           static_cast<std::uint64_t>(sqlite3_column_int64(stmt, 1)) == key.size &&
           sqlite3_column_int64(stmt, 2) == key.mtimeNs;
}

// Items as little-endian bytes, four each, whatever the machine's order.
std::string PrintBytes(const std::vector<std::uint32_t>& items) {
    std::string bytes(items.size() * 4, '\0');
    for (std::size_t i = 0; i < items.size(); ++i) {
        for (int b = 0; b < 4; ++b) bytes[4 * i + b] = static_cast<char>(items[i] >> (8 * b));
    }
    return bytes;
}

// A stored print; a blob that is not whole items is read as no print at all.
std::optional<SoundPrint> ReadPrint(sqlite3_stmt* stmt) {
    const int size = sqlite3_column_bytes(stmt, 5);
    const auto* bytes = static_cast<const unsigned char*>(sqlite3_column_blob(stmt, 5));
    if (size % 4 != 0 || (size > 0 && bytes == nullptr)) return std::nullopt;
    SoundPrint print;
    print.durationMs = sqlite3_column_int64(stmt, 4);
    print.items.resize(static_cast<std::size_t>(size / 4));
    for (std::size_t i = 0; i < print.items.size(); ++i) {
        std::uint32_t v = 0;
        for (int b = 3; b >= 0; --b) v = (v << 8) | bytes[4 * i + b];
        print.items[i] = v;
    }
    return print;
}

// The cache is the program's own file, never a user's: it goes by the one
// removal meant for such files.
void RemoveCacheFiles(const std::filesystem::path& file) {
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
        RemoveOwnTemporaryFile(file.string() + suffix);
    }
}

}  // namespace

FactsCache::FactsCache(const std::filesystem::path& file) {
    // A second try after removing what was there: a damaged cache is only a
    // lost cache, never a reason to run without one.
    if (!Open(file)) {
        RemoveCacheFiles(file);
        Open(file);
    }
    if (db_ == nullptr) return;
    const std::string sql = std::string("SELECT ") + kColumns + " FROM facts WHERE path = ?";
    const std::string printSql =
        std::string("SELECT ") + kPrintColumns + " FROM prints WHERE path = ?";
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &lookup_, nullptr) != SQLITE_OK ||
        sqlite3_prepare_v2(db_, printSql.c_str(), -1, &printLookup_, nullptr) != SQLITE_OK) {
        Fail("cannot read the facts cache");
    }
}

FactsCache::~FactsCache() {
    sqlite3_finalize(lookup_);
    sqlite3_finalize(printLookup_);
    sqlite3_close(db_);
}

bool FactsCache::Fail(const std::string& what) {
    problem_ = what + (db_ != nullptr ? std::string(": ") + sqlite3_errmsg(db_) : "");
    sqlite3_finalize(lookup_);
    lookup_ = nullptr;
    sqlite3_finalize(printLookup_);
    printLookup_ = nullptr;
    sqlite3_close(db_);
    db_ = nullptr;
    return false;
}

bool FactsCache::Open(const std::filesystem::path& file) {
    std::error_code ec;
    if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), ec);
    if (ec) {
        problem_ = "cannot make the folder " + file.parent_path().string() + ": " + ec.message();
        return true;  // nothing there to remove and try again
    }
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
    if (sqlite3_open_v2(file.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
        // Cannot open or make it at all (a read-only place): removing would not help.
        Fail("cannot open the facts cache " + file.string());
        return true;
    }
    sqlite3_busy_timeout(db_, 2000);
    if (!MakeOrCheckSchema(db_)) return Fail("the facts cache " + file.string() + " was damaged");
    // WAL: a batch's stores are one transaction, and readers in other
    // processes are not blocked meanwhile.
    Exec(db_, "PRAGMA journal_mode = WAL");
    Exec(db_, "PRAGMA synchronous = NORMAL");
    problem_.clear();
    return true;
}

std::optional<MediaFacts> FactsCache::Lookup(const std::string& path, const FileKey& key) {
    if (lookup_ == nullptr) return std::nullopt;
    sqlite3_reset(lookup_);
    sqlite3_bind_blob(lookup_, 1, path.data(), static_cast<int>(path.size()), SQLITE_STATIC);
    std::optional<MediaFacts> found;
    if (sqlite3_step(lookup_) == SQLITE_ROW &&
        static_cast<std::uint64_t>(sqlite3_column_int64(lookup_, 0)) == key.inode &&
        static_cast<std::uint64_t>(sqlite3_column_int64(lookup_, 1)) == key.size &&
        sqlite3_column_int64(lookup_, 2) == key.mtimeNs) {
        found = ReadRow(lookup_);
    }
    sqlite3_reset(lookup_);
    sqlite3_clear_bindings(lookup_);
    return found;
}

bool FactsCache::Store(const std::vector<CacheEntry>& entries) {
    if (db_ == nullptr) return false;
    if (entries.empty()) return true;
    const std::string sql = std::string("INSERT OR REPLACE INTO facts(path, ") + kColumns +
                            ") VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)";
    sqlite3_stmt* stmt = nullptr;
    bool ok = Exec(db_, "BEGIN IMMEDIATE") &&
              sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK;
    for (std::size_t i = 0; ok && i < entries.size(); ++i) {
        if (entries[i].facts.status == FactsStatus::Unreadable) continue;
        Bind(stmt, entries[i]);
        ok = sqlite3_step(stmt) == SQLITE_DONE;
        sqlite3_reset(stmt);
        sqlite3_clear_bindings(stmt);
    }
    sqlite3_finalize(stmt);
    if (ok && Exec(db_, "COMMIT")) return true;
    problem_ = std::string("cannot write the facts cache: ") + sqlite3_errmsg(db_);
    Exec(db_, "ROLLBACK");
    return false;
}

std::optional<SoundPrint> FactsCache::LookupPrint(const std::string& path, const FileKey& key) {
    if (printLookup_ == nullptr) return std::nullopt;
    sqlite3_stmt* stmt = printLookup_;
    sqlite3_reset(stmt);
    sqlite3_bind_blob(stmt, 1, path.data(), static_cast<int>(path.size()), SQLITE_STATIC);
    std::optional<SoundPrint> found;
    if (sqlite3_step(stmt) == SQLITE_ROW && KeyMatches(stmt, key) &&
        sqlite3_column_int(stmt, 3) == static_cast<int>(SoundPrintStatus::Printed)) {
        found = ReadPrint(stmt);
    }
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
    return found;
}

bool FactsCache::StorePrints(const std::vector<PrintEntry>& entries) {
    if (db_ == nullptr) return false;
    if (entries.empty()) return true;
    const std::string sql = std::string("INSERT OR REPLACE INTO prints(path, ") + kPrintColumns +
                            ") VALUES(?,?,?,?,?,?,?)";
    sqlite3_stmt* stmt = nullptr;
    bool ok = Exec(db_, "BEGIN IMMEDIATE") &&
              sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK;
    std::string bytes;
    for (std::size_t i = 0; ok && i < entries.size(); ++i) {
        const PrintEntry& entry = entries[i];
        sqlite3_bind_blob(stmt, 1, entry.path.data(), static_cast<int>(entry.path.size()),
                          SQLITE_STATIC);
        sqlite3_bind_int64(stmt, 2, Signed(entry.key.inode));
        sqlite3_bind_int64(stmt, 3, Signed(entry.key.size));
        sqlite3_bind_int64(stmt, 4, entry.key.mtimeNs);
        sqlite3_bind_int(stmt, 5, static_cast<int>(SoundPrintStatus::Printed));
        sqlite3_bind_int64(stmt, 6, entry.print.durationMs);
        bytes = PrintBytes(entry.print.items);
        sqlite3_bind_blob(stmt, 7, bytes.data(), static_cast<int>(bytes.size()), SQLITE_STATIC);
        ok = sqlite3_step(stmt) == SQLITE_DONE;
        sqlite3_reset(stmt);
        sqlite3_clear_bindings(stmt);
    }
    sqlite3_finalize(stmt);
    if (ok && Exec(db_, "COMMIT")) return true;
    problem_ = std::string("cannot write the prints to the facts cache: ") + sqlite3_errmsg(db_);
    Exec(db_, "ROLLBACK");
    return false;
}

}  // namespace mv
