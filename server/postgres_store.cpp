// The shared back end: PostgreSQL through libpq, for a site that runs several
// servers on one database. Each server keeps a few connections in a pool; a
// connection that broke is reset before its next use.
#include <libpq-fe.h>
#include <poll.h>

#include <condition_variable>
#include <mutex>

#include "poll_store.h"

namespace mv {

namespace {

// One result, cleared on every path.
class Result {
  public:
    explicit Result(PGresult* r) : r_(r) {}
    ~Result() { PQclear(r_); }
    Result(const Result&) = delete;
    Result& operator=(const Result&) = delete;
    int Rows() const { return PQntuples(r_); }
    std::string Text(int row, int column) const {
        return std::string(PQgetvalue(r_, row, column),
                           static_cast<size_t>(PQgetlength(r_, row, column)));
    }
    long long Int(int row, int column) const { return std::stoll(Text(row, column)); }
    bool IsNull(int row, int column) const { return PQgetisnull(r_, row, column) != 0; }

  private:
    PGresult* r_;
};

class Connection {
  public:
    explicit Connection(const std::string& url) : conn_(PQconnectdb(url.c_str())) {
        if (PQstatus(conn_) != CONNECTION_OK) {
            const std::string why = PQerrorMessage(conn_);
            PQfinish(conn_);
            throw StoreError("cannot connect to PostgreSQL: " + why);
        }
        // "relation already exists, skipping" and the like are not for our log.
        PQsetNoticeProcessor(
            conn_, [](void*, const char*) {}, nullptr);
    }
    ~Connection() { PQfinish(conn_); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // A connection the database server ended still reads as good until it
    // is used. Between our requests an idle connection has nothing to read,
    // so anything there (the server's farewell, the closed socket) means it
    // is gone; at worst a sound one is made again.
    void ResetIfBroken() {
        pollfd idle{PQsocket(conn_), POLLIN, 0};
        if (PQstatus(conn_) != CONNECTION_OK || idle.fd < 0 || ::poll(&idle, 1, 0) != 0)
            PQreset(conn_);
    }

    // Runs `sql` with text parameters; throws on anything but a good result.
    Result Run(const char* sql, const std::vector<std::string>& params = {}) {
        std::vector<const char*> values;
        std::vector<int> lengths;
        for (const auto& p : params) {
            values.push_back(p.c_str());
            lengths.push_back(static_cast<int>(p.size()));
        }
        PGresult* r = PQexecParams(conn_, sql, static_cast<int>(params.size()), nullptr,
                                   values.data(), lengths.data(), nullptr, 0);
        const auto status = PQresultStatus(r);
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
            const std::string why = PQresultErrorMessage(r);
            PQclear(r);
            throw StoreError("PostgreSQL: " + why);
        }
        return Result(r);
    }

  private:
    PGconn* conn_;
};

class PostgresStore : public PollStore {
  public:
    PostgresStore(const std::string& url, int connections) {
        for (int i = 0; i < connections; ++i) idle_.push_back(std::make_unique<Connection>(url));
        auto lease = Take();
        Connection& c = *lease.conn;
        // Several servers may start at once: the lock keeps their CREATEs apart.
        c.Run("BEGIN");
        try {
            c.Run("SELECT pg_advisory_xact_lock(7152)");
            c.Run(
                "CREATE TABLE IF NOT EXISTS polls (id BIGSERIAL PRIMARY KEY, question TEXT NOT "
                "NULL)");
            c.Run(
                "CREATE TABLE IF NOT EXISTS options (poll_id BIGINT NOT NULL REFERENCES "
                "polls(id), position INTEGER NOT NULL, text TEXT NOT NULL, votes BIGINT NOT "
                "NULL DEFAULT 0, PRIMARY KEY (poll_id, position))");
            c.Run("COMMIT");
        } catch (...) {
            Rollback(c);
            throw;
        }
    }

