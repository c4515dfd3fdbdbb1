// mv-bench-server [--votes N] [--clients C] [--hostile H] [--sqlite-only]
// Starts the real mp3vandrel-server on each back end (a SQLite file; a
// private PostgreSQL in a temporary folder) and measures:
//   - N votes (default 1,000) from C concurrent clients (default 50), one
//     connection each, all of which must be counted, in requests per second;
//   - H malformed or hostile requests (default 10,000): bad paths, huge query
//     strings, bad numbers, broken request lines, oversized headers, wrong
//     methods and slow clients, each of which must get a 4xx answer, with the
//     server still serving and the count unchanged afterwards.
// Exits with 1 when any of that fails.
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "poll_store.h"
#include "support/core/private_postgres.h"
#include "support/core/raw_http.h"
#include "support/core/server_process.h"

namespace {

using mv::test::GetRequest;
using mv::test::RawExchange;
using mv::test::StatusOf;
using Clock = std::chrono::steady_clock;

struct Options {
    int votes = 1000;
    int clients = 50;
    int hostile = 10000;
    bool sqliteOnly = false;
};

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

// Runs `count` jobs over `clients` threads; job(i) returns true when it went right.
template <typename Job>
int RunConcurrently(int count, int clients, Job job) {
    std::atomic<int> next{0}, good{0};
    std::vector<std::thread> threads;
    for (int c = 0; c < clients; ++c) {
        threads.emplace_back([&] {
            for (int i; (i = next++) < count;)
                if (job(i)) ++good;
        });
    }
    for (auto& t : threads) t.join();
    return good.load();
}

// The hostile request number i and whether it is sent slowly.
std::string Hostile(int i, bool& slow) {
    // One in a hundred dribbles a short bad request in 5-byte pieces.
    slow = i % 100 == 7;
    if (slow) return GetRequest("/cgi-win/Votes.dll/Vote?Vote=slow" + std::to_string(i));
    switch (i % 12) {
        case 0:
            return GetRequest("/cgi-win/Votes.dll/Vote?Vote=" + std::to_string(-i));
        case 1:
            return GetRequest("/cgi-win/Votes.dll/Vote?Vote=0" + std::to_string(i));
        case 2:
            return GetRequest("/cgi-win/Votes.dll/Vote?Vote=" + std::string(30, '9'));
        case 3:
            return GetRequest("/cgi-win/Votes.dll/GetResults?QuestNo=x" + std::to_string(i));
        case 4:
            return GetRequest("/cgi-win/Votes.dll/Vote?Vote=1&Vote=2");
        case 5:
            return GetRequest("/cgi-win/Votes.dll/Vote?Vote=" + std::string(9000 + i % 7, '1'));
        case 6:
            return GetRequest("/../../etc/passwd%00" + std::to_string(i));
        case 7:
            return GetRequest("/cgi-win/Votes.dll/" + std::string(i % 50, 'A'));
        case 8:
            return "BREW /cgi-win/Votes.dll HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n";
        case 9:
            return "POST /cgi-win/Votes.dll/Vote?Vote=1 HTTP/1.1\r\nHost: x\r\nContent-Length: "
                   "0\r\nConnection: close\r\n\r\n";
        case 10:
            return "\x16\x03\x01 not http at all\r\n\r\n";
        default:
            return "GET /cgi-win/Votes.dll HTTP/1.1\r\nHost: x\r\nX-Big: " +
                   std::string(10000, 'h') + "\r\n\r\n";
    }
}

// One back end; false when a check failed.
bool Bench(const char* name, const std::string& database, const Options& o,
           const std::filesystem::path& work) {
    std::printf("== %s\n", name);
    constexpr int kOptions = 4;
    mv::OpenPollStore(database)->CreatePoll({"Best format?", {"MP3", "OGG", "FLAC", "WAV"}});
    std::filesystem::create_directories(work / "docs");
    mv::test::ServerProcess server(MV_SERVER_BINARY, database, (work / "docs").string(),
                                   (work / (std::string(name) + ".log")).string());
    bool ok = true;

    auto started = Clock::now();
    const int counted = RunConcurrently(o.votes, o.clients, [&](int i) {
        const std::string answer = RawExchange(
            server.Port(),
            GetRequest("/cgi-win/Votes.dll/Vote?Vote=" + std::to_string(1 + i % kOptions)));
        return StatusOf(answer) == 200 && answer.find("was counted") != std::string::npos;
    });
    double took = Seconds(started);
    std::map<std::string, long long> expected;
    const char* names[] = {"MP3", "OGG", "FLAC", "WAV"};
    for (int i = 0; i < o.votes; ++i) ++expected[names[i % kOptions]];
    const auto results = mv::OpenPollStore(database)->Results(1);
    long long stored = 0;
    bool exact = results.has_value();
    if (results)
        for (const auto& [option, votes] : *results) {
            stored += votes;
            exact = exact && votes == expected[option];
        }
    std::printf(
        "votes:   %d sent by %d clients, %d answered as counted, %lld stored (%s), "
        "%.2f s, %.0f requests/s\n",
        o.votes, o.clients, counted, stored, exact ? "every option exact" : "MISMATCH", took,
        o.votes / took);
    ok = ok && counted == o.votes && stored == o.votes && exact;

    started = Clock::now();
    std::atomic<int> slowOnes{0};
    std::vector<std::atomic<int>> byStatus(600);
    const int refused = RunConcurrently(o.hostile, o.clients, [&](int i) {
        bool slow = false;
        const std::string request = Hostile(i, slow);
        if (slow) ++slowOnes;
        const int status =
            slow ? StatusOf(RawExchange(server.Port(), request, 5, std::chrono::milliseconds(20)))
                 : StatusOf(RawExchange(server.Port(), request));
        if (status >= 0 && status < 600) ++byStatus[static_cast<size_t>(status)];
        return status >= 400 && status <= 499;
    });
    took = Seconds(started);
    std::string statuses;
    for (size_t s = 0; s < byStatus.size(); ++s)
        if (byStatus[s] > 0)
            statuses.append(" ")
                .append(std::to_string(s))
                .append("x")
                .append(std::to_string(byStatus[s].load()));
    const int still = StatusOf(RawExchange(server.Port(), GetRequest("/cgi-win/Votes.dll")));
    long long after = 0;
    if (const auto counts = mv::OpenPollStore(database)->Results(1))
        for (const auto& [option, votes] : *counts) after += votes;
    std::printf(
        "hostile: %d sent (%d of them slow), %d answered 4xx (statuses:%s), %.2f s, "
        "%.0f requests/s; afterwards the server answers %d and %lld votes are stored\n",
        o.hostile, slowOnes.load(), refused, statuses.c_str(), took, o.hostile / took, still,
        after);
    ok = ok && refused == o.hostile && still == 200 && after == o.votes;
    const int exitStatus = server.Stop();
    std::printf("stop:    SIGTERM, exit status %d\n", exitStatus);
    return ok && exitStatus == 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto next = [&] { return i + 1 < argc ? std::atoi(argv[++i]) : 0; };
        if (a == "--votes")
            o.votes = next();
        else if (a == "--clients")
            o.clients = next();
        else if (a == "--hostile")
            o.hostile = next();
        else if (a == "--sqlite-only")
            o.sqliteOnly = true;
        else {
            std::fprintf(stderr,
                         "usage: mv-bench-server [--votes N] [--clients C] [--hostile H] "
                         "[--sqlite-only]\n");
            return 2;
        }
    }
    char pattern[] = "/tmp/mv_bench_server_XXXXXX";
    if (mkdtemp(pattern) == nullptr) return 1;
    const std::filesystem::path work = pattern;
    bool ok = Bench("sqlite", (work / "poll.db").string(), o, work);
    if (!o.sqliteOnly) {
        mv::test::PrivatePostgres pg;
        const std::string problem = pg.Start();
        if (!problem.empty()) {
            std::printf("== postgresql: not run: %s\n", problem.c_str());
            ok = ok && pg.Missing();
        } else {
            ok = Bench("postgresql", pg.Url(), o, work) && ok;
        }
    }
    std::error_code ec;
    std::filesystem::remove_all(work, ec);
    std::printf("%s\n", ok ? "all checks passed" : "SOME CHECKS FAILED");
    return ok ? 0 : 1;
}
