// The embedded back end: one SQLite file in WAL mode, so the administration
// commands can write while a server reads. One connection behind a mutex: a
// vote is a few microseconds, far below the cost of the HTTP around it.
#include <sqlite3.h>

#include <mutex>

#include "poll_store.h"

namespace mv {

namespace {

class Statement {
  public:
    Statement(sqlite3* db, const char* sql) : db_(db) {
        if (sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) != SQLITE_OK)
            throw StoreError(std::string("SQLite: ") + sqlite3_errmsg(db));
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void Bind(int index, long long value) { sqlite3_bind_int64(stmt_, index, value); }
    void Bind(int index, const std::string& text) {
        sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()),
                          SQLITE_TRANSIENT);
    }
    // True while a row is there.
    bool Step() {
        const int rc = sqlite3_step(stmt_);
        if (rc == SQLITE_ROW) return true;
        if (rc == SQLITE_DONE) return false;
        throw StoreError(std::string("SQLite: ") + sqlite3_errmsg(db_));
    }
    long long Int(int column) { return sqlite3_column_int64(stmt_, column); }
    std::string Text(int column) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
        return text ? std::string(text, static_cast<size_t>(sqlite3_column_bytes(stmt_, column)))
                    : std::string();
    }

  private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

class SqliteStore : public PollStore {
  public:
    explicit SqliteStore(const std::string& file) {
        const int rc = sqlite3_open_v2(
            file.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
            nullptr);
        if (rc != SQLITE_OK) {
            const std::string why = db_ ? sqlite3_errmsg(db_) : "out of memory";
            sqlite3_close(db_);
            throw StoreError("cannot open " + file + ": " + why);
        }
        // Another process (the administration commands) may hold the lock for
        // a moment.
        sqlite3_busy_timeout(db_, 5000);
        try {
            Exec("PRAGMA journal_mode=WAL");
            // In WAL mode this stays consistent after a crash; a power cut may lose
            // the last votes, not the file.
            Exec("PRAGMA synchronous=NORMAL");
            Exec("PRAGMA foreign_keys=ON");
            Exec(
                "CREATE TABLE IF NOT EXISTS polls (id INTEGER PRIMARY KEY AUTOINCREMENT, "
                "question TEXT NOT NULL)");
            Exec(
                "CREATE TABLE IF NOT EXISTS options (poll_id INTEGER NOT NULL REFERENCES "
                "polls(id), position INTEGER NOT NULL, text TEXT NOT NULL, votes INTEGER NOT "
                "NULL DEFAULT 0, PRIMARY KEY (poll_id, position))");
        } catch (...) {
            sqlite3_close(db_);
            throw;
        }
    }
    ~SqliteStore() override { sqlite3_close(db_); }

    void CreatePoll(const PollQuestion& poll) override {
        std::lock_guard lock(mutex_);
        Exec("BEGIN IMMEDIATE");
        try {
            Statement insert(db_, "INSERT INTO polls (question) VALUES (?)");
            insert.Bind(1, poll.question);
            insert.Step();
            const long long id = sqlite3_last_insert_rowid(db_);
            for (size_t i = 0; i < poll.options.size(); ++i) {
                Statement option(db_,
                                 "INSERT INTO options (poll_id, position, text) VALUES (?, ?, ?)");
                option.Bind(1, id);
                option.Bind(2, static_cast<long long>(i + 1));
                option.Bind(3, poll.options[i]);
                option.Step();
            }
            Exec("COMMIT");
        } catch (...) {
            Exec("ROLLBACK");
            throw;
        }
    }

    std::optional<PollQuestion> CurrentPoll() override {
        std::lock_guard lock(mutex_);
        Statement poll(db_, "SELECT id, question FROM polls ORDER BY id DESC LIMIT 1");
        if (!poll.Step()) return std::nullopt;
        PollQuestion current{poll.Text(1), {}};
        Statement options(db_, "SELECT text FROM options WHERE poll_id = ? ORDER BY position");
        options.Bind(1, poll.Int(0));
        while (options.Step()) current.options.push_back(options.Text(0));
        return current;
    }

    std::vector<std::string> Questions() override {
        std::lock_guard lock(mutex_);
        std::vector<std::string> questions;
        Statement all(db_, "SELECT question FROM polls ORDER BY id");
        while (all.Step()) questions.push_back(all.Text(0));
        return questions;
    }

    std::optional<PollCounts> Results(long long questionNo) override {
        std::lock_guard lock(mutex_);
        Statement poll(db_, "SELECT id FROM polls ORDER BY id LIMIT 1 OFFSET ?");
        poll.Bind(1, questionNo - 1);
        if (questionNo < 1 || !poll.Step()) return std::nullopt;
        PollCounts counts;
        Statement options(db_,
                          "SELECT text, votes FROM options WHERE poll_id = ? ORDER BY position");
        options.Bind(1, poll.Int(0));
        while (options.Step()) counts.emplace_back(options.Text(0), options.Int(1));
        return counts;
    }

    VoteOutcome Vote(long long option) override {
        std::lock_guard lock(mutex_);
        VoteOutcome outcome;
        // One statement: the current question is the one the vote lands on,
        // even when a new poll is created at the same moment.
        Statement vote(db_,
                       "UPDATE options SET votes = votes + 1 WHERE poll_id = (SELECT max(id) FROM "
                       "polls) AND position = ? RETURNING text");
        vote.Bind(1, option);
        if (vote.Step()) {
            outcome.counted = true;
            outcome.option = vote.Text(0);
            while (vote.Step()) {
            }
            return outcome;
        }
        Statement any(db_, "SELECT 1 FROM polls LIMIT 1");
        outcome.noPoll = !any.Step();
        return outcome;
    }

  private:
    void Exec(const char* sql) {
        char* error = nullptr;
        if (sqlite3_exec(db_, sql, nullptr, nullptr, &error) != SQLITE_OK) {
            std::string why = error ? error : "unknown error";
            sqlite3_free(error);
            throw StoreError("SQLite: " + why);
        }
    }

    std::mutex mutex_;  // guards db_; taken by every request thread
    sqlite3* db_ = nullptr;
};

}  // namespace

std::unique_ptr<PollStore> OpenSqliteStore(const std::string& file) {
    return std::make_unique<SqliteStore>(file);
}

}  // namespace mv
