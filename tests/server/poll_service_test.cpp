// The HTTP service in-process on a free loopback port: what each request
// answers, malformed and hostile requests refused with a 4xx while the
// service keeps serving, and one log line per request.
#include "poll_service.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <algorithm>
#include <mutex>
#include <thread>

#include "support/core/raw_http.h"
#include "support/core/temp_tree.h"

namespace {

using mv::test::GetRequest;
using mv::test::RawExchange;
using mv::test::StatusOf;

class PollServiceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        tree_.File("docs/Mp3VandrelVersion.txt", "1.60\r\n");
        tree_.File("docs/DlLink.txt", "http://example.org/download");
        store_ = mv::OpenPollStore(tree_.Path("poll.db"));
        mv::InstallPollService(server_, {*store_, tree_.Path("docs"), [this](const std::string& l) {
                                             std::lock_guard lock(logMutex_);
                                             log_.push_back(l);
                                         }});
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        while (!server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    void TearDown() override {
        server_.stop();
        thread_.join();
    }
    int Status(const std::string& target) {
        return StatusOf(RawExchange(port_, GetRequest(target)));
    }
    std::string Body(const std::string& target) {
        const std::string answer = RawExchange(port_, GetRequest(target));
        const size_t end = answer.find("\r\n\r\n");
        return end == std::string::npos ? std::string() : answer.substr(end + 4);
    }
    size_t LogLines() {
        std::lock_guard lock(logMutex_);
        return log_.size();
    }

    mv::test::TempTree tree_;
    std::unique_ptr<mv::PollStore> store_;
    httplib::Server server_;
    int port_ = 0;
    std::thread thread_;
    std::mutex logMutex_;
    std::vector<std::string> log_;
};

TEST_F(PollServiceTest, AnswersTheFourPollRequestsAndTheDocuments) {
    EXPECT_EQ(Body("/cgi-win/Votes.dll"), "0There is no poll at the moment/");
    store_->CreatePoll({"Colour?", {"red", "green", "blue"}});
    store_->CreatePoll({"Tempo?", {"slow", "fast"}});
    EXPECT_EQ(Body("/cgi-win/Votes.dll"), "2Tempo?/slow/fast/");
    EXPECT_EQ(Body("/cgi-win/Votes.dll/GetQList"), "Colour?/Tempo?/");
    EXPECT_EQ(Body("/cgi-win/Votes.dll/Vote?Vote=2"),
              "Thank you! Your vote for \"fast\" was counted.");
    // An option the current question does not have is not counted, and says so.
    EXPECT_EQ(Body("/cgi-win/Votes.dll/Vote?Vote=3"),
              "The current question has no option 3; your vote was not counted.");
    EXPECT_EQ(Body("/cgi-win/Votes.dll/GetResults?QuestNo=2"), "slow/0/fast/1/");
    EXPECT_EQ(Body("/cgi-win/Votes.dll/GetResults?QuestNo=1"), "red/0/green/0/blue/0/");
    EXPECT_EQ(Body("/Mp3VandrelVersion.txt"), "1.60\r\n");
    EXPECT_EQ(Body("/DlLink.txt"), "http://example.org/download");
}

TEST_F(PollServiceTest, RefusesMalformedAndHostileRequestsWithA4xxAndKeepsServing) {
    store_->CreatePoll({"Colour?", {"red", "green"}});
    const std::string huge(20000, 'A');
    const struct {
        std::string request;
        int status;
    } cases[] = {
        {GetRequest("/cgi-win/Votes.dll/Vote?Vote=0"), 400},
        {GetRequest("/cgi-win/Votes.dll/Vote?Vote=01"), 400},
        {GetRequest("/cgi-win/Votes.dll/Vote?Vote=-1"), 400},
        {GetRequest("/cgi-win/Votes.dll/Vote?Vote=1e3"), 400},
        {GetRequest("/cgi-win/Votes.dll/Vote?Vote=99999999999999999999"), 400},
        {GetRequest("/cgi-win/Votes.dll/Vote?Vote="), 400},
        {GetRequest("/cgi-win/Votes.dll/Vote"), 400},
        {GetRequest("/cgi-win/Votes.dll/Vote?Vote=1&Vote=2"), 400},
        {GetRequest("/cgi-win/Votes.dll/Vote?Vote=1&x=2"), 400},
        {GetRequest("/cgi-win/Votes.dll/GetResults?QuestNo=abc"), 400},
        {GetRequest("/cgi-win/Votes.dll/GetResults?QuestNo=7"), 404},
        {GetRequest("/cgi-win/Votes.dll?x=1"), 400},
        {GetRequest("/cgi-win/VotesXdll"), 404},
        {GetRequest("/cgi-win/Votes.dll/../../etc/passwd"), 404},
        {GetRequest("/docs/../poll.db"), 404},
        {GetRequest("/Mp3VandrelVersion.txt/x"), 404},
        {GetRequest("/" + huge), 414},
        {GetRequest("/cgi-win/Votes.dll/Vote?Vote=" + huge), 414},
        {"POST /cgi-win/Votes.dll/Vote?Vote=1 HTTP/1.1\r\nHost: x\r\nContent-Length: "
         "0\r\nConnection: close\r\n\r\n",
         405},
        {"DELETE /cgi-win/Votes.dll HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n", 405},
        // A HEAD (a link checker, a proxy's probe) must not vote.
        {"HEAD /cgi-win/Votes.dll/Vote?Vote=1 HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n",
         405},
        {"GARBAGE\r\n\r\n", 400},
        {"GET / HTTP/9.9\r\nHost: x\r\nConnection: close\r\n\r\n", 400},
        {"GET /cgi-win/Votes.dll HTTP/1.1\r\nX: " + std::string(9000, 'h') + "\r\n\r\n", 400},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StatusOf(RawExchange(port_, c.request)), c.status) << c.request.substr(0, 80);
        EXPECT_EQ(Status("/cgi-win/Votes.dll"), 200) << "after " << c.request.substr(0, 80);
    }
    // None of them counted a vote.
    EXPECT_EQ(Body("/cgi-win/Votes.dll/GetResults?QuestNo=1"), "red/0/green/0/");
}

TEST_F(PollServiceTest, SlowClientIsServedAndLogsOneLinePerRequest) {
    const std::string answer = RawExchange(port_, GetRequest("/cgi-win/Votes.dll/Vote?Vote=x"), 7,
                                           std::chrono::milliseconds(30));
    EXPECT_EQ(StatusOf(answer), 400);
    for (int i = 0; i < 5; ++i) Status("/cgi-win/Votes.dll/GetQList");
    Status("/nowhere\x01\x7f");
    // The line is written just after the answer has gone out.
    for (int wait = 0; wait < 100 && LogLines() < 7; ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(LogLines(), 7u);
    std::lock_guard lock(logMutex_);
    // Lines of requests answered at nearly the same time may swap places.
    const auto escaped = std::count_if(log_.begin(), log_.end(), [](const std::string& line) {
        return line.find("\"/nowhere\\x01\\x7f\" 404") != std::string::npos;
    });
    EXPECT_EQ(escaped, 1);
}

}  // namespace
