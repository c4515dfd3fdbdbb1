// The same store tests on SQLite and on a private PostgreSQL: a differential
// run against a plain model, concurrent votes, byte-exact texts, reopening.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <map>
#include <random>
#include <thread>

#include "store_backends.h"

namespace {

using mv::PollQuestion;

class PollStoreTest : public ::testing::TestWithParam<std::string> {
  protected:
    mv::test::TempTree tree_;
};

// What the store must behave like.
struct ModelPoll {
    PollQuestion poll;
    std::vector<long long> votes;
};

TEST_P(PollStoreTest, EmptyStoreHasNoQuestionAndCountsNoVote) {
    MV_FRESH_STORE(db);
    auto store = mv::OpenPollStore(db);
    EXPECT_FALSE(store->CurrentPoll());
    EXPECT_TRUE(store->Questions().empty());
    EXPECT_FALSE(store->Results(1));
    const auto vote = store->Vote(1);
    EXPECT_FALSE(vote.counted);
    EXPECT_TRUE(vote.noPoll);
}

TEST_P(PollStoreTest, AgreesWithPlainModelOverRandomOperations) {
    MV_FRESH_STORE(db);
    auto store = mv::OpenPollStore(db);
    std::vector<ModelPoll> model;
    std::mt19937 rng(12);
    for (int step = 0; step < 300; ++step) {
        const int op = static_cast<int>(rng() % 10);
        if (op == 0 || model.empty()) {
            PollQuestion poll{"Question " + std::to_string(step), {}};
            const size_t n = 1 + rng() % mv::kMaxPollOptions;
            for (size_t i = 0; i < n; ++i) poll.options.push_back("opt" + std::to_string(i));
            store->CreatePoll(poll);
            model.push_back({poll, std::vector<long long>(n, 0)});
        } else if (op < 8) {
            // Options 0 and beyond the last one must not count.
            const long long option = static_cast<long long>(rng() % 12);
            const auto outcome = store->Vote(option);
            ModelPoll& current = model.back();
            const bool valid =
                option >= 1 && option <= static_cast<long long>(current.votes.size());
            ASSERT_EQ(outcome.counted, valid) << "step " << step << " option " << option;
            EXPECT_FALSE(outcome.noPoll);
            if (valid) {
                ++current.votes[static_cast<size_t>(option - 1)];
                EXPECT_EQ(outcome.option, current.poll.options[static_cast<size_t>(option - 1)]);
            }
        } else {
            const long long k = static_cast<long long>(rng() % (model.size() + 2));
            const auto results = store->Results(k);
            if (k < 1 || k > static_cast<long long>(model.size())) {
                EXPECT_FALSE(results) << "question " << k;
                continue;
            }
            ASSERT_TRUE(results) << "question " << k;
            const ModelPoll& expected = model[static_cast<size_t>(k - 1)];
            ASSERT_EQ(results->size(), expected.votes.size());
            for (size_t i = 0; i < expected.votes.size(); ++i) {
                EXPECT_EQ((*results)[i].first, expected.poll.options[i]);
                EXPECT_EQ((*results)[i].second, expected.votes[i]) << "question " << k;
            }
        }
    }
    std::vector<std::string> questions;
    for (const auto& m : model) questions.push_back(m.poll.question);
    EXPECT_EQ(store->Questions(), questions);
    ASSERT_TRUE(store->CurrentPoll());
    EXPECT_EQ(store->CurrentPoll()->options, model.back().poll.options);
}

TEST_P(PollStoreTest, ConcurrentVotesAreAllCountedOnTheQuestionCurrentAtTheTime) {
    MV_FRESH_STORE(db);
    auto store = mv::OpenPollStore(db);
    store->CreatePoll({"First", {"a", "b", "c"}});
    constexpr int kThreads = 8, kVotes = 60;
    std::atomic<int> counted{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kVotes; ++i) {
                if (store->Vote(1 + (t + i) % 3).counted) ++counted;
                // A new question while votes arrive: each vote lands on one.
                if (t == 0 && i == kVotes / 2) store->CreatePoll({"Second", {"x", "y", "z"}});
            }
        });
    }
    for (auto& t : threads) t.join();
    EXPECT_EQ(counted.load(), kThreads * kVotes);
    long long total = 0;
    for (long long k = 1; k <= 2; ++k) {
        const auto results = store->Results(k);
        ASSERT_TRUE(results);
        for (const auto& [option, votes] : *results) total += votes;
    }
    EXPECT_EQ(total, kThreads * kVotes);
}

TEST_P(PollStoreTest, TextsComeBackByteForByteAfterReopening) {
    MV_FRESH_STORE(db);
    const PollQuestion poll{"Qu\xc3\xa9 m\xc3\xbasica?", {"Fado", "", "Bossa \"nova\" 'x'"}};
    mv::OpenPollStore(db)->CreatePoll(poll);
    auto reopened = mv::OpenPollStore(db);
    ASSERT_TRUE(reopened->CurrentPoll());
    EXPECT_EQ(reopened->CurrentPoll()->question, poll.question);
    EXPECT_EQ(reopened->CurrentPoll()->options, poll.options);
    EXPECT_TRUE(reopened->Vote(2).counted);
    EXPECT_EQ(reopened->Results(1)->at(1), (std::pair<std::string, long long>{"", 1}));
}

// Connections the database server ended (a restart, an administrator) are
// made again before their next use, so no request fails for them.
TEST_P(PollStoreTest, ConnectionsEndedByTheDatabaseServerAreMadeAgain) {
    if (GetParam() != "postgresql") GTEST_SKIP() << "only PostgreSQL has connections to lose";
    MV_FRESH_STORE(db);
    auto store = mv::OpenPollStore(db);
    store->CreatePoll({"Colour?", {"red"}});
    for (int i = 0; i < 8; ++i) EXPECT_TRUE(store->Vote(1).counted);  // every pooled connection

    PGconn* admin = PQconnectdb(db.c_str());
    ASSERT_EQ(PQstatus(admin), CONNECTION_OK);
    auto others = [&] {
        PGresult* r = PQexec(admin,
                             "SELECT count(*) FROM pg_stat_activity WHERE datname = "
                             "current_database() AND pid <> pg_backend_pid()");
        const int n = PQntuples(r) == 1 ? std::atoi(PQgetvalue(r, 0, 0)) : -1;
        PQclear(r);
        return n;
    };
    PQclear(PQexec(admin,
                   "SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname = "
                   "current_database() AND pid <> pg_backend_pid()"));
    for (int wait = 0; wait < 100 && others() != 0; ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_EQ(others(), 0);
    PQfinish(admin);

    for (int i = 0; i < 8; ++i) {
        try {
            EXPECT_TRUE(store->Vote(1).counted) << "vote " << i;
        } catch (const mv::StoreError& e) {
            ADD_FAILURE() << "vote " << i << ": " << e.what();
        }
    }
    EXPECT_EQ(store->Results(1)->at(0).second, 16);
}

INSTANTIATE_TEST_SUITE_P(Backends, PollStoreTest, ::testing::Values("sqlite", "postgresql"),
                         [](const auto& info) { return info.param; });

TEST(PollStoreOpen, BadDatabasesAreReportedAsStoreErrors) {
    EXPECT_THROW(mv::OpenPollStore(""), mv::StoreError);
    EXPECT_THROW(mv::OpenPollStore("/nonexistent-folder/poll.db"), mv::StoreError);
    EXPECT_THROW(mv::OpenPollStore("postgresql://nobody@127.0.0.1:1/none?connect_timeout=2"),
                 mv::StoreError);
}

}  // namespace
