// The program itself: the administration commands refuse texts the wire
// cannot carry and store the rest; serve answers until SIGTERM, then exits 0.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <sstream>

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

}  // namespace
