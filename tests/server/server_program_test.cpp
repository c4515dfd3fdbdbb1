// The program itself: the administration commands refuse texts the wire
// cannot carry and store the rest; serve answers until SIGTERM, then exits 0.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <sstream>
#include <thread>

#include "support/core/raw_http.h"
#include "support/core/server_process.h"
#include "support/core/temp_tree.h"

namespace {

struct Outcome {
    int status;
    std::string out;
};

// The program with `args` (single-quoted for the shell), its output and status.
Outcome RunServer(const std::vector<std::string>& args) {
    std::string command = MV_SERVER_BINARY;
    for (const auto& a : args) {
        std::string quoted = "'";
        for (const char c : a) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
        command += " " + quoted + "'";
    }
    Outcome run{};
    FILE* p = popen((command + " 2>&1").c_str(), "r");
    char buffer[512];
    while (fgets(buffer, sizeof buffer, p) != nullptr) run.out += buffer;
    const int status = pclose(p);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

TEST(ServerProgram, PollNewRefusesWhatTheWireCannotCarryAndStoresNothing) {
    mv::test::TempTree tree;
    const std::string db = tree.Path("poll.db");
    const std::vector<std::string> ten{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"};
    const std::vector<std::vector<std::string>> refused = {
        {"AC/DC?", "yes", "no"}, {"Band?", "AC/DC", "other"}, {"Line\nbreak?", "a"},
        {"Tab?", "a\tb"},        {"Bad \xff UTF-8?", "a"},
    };
    for (auto texts : refused) {
        std::vector<std::string> args{"poll", "new", "--database", db};
        args.insert(args.end(), texts.begin(), texts.end());
        const Outcome run = RunServer(args);
        EXPECT_EQ(run.status, 2) << texts[0] << run.out;
        EXPECT_NE(run.out.find("refused"), std::string::npos) << run.out;
    }
    std::vector<std::string> tooMany{"poll", "new", "--database", db, "Many?"};
    tooMany.insert(tooMany.end(), ten.begin(), ten.end());
    EXPECT_EQ(RunServer(tooMany).status, 2);
    EXPECT_NE(RunServer({"poll", "list", "--database", db}).out.find("No polls yet."),
              std::string::npos);

    // Nine options is the most the one digit can count.
    std::vector<std::string> nine{"poll", "new", "--database", db, "Nine?"};
    nine.insert(nine.end(), ten.begin(), ten.end() - 1);
    EXPECT_EQ(RunServer(nine).status, 0);
    EXPECT_EQ(RunServer({"poll", "new", "--database", db, "Colour?", "red", "green"}).status, 0);
    EXPECT_EQ(RunServer({"poll", "list", "--database", db}).out, "1 Nine?\n2* Colour?\n");
    EXPECT_EQ(RunServer({"poll", "results", "--database", db, "1"}).out.substr(0, 8), "1 Nine?\n");
    EXPECT_EQ(RunServer({"poll", "results", "--database", db}).out,
              "2 Colour?\n  0  red\n  0  green\n");
    EXPECT_EQ(RunServer({"poll", "results", "--database", db, "3"}).status, 1);
}

TEST(ServerProgram, ServesUntilSigtermThenStopsCleanly) {
    mv::test::TempTree tree;
    tree.File("docs/Mp3VandrelVersion.txt", "1.52");
    const std::string db = tree.Path("poll.db");
    ASSERT_EQ(RunServer({"poll", "new", "--database", db, "Colour?", "red", "green"}).status, 0);
    mv::test::ServerProcess server(MV_SERVER_BINARY, db, tree.Path("docs"), tree.Path("log"));
    const std::string answer = mv::test::RawExchange(
        server.Port(), mv::test::GetRequest("/cgi-win/Votes.dll/Vote?Vote=1"));
    EXPECT_EQ(mv::test::StatusOf(answer), 200);
    EXPECT_EQ(server.Stop(), 0);
    // Administration while or after serving sees the vote.
    EXPECT_EQ(RunServer({"poll", "results", "--database", db}).out,
              "1 Colour?\n  1  red\n  0  green\n");
    const std::string log = tree.Path("log");
    std::FILE* f = std::fopen(log.c_str(), "r");
    ASSERT_NE(f, nullptr);
    char line[512];
    int requests = 0;
    while (std::fgets(line, sizeof line, f) != nullptr)
        if (std::string(line).find("\"/cgi-win/Votes.dll/Vote?Vote=1\" 200") != std::string::npos)
            ++requests;
    std::fclose(f);
    EXPECT_EQ(requests, 1);
}

TEST(ServerProgram, ListensWithAQueueWideEnoughForABurstOfClients) {
    if (std::system("command -v ss >/dev/null 2>&1") != 0) GTEST_SKIP() << "skipped: no ss";
    mv::test::TempTree tree;
    tree.File("docs/DlLink.txt", "x");
    mv::test::ServerProcess server(MV_SERVER_BINARY, tree.Path("poll.db"), tree.Path("docs"),
                                   tree.Path("log"));
    // For a listening socket, ss shows the queue's length as Send-Q. A queue of
    // 5 made every sixth client of a burst wait a second for its retry.
    const Outcome run{0, [&] {
                          std::string out;
                          const std::string command =
                              "ss -Hltn 'sport = :" + std::to_string(server.Port()) + "'";
                          FILE* p = popen(command.c_str(), "r");
                          char buffer[256];
                          while (fgets(buffer, sizeof buffer, p) != nullptr) out += buffer;
                          pclose(p);
                          return out;
                      }()};
    std::istringstream fields(run.out);
    std::string state;
    long recvQ = -1, sendQ = -1;
    fields >> state >> recvQ >> sendQ;
    EXPECT_EQ(state, "LISTEN") << run.out;
    EXPECT_GE(sendQ, 128) << run.out;
}

// Clients that trickle their heads, a header line every half second, hold no
// worker: with 200 of them open, every vote is answered at once and counted.
TEST(ServerProgram, TwoHundredSlowClientsDoNotHoldUpTheVotes) {
    mv::test::TempTree tree;
    tree.File("docs/DlLink.txt", "x");
    const std::string db = tree.Path("poll.db");
    ASSERT_EQ(RunServer({"poll", "new", "--database", db, "Colour?", "red", "green"}).status, 0);
    mv::test::ServerProcess server(MV_SERVER_BINARY, db, tree.Path("docs"), tree.Path("log"));
    const std::string head = "GET /cgi-win/Votes.dll HTTP/1.1\r\n";
    std::vector<int> slow;
    for (int i = 0; i < 200; ++i) {
        const int s = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(static_cast<uint16_t>(server.Port()));
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ASSERT_EQ(connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
        send(s, head.data(), head.size(), MSG_NOSIGNAL);
        slow.push_back(s);
    }
    std::atomic<bool> done{false};
    std::thread trickle([&] {
        while (!done) {
            for (const int s : slow) send(s, "X-Slow: 1\r\n", 11, MSG_NOSIGNAL);
            for (int i = 0; i < 10 && !done; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    int answered = 0;
    for (int i = 0; i < 40; ++i) {
        const auto started = std::chrono::steady_clock::now();
        const std::string answer = mv::test::RawExchange(
            server.Port(), mv::test::GetRequest("/cgi-win/Votes.dll/Vote?Vote=2"), 0, {}, 2);
        const auto took = std::chrono::steady_clock::now() - started;
        EXPECT_LT(took, std::chrono::seconds(1)) << "vote " << i;
        if (mv::test::StatusOf(answer) != 200) break;  // the rest would wait as long
        ++answered;
    }
    EXPECT_EQ(answered, 40);
    done = true;
    trickle.join();
    for (const int s : slow) close(s);
    EXPECT_EQ(server.Stop(), 0);
    EXPECT_EQ(RunServer({"poll", "results", "--database", db}).out,
              "1 Colour?\n  0  red\n  40  green\n");
}

}  // namespace
