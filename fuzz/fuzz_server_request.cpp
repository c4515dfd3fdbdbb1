// The server's request handling on any bytes: the front's framing, then the
// HTTP layer and the poll service's handlers on a SQLite store, through an
// in-memory connection. Every answer must be a well-formed HTTP answer with a
// known status whose body matches its Content-Length; a 200 from a poll path
// must read back with the wire format; a vote is counted at most once, and
// only by a GET of the vote path answered "was counted".
#include <httplib.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fronted_server.h"
#include "fuzz_files.h"
#include "net/poll_wire.h"
#include "poll_service.h"
#include "request_framing.h"

namespace {

// One connection whose request is in memory and whose answer is kept.
class MemoryStream : public httplib::Stream {
  public:
    explicit MemoryStream(std::string_view request) : request_(request) {}
    bool is_readable() const override { return at_ < request_.size(); }
    bool is_writable() const override { return true; }
    ssize_t read(char* ptr, size_t size) override {
        const size_t n = std::min(size, request_.size() - at_);
        request_.copy(ptr, n, at_);
        at_ += n;
        return static_cast<ssize_t>(n);
    }
    ssize_t write(const char* ptr, size_t size) override {
        written.append(ptr, size);
        return static_cast<ssize_t>(size);
    }
    void get_remote_ip_and_port(std::string& ip, int& port) const override {
        ip = "127.0.0.1";
        port = 40000;
    }
    void get_local_ip_and_port(std::string& ip, int& port) const override {
        ip = "127.0.0.1";
        port = 8080;
    }
    socket_t socket() const override { return INVALID_SOCKET; }
    std::string written;

  private:
    std::string_view request_;
    size_t at_ = 0;
};

struct Seen {
    std::string method, path;
    int status = 0;
    std::string body;
    bool logged = false;
};

struct Service {
    std::unique_ptr<mv::PollStore> store = mv::OpenPollStore(FuzzFolder() / "poll.db");
    mv::FrontedServer server;
    Seen seen;
    Service() {
        WriteFuzzFile("Mp3VandrelVersion.txt", "1.60\r\n");
        WriteFuzzFile("DlLink.txt", "http://example.org/mp3vandrel");
        store->CreatePoll({"Old?", {"x"}});
        store->CreatePoll({"Colour?", {"red", "green", "blue"}});
        mv::InstallPollService(server, {*store, FuzzFolder(), [](const std::string&) {}});
        server.set_logger([this](const httplib::Request& req, const httplib::Response& res) {
            seen = {req.method, req.path, res.status, res.body, true};
        });
    }
    long long Votes() {
        const auto counts = store->Results(2);
        FUZZ_CHECK(counts.has_value());
        long long total = 0;
        for (size_t i = 0; i < counts->size(); ++i) total += (*counts)[i].second;
        return total;
    }
};

Service& TheService() {
    static Service service;
    return service;
}

// The status of the final answer in `written` (interim 1xx skipped), after
// checking its shape; the body is checked against its Content-Length.
int CheckAnswer(std::string_view written, bool head) {
    while (written.starts_with("HTTP/1.1 100 "))
        written.remove_prefix(written.find("\r\n\r\n") + 4);
    FUZZ_CHECK(written.size() >= 12 && written.starts_with("HTTP/1.1 "));
    const int status = std::stoi(std::string(written.substr(9, 3)));
    const size_t headEnd = written.find("\r\n\r\n");
    FUZZ_CHECK(headEnd != std::string_view::npos);
    const std::string_view headers = written.substr(0, headEnd + 2);
    const size_t length = headers.find("\r\nContent-Length: ");
    FUZZ_CHECK(length != std::string_view::npos);
    const size_t announced = std::stoul(std::string(headers.substr(length + 18, 20)));
    FUZZ_CHECK(written.size() - headEnd - 4 == (head ? 0 : announced));
    return status;
}

// A 200 from a poll path reads back with the wire format.
void CheckPollBody(const Seen& seen, mv::PollStore& store) {
    if (seen.status != 200) return;
    if (seen.path == "/cgi-win/Votes.dll") FUZZ_CHECK(mv::ParseQuestion(seen.body).has_value());
    if (seen.path == "/cgi-win/Votes.dll/GetQList")
        FUZZ_CHECK(mv::ParseQuestionList(seen.body) == store.Questions());
    if (seen.path == "/cgi-win/Votes.dll/GetResults")
        FUZZ_CHECK(!mv::ParseResults(seen.body).empty());
}

// Handles one framed request; false when the connection would end.
bool HandleOne(Service& service, std::string_view request, bool last) {
    const long long before = service.Votes();
    const size_t questions = service.store->Questions().size();
    // As the front hands it over: without its Range headers.
    const std::string handed = mv::WithoutRangeHeaders(request);
    MemoryStream stream(handed);
    service.seen = {};
    bool closed = false;
    const bool ok = service.server.process_request(stream, last, closed, nullptr);
    if (stream.written.empty()) return false;  // nothing read: the client had gone
    const int status = CheckAnswer(stream.written, service.seen.method == "HEAD");
    static constexpr int known[] = {200, 206, 400, 404, 405, 414, 416};
    FUZZ_CHECK(std::find(std::begin(known), std::end(known), status) != std::end(known));
    const bool counted = service.seen.logged && service.seen.method == "GET" &&
                         service.seen.path == "/cgi-win/Votes.dll/Vote" && status == 200 &&
                         service.seen.body.find("was counted") != std::string::npos;
    FUZZ_CHECK(service.Votes() == before + (counted ? 1 : 0));
    FUZZ_CHECK(service.store->Questions().size() == questions);
    CheckPollBody(service.seen, *service.store);
    return ok && !closed;
}

// A request built from the input's bytes on one of the service's paths, so
// inputs of any shape reach the handlers.
std::string OnAPath(std::string_view data) {
    static constexpr const char* paths[] = {
        "/cgi-win/Votes.dll",      "/cgi-win/Votes.dll/GetQList", "/cgi-win/Votes.dll/GetResults",
        "/cgi-win/Votes.dll/Vote", "/Mp3VandrelVersion.txt",      "/DlLink.txt"};
    const char* path = paths[data.empty() ? 0 : static_cast<uint8_t>(data[0]) % 6];
    if (!data.empty()) data.remove_prefix(1);
    const std::string_view query = data.substr(0, data.find_first_of(std::string_view("\r\n ", 3)));
    return "GET " + std::string(path) + (query.empty() ? "" : "?") + std::string(query) +
           " HTTP/1.1\r\nHost: x\r\n\r\n";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Service& service = TheService();
    std::string_view input(reinterpret_cast<const char*>(data), size);
    // A leading '!' asks for a request on a service path; anything else is raw.
    std::string built;
    if (input.starts_with('!')) input = built = OnAPath(input.substr(1));
    for (int n = 1; n <= 8 && !input.empty(); ++n) {
        const auto frame = mv::FrameRequest(input);
        if (frame.kind == mv::RequestFrame::Kind::Incomplete) break;
        if (frame.kind == mv::RequestFrame::Kind::Refused) {
            FUZZ_CHECK(frame.status == 400 || frame.status == 413 || frame.status == 431);
            break;
        }
        FUZZ_CHECK(frame.length > 0 && frame.length <= input.size());
        const auto again = mv::FrameRequest(input.substr(0, frame.length));
        FUZZ_CHECK(again.kind == mv::RequestFrame::Kind::Complete && again.length == frame.length);
        if (!HandleOne(service, input.substr(0, frame.length), n == 8)) break;
        input.remove_prefix(frame.length);
    }
    return 0;
}
