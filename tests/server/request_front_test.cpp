// The front in-process, before the real poll service, with small bounds and a
// short deadline: late requests and idle connections are closed, the bounds
// per address and in all refuse with a 503, and a request that carries a body
// the front cannot frame is refused without its bytes being read as another.
#include "request_front.h"

#include <gtest/gtest.h>
#include <poll.h>

#include <thread>

#include "fronted_server.h"
#include "poll_service.h"
#include "support/core/raw_http.h"
#include "support/core/temp_tree.h"

namespace {

using namespace std::chrono_literals;

class RequestFrontTest : public ::testing::Test {
  protected:
    void Start(size_t perAddress, size_t total) {
        tree_.File("docs/DlLink.txt", "x");
        store_ = mv::OpenPollStore(tree_.Path("poll.db"));
        store_->CreatePoll({"Colour?", {"red", "green"}});
        mv::InstallPollService(server_, {*store_, tree_.Path("docs"), [](const std::string&) {}});
        mv::RequestFrontParams params;
        params.workers = 4;
        params.maxPerAddress = perAddress;
        params.maxConnections = total;
        params.requestDeadline = 300ms;
        params.handle = server_.FrontHandler();
        front_ = std::make_unique<mv::RequestFront>(std::move(params));
        port_ = front_->Bind("127.0.0.1", 0);
        ASSERT_GT(port_, 0);
        thread_ = std::thread([this] { front_->Run(); });
    }
    void TearDown() override {
        for (const int fd : open_) close(fd);
        if (!front_) return;
        front_->Stop();
        thread_.join();
    }
    // A connection from `from` (any 127/8 address is this host).
    int Connect(const char* from) {
        const int s = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        inet_pton(AF_INET, from, &a.sin_addr);
        bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
        a.sin_port = htons(static_cast<uint16_t>(port_));
        inet_pton(AF_INET, "127.0.0.1", &a.sin_addr);
        EXPECT_EQ(connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
        open_.push_back(s);
        return s;
    }
    // Everything the server sends until it closes (or 2 s of silence).
    static std::string UntilClosed(int s) {
        std::string got;
        char buffer[4096];
        pollfd p{s, POLLIN, 0};
        while (poll(&p, 1, 2000) == 1) {
            const ssize_t n = recv(s, buffer, sizeof buffer, 0);
            if (n <= 0) break;
            got.append(buffer, static_cast<size_t>(n));
        }
        return got;
    }
    std::string Exchange(const char* from, const std::string& request) {
        const int s = Connect(from);
        send(s, request.data(), request.size(), MSG_NOSIGNAL);
        return UntilClosed(s);
    }
    std::string Results() {
        const auto answer =
            Exchange("127.0.0.1", mv::test::GetRequest("/cgi-win/Votes.dll/GetResults?QuestNo=1"));
        return answer.substr(answer.find("\r\n\r\n") + 4);
    }

    mv::test::TempTree tree_;
    std::unique_ptr<mv::PollStore> store_;
    mv::FrontedServer server_;
    std::unique_ptr<mv::RequestFront> front_;
    int port_ = 0;
    std::thread thread_;
    std::vector<int> open_;
};

TEST_F(RequestFrontTest, LateRequestsGet408AndIdleConnectionsAreClosed) {
    Start(0, 100);
    const int trickling = Connect("127.0.0.2");
    const int idle = Connect("127.0.0.2");
    const auto started = std::chrono::steady_clock::now();
    for (const char* piece : {"GET /cgi-win/Votes.dll/Vote?Vote=1 HTTP/1.1\r\n", "A: b\r\n"}) {
        send(trickling, piece, strlen(piece), MSG_NOSIGNAL);
        std::this_thread::sleep_for(100ms);
    }
    EXPECT_EQ(mv::test::StatusOf(UntilClosed(trickling)), 408);
    EXPECT_EQ(UntilClosed(idle), "");
    EXPECT_LT(std::chrono::steady_clock::now() - started, 1500ms);
    EXPECT_EQ(Results(), "red/0/green/0/");
}

TEST_F(RequestFrontTest, ConnectionsOverTheBoundsGet503) {
    Start(3, 5);
    const std::string vote = mv::test::GetRequest("/cgi-win/Votes.dll/Vote?Vote=1");
    for (int i = 0; i < 3; ++i) Connect("127.0.0.2");
    EXPECT_EQ(mv::test::StatusOf(Exchange("127.0.0.2", vote)), 503);
    EXPECT_EQ(mv::test::StatusOf(Exchange("127.0.0.1", vote)), 200);  // another address
    Connect("127.0.0.3");
    const int fifth = Connect("127.0.0.3");
    EXPECT_EQ(mv::test::StatusOf(Exchange("127.0.0.1", vote)), 503);  // five open in all
    close(fifth);
    open_.pop_back();
    std::this_thread::sleep_for(100ms);  // the front sees the close
    EXPECT_EQ(mv::test::StatusOf(Exchange("127.0.0.1", vote)), 200);
    EXPECT_EQ(Results(), "red/2/green/0/");
}

TEST_F(RequestFrontTest, RequestsSentAheadAreAnsweredInOrderAndBodiesNeverSmuggleOne) {
    Start(0, 100);
    const std::string keep = "GET /cgi-win/Votes.dll/Vote?Vote=1 HTTP/1.1\r\nHost: x\r\n\r\n";
    const std::string answers =
        Exchange("127.0.0.1", keep + mv::test::GetRequest("/cgi-win/Votes.dll/GetQList"));
    EXPECT_EQ(answers.find("HTTP/1.1 200"), 0u);
    EXPECT_NE(answers.find("counted."), std::string::npos);
    EXPECT_NE(answers.rfind("Colour?/"), std::string::npos);
    const std::string smuggled = "GET /cgi-win/Votes.dll/Vote?Vote=2 HTTP/1.1\r\nHost: x\r\n\r\n";
    for (const std::string body :
         {"Transfer-Encoding: chunked\r\n\r\n0\r\n\r\n", "Transfer-Encoding: chunked\r\n\r\nzz\r\n",
          "Content-Length: -5\r\n\r\n", "Content-Length: 5\r\n\r\nabcde"}) {
        const std::string answer = Exchange(
            "127.0.0.1", "GET /cgi-win/Votes.dll HTTP/1.1\r\nHost: x\r\n" + body + smuggled);
        EXPECT_EQ(mv::test::StatusOf(answer), 400) << body;
        EXPECT_EQ(answer.find("HTTP/1.1", 1), std::string::npos) << "a second answer: " << body;
    }
    EXPECT_EQ(Results(), "red/1/green/0/");
}

// A reply cut to a range but answered 200 would read as the whole reply.
TEST_F(RequestFrontTest, ARangeIsIgnoredAndTheWholeReplyComes) {
    Start(0, 100);
    const std::string answer =
        Exchange("127.0.0.1",
                 "GET /cgi-win/Votes.dll/GetQList HTTP/1.1\r\nHost: x\r\nRange: bytes=0-1\r\n"
                 "Connection: close\r\n\r\n");
    EXPECT_EQ(mv::test::StatusOf(answer), 200);
    EXPECT_EQ(answer.substr(answer.find("\r\n\r\n") + 4), "Colour?/");
}

}  // namespace
