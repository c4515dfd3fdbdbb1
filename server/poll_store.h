#pragma once

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "net/poll_wire.h"

// Where the poll lives. The newest poll is the current question; every poll
// keeps its options in order with their vote counts. Implementations are safe
// to call from the server's request threads at once.
namespace mv {

// A storage failure (cannot open, lost connection, a refused statement).
class StoreError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct VoteOutcome {
    bool counted = false;
    bool noPoll = false;  // there is no question at all
    std::string option;   // counted: the option's text
};

using PollCounts = std::vector<std::pair<std::string, long long>>;

class PollStore {
  public:
    virtual ~PollStore() = default;
    // Adds a poll that becomes the current question.
    virtual void CreatePoll(const PollQuestion& poll) = 0;
    virtual std::optional<PollQuestion> CurrentPoll() = 0;
    // Every question, oldest first (the order of GetQList).
    virtual std::vector<std::string> Questions() = 0;
    // Question `questionNo` (from 1, in the order of Questions()); nullopt when
    // there is no such question.
    virtual std::optional<PollCounts> Results(long long questionNo) = 0;
    // One vote for option `option` (from 1) of the current question, counted
    // only when that question has the option; atomic against concurrent votes
    // and a concurrent CreatePoll.
    virtual VoteOutcome Vote(long long option) = 0;
};

// "postgresql://..." or "postgres://..." opens PostgreSQL; anything else is the
// path of a SQLite file, created when missing. Throws StoreError.
std::unique_ptr<PollStore> OpenPollStore(const std::string& database);

std::unique_ptr<PollStore> OpenSqliteStore(const std::string& file);
std::unique_ptr<PollStore> OpenPostgresStore(const std::string& url, int connections = 4);

}  // namespace mv
