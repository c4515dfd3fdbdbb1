#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "poll_store.h"
#include "support/core/private_postgres.h"
#include "support/core/temp_tree.h"

// The back ends every store test runs on. PostgreSQL is started once per test
// program, each test getting a database of its own.
namespace mv::test {

inline PrivatePostgres& SharedPostgres(std::string& problem) {
    static PrivatePostgres pg;
    static const std::string why = pg.Start();
    problem = why;
    return pg;
}

// The database string of a fresh store of `backend`, or empty after calling
// GTEST_SKIP / ADD_FAILURE (see the macro below).
inline std::string FreshStore(const std::string& backend, const TempTree& tree,
                              std::string& skipNote) {
    if (backend == "sqlite") return tree.Path("poll.db");
    std::string problem;
    PrivatePostgres& pg = SharedPostgres(problem);
    if (!problem.empty()) {
        skipNote = pg.Missing() ? "skipped: " + problem : "";
        if (!pg.Missing()) ADD_FAILURE() << "PostgreSQL: " << problem;
        return {};
    }
    static int counter = 0;
    const std::string url =
        pg.FreshDatabase("t" + std::to_string(getpid()) + "_" + std::to_string(++counter));
    if (url.empty()) ADD_FAILURE() << "cannot create a PostgreSQL database";
    return url;
}

}  // namespace mv::test

// Opens a fresh store of GetParam() into `db` (its database string), or skips.
#define MV_FRESH_STORE(db)                                                     \
    std::string skipNote_;                                                     \
    const std::string db = mv::test::FreshStore(GetParam(), tree_, skipNote_); \
    if (db.empty()) {                                                          \
        if (!skipNote_.empty()) GTEST_SKIP() << skipNote_;                     \
        return;                                                                \
    }
