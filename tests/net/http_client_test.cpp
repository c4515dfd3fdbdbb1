// The libcurl client: the poll requests and the version check against the
// real server on a free loopback port, and its time limits against a server
// that accepts but never answers and a port where nobody listens.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <thread>

#include "net/poll_client.h"
#include "net/version_check.h"
#include "poll_store.h"
#include "support/core/server_process.h"
#include "support/core/temp_tree.h"

namespace {

// A loopback socket that listens (so connecting succeeds) but never answers.
class SilentListener {
  public:
    SilentListener() {
        fd_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        listen(fd_, 8);
        socklen_t len = sizeof a;
        getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
    }
    ~SilentListener() { close(fd_); }
    std::string Address() const { return "127.0.0.1:" + std::to_string(port_); }
    int Fd() const { return fd_; }

  private:
    int fd_ = -1;
    int port_ = 0;
};

TEST(HttpClient, PollRequestsAndVersionCheckAgainstTheRealServer) {
    mv::test::TempTree tree;
    tree.File("docs/Mp3VandrelVersion.txt", "1.60\r\n");
    tree.File("docs/DlLink.txt", "http://example.org/mp3vandrel");
    const std::string db = tree.Path("poll.db");
    mv::OpenPollStore(db)->CreatePoll({"Old?", {"x"}});
    mv::OpenPollStore(db)->CreatePoll({"Colour?", {"red", "green", "blue"}});
    mv::test::ServerProcess server(MV_SERVER_BINARY, db, tree.Path("docs"), tree.Path("log"));
    const auto transport = mv::MakeCurlTransport();
    mv::PollClient client(*transport, server.Address());

    const auto question = mv::ParseQuestion(client.CurrentQuestion().body);
    ASSERT_TRUE(question);
    EXPECT_EQ(question->question, "Colour?");
    EXPECT_EQ(question->options, (std::vector<std::string>{"red", "green", "blue"}));
    EXPECT_EQ(mv::ParseQuestionList(client.QuestionList().body),
              (std::vector<std::string>{"Old?", "Colour?"}));
    EXPECT_NE(client.Vote(2).body.find("\"green\" was counted"), std::string::npos);
    EXPECT_NE(client.Vote(4).body.find("not counted"), std::string::npos);
    const auto results = mv::ParseResults(client.Results(2).body);
    ASSERT_EQ(results.size(), 3u);
    EXPECT_EQ(mv::ResultLineText(results[1]), "green - 1 votes.");
    // An unknown question is an error status, which the client reports.
    const auto missing = client.Results(3);
    EXPECT_EQ(missing.status, 404);
    EXPECT_FALSE(missing.Ok());

    const auto check = mv::CheckForNewVersion({*transport, server.Address(), [] { return true; }});
    EXPECT_EQ(check.error, "");
    EXPECT_TRUE(check.asked);
    EXPECT_EQ(check.link, "http://example.org/mp3vandrel");
}

TEST(HttpClient, RefusedAndSilentServersFailWithinTheTimeLimits) {
    const auto transport = mv::MakeCurlTransport({500, 800});
    int closedPort;
    {
        SilentListener probe;  // a port that was free a moment ago
        closedPort = std::stoi(probe.Address().substr(10));
    }
    const auto started = std::chrono::steady_clock::now();
    const auto refused =
        transport->Get({"127.0.0.1:" + std::to_string(closedPort), "/", {}, false});
    EXPECT_FALSE(refused.Ok());
    EXPECT_EQ(refused.status, 0);

    SilentListener silent;
    const auto stalled = transport->Get({silent.Address(), "/Mp3VandrelVersion.txt", {}, true});
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_FALSE(stalled.Ok());
    EXPECT_NE(stalled.error.find("imed out"), std::string::npos) << stalled.error;
    EXPECT_LT(took, std::chrono::seconds(3));
}

// Answers one connection: reads the request head, then sends `head` and
// whatever `body` writes through its send function (false once the client
// has gone).
class CannedServer {
  public:
    using Body = std::function<void(const std::function<bool(const std::string&)>&)>;
    CannedServer(std::string head, Body body) {
        thread_ = std::thread([this, head = std::move(head), body = std::move(body)] {
            const int c = accept(listener_.Fd(), nullptr, nullptr);
            std::string request;
            char buffer[1024];
            ssize_t got;
            while (request.find("\r\n\r\n") == std::string::npos &&
                   (got = recv(c, buffer, sizeof buffer, 0)) > 0)
                request.append(buffer, got);
            const auto sendText = [c](const std::string& text) {
                return send(c, text.data(), text.size(), MSG_NOSIGNAL) ==
                       static_cast<ssize_t>(text.size());
            };
            if (sendText(head)) body(sendText);
            close(c);
        });
    }
    ~CannedServer() { thread_.join(); }
    std::string Address() const { return listener_.Address(); }

  private:
    SilentListener listener_;
    std::thread thread_;
};

TEST(HttpClient, RepliesOverTheCapAreNoAnswerAndEndlessOnesEndEarly) {
    const size_t cap = mv::kMaxReplyBytes;
    const std::string chunk(16 * 1024, 'x');
    const auto endless = [chunk](const auto& sendText) {
        while (sendText(chunk)) {
        }
    };
    const auto exactly = [](size_t n) {
        return [n](const auto& sendText) { sendText(std::string(n, 'v')); };
    };
    // A byte now and then, until the client hangs up: only the time limit would
    // end this one without the announced length.
    const auto trickle = [](const auto& sendText) {
        while (sendText("y")) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    };
    const auto lengthHead = [](size_t n) {
        return "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(n) + "\r\n\r\n";
    };
    const struct {
        const char* what;
        std::string head;
        CannedServer::Body body;
        size_t bodySize;  // expected; 0 for no answer
    } cases[] = {
        {"exactly the cap", lengthHead(cap), exactly(cap), cap},
        {"one byte over, announced", lengthHead(cap + 1), exactly(cap + 1), 0},
        {"a gigabyte announced, a trickle sent", lengthHead(1'000'000'000), trickle, 0},
        {"endless without a length", "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n", endless, 0},
        {"endless chunks", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n",
         [chunk](const auto& sendText) {
             while (sendText("4000\r\n" + chunk + "\r\n")) {
             }
         },
         0},
        {"the cap without a length", "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n", exactly(cap),
         cap},
    };
    const auto transport = mv::MakeCurlTransport({500, 2500});
    for (const auto& c : cases) {
        CannedServer server(c.head, c.body);
        const auto started = std::chrono::steady_clock::now();
        const auto reply = transport->Get({server.Address(), "/Mp3VandrelVersion.txt", {}, true});
        const auto took = std::chrono::steady_clock::now() - started;
        EXPECT_EQ(reply.body.size(), c.bodySize) << c.what;
        EXPECT_EQ(reply.Ok(), c.bodySize > 0) << c.what << ": " << reply.error;
        if (c.bodySize > 0) continue;
        EXPECT_EQ(reply.status, 0) << c.what;
        EXPECT_NE(reply.error.find("longer than 65536 bytes"), std::string::npos) << reply.error;
        // Refused on the announcement or the cap, never left to the time limit.
        EXPECT_LT(took, std::chrono::milliseconds(2000)) << c.what;
    }
}

TEST(HttpClient, RequestUrlKeepsAGivenScheme) {
    EXPECT_EQ(mv::RequestUrl("localhost:8080", "/DlLink.txt"), "http://localhost:8080/DlLink.txt");
    EXPECT_EQ(mv::RequestUrl("https://poll.example/", "/x"), "https://poll.example/x");
}

}  // namespace