    void CreatePoll(const PollQuestion& poll) override {
        auto lease = Take();
        Connection& c = *lease.conn;
        c.Run("BEGIN");
        try {
            const Result id =
                c.Run("INSERT INTO polls (question) VALUES ($1) RETURNING id", {poll.question});
            for (size_t i = 0; i < poll.options.size(); ++i)
                c.Run("INSERT INTO options (poll_id, position, text) VALUES ($1, $2, $3)",
                      {id.Text(0, 0), std::to_string(i + 1), poll.options[i]});
            c.Run("COMMIT");
        } catch (...) {
            Rollback(c);
            throw;
        }
    }

    std::optional<PollQuestion> CurrentPoll() override {
        auto lease = Take();
        // One statement, so a poll created in between cannot mix two questions.
        const Result r = lease.conn->Run(
            "SELECT p.question, o.text FROM (SELECT id, question FROM polls ORDER BY id DESC "
            "LIMIT 1) p LEFT JOIN options o ON o.poll_id = p.id ORDER BY o.position");
        if (r.Rows() == 0) return std::nullopt;
        PollQuestion current{r.Text(0, 0), {}};
        // A poll without options gives one row with no option.
        for (int i = 0; i < r.Rows(); ++i)
            if (!r.IsNull(i, 1)) current.options.push_back(r.Text(i, 1));
        return current;
    }

    std::vector<std::string> Questions() override {
        auto lease = Take();
        const Result r = lease.conn->Run("SELECT question FROM polls ORDER BY id");
        std::vector<std::string> questions;
        for (int i = 0; i < r.Rows(); ++i) questions.push_back(r.Text(i, 0));
        return questions;
    }

    std::optional<PollCounts> Results(long long questionNo) override {
        if (questionNo < 1) return std::nullopt;
        auto lease = Take();
        const Result r = lease.conn->Run(
            "SELECT o.text, o.votes FROM (SELECT id FROM polls ORDER BY id LIMIT 1 OFFSET $1) p "
            "LEFT JOIN options o ON o.poll_id = p.id ORDER BY o.position",
            {std::to_string(questionNo - 1)});
        if (r.Rows() == 0) return std::nullopt;
        PollCounts counts;
        for (int i = 0; i < r.Rows(); ++i)
            if (!r.IsNull(i, 0)) counts.emplace_back(r.Text(i, 0), r.Int(i, 1));
        return counts;
    }

    VoteOutcome Vote(long long option) override {
        auto lease = Take();
        VoteOutcome outcome;
        const Result r = lease.conn->Run(
            "UPDATE options SET votes = votes + 1 WHERE poll_id = (SELECT max(id) FROM polls) "
            "AND position = $1 RETURNING text",
            {std::to_string(option)});
        if (r.Rows() == 1) {
            outcome.counted = true;
            outcome.option = r.Text(0, 0);
            return outcome;
        }
        outcome.noPoll = lease.conn->Run("SELECT 1 FROM polls LIMIT 1").Rows() == 0;
        return outcome;
    }

  private:
    // A connection taken from the pool, given back on every path.
    struct Lease {
        PostgresStore* store;
        std::unique_ptr<Connection> conn;
        Lease(PostgresStore* s, std::unique_ptr<Connection> c) : store(s), conn(std::move(c)) {}
        Lease(Lease&&) = default;
        ~Lease() {
            if (conn) store->Give(std::move(conn));
        }
    };

    Lease Take() {
        std::unique_lock lock(mutex_);
        available_.wait(lock, [this] { return !idle_.empty(); });
        auto conn = std::move(idle_.back());
        idle_.pop_back();
        lock.unlock();
        conn->ResetIfBroken();
        return Lease(this, std::move(conn));
    }
    void Give(std::unique_ptr<Connection> conn) {
        {
            std::lock_guard lock(mutex_);
            idle_.push_back(std::move(conn));
        }
        available_.notify_one();
    }
    static void Rollback(Connection& c) {
        try {
            c.Run("ROLLBACK");
        } catch (const StoreError&) {
            // The connection broke; it is reset before its next use.
        }
    }

    std::mutex mutex_;  // guards idle_; request threads take and give connections
    std::condition_variable available_;
    std::vector<std::unique_ptr<Connection>> idle_;
};

}  // namespace

std::unique_ptr<PollStore> OpenPostgresStore(const std::string& url, int connections) {
    return std::make_unique<PostgresStore>(url, connections);
}

}  // namespace mv
