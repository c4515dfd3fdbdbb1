#include "poll_service.h"

#include <httplib.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <sstream>

namespace mv {

namespace {

// The largest number a request may carry; larger ones are malformed.
constexpr long long kMaxWireNumber = 1'000'000'000;

void Answer(httplib::Response& res, int status, const std::string& body) {
    res.status = status;
    res.set_content(body, "text/plain; charset=utf-8");
}

// The one query parameter a request takes, as a number; 400 for anything else
// (missing, repeated, other parameters beside it, a bad number).
std::optional<long long> NumberParam(const httplib::Request& req, httplib::Response& res,
                                     const char* name) {
    if (req.params.size() != 1 || req.get_param_value_count(name) != 1) {
        Answer(res, 400, std::string("Expected exactly one parameter ") + name + ".\n");
        return std::nullopt;
    }
    const auto number = ParseWireNumber(req.get_param_value(name), kMaxWireNumber);
    if (!number) Answer(res, 400, std::string(name) + " must be a whole number from 1.\n");
    return number;
}

bool NoParams(const httplib::Request& req, httplib::Response& res) {
    if (req.params.empty()) return true;
    Answer(res, 400, "This request takes no parameters.\n");
    return false;
}

void ServeDocument(const std::filesystem::path& file, const httplib::Request& req,
                   httplib::Response& res) {
    if (!NoParams(req, res)) return;
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        Answer(res, 404, "Not found.\n");
        return;
    }
    std::ostringstream body;
    body << in.rdbuf();
    res.status = 200;
    res.set_content(body.str(), "text/plain");
}

std::string Now() {
    const std::time_t t = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm utc{};
    gmtime_r(&t, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

}  // namespace

std::string VoteMessage(const VoteOutcome& outcome, long long option) {
    if (outcome.counted) return "Thank you! Your vote for \"" + outcome.option + "\" was counted.";
    if (outcome.noPoll) return "There is no poll at the moment; your vote was not counted.";
    return "The current question has no option " + std::to_string(option) +
           "; your vote was not counted.";
}

std::string LogField(std::string_view text, size_t max) {
    std::string out;
    for (size_t i = 0; i < text.size() && i < max; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x21 || c >= 0x7f || c == '\\' || c == '"') {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    if (text.size() > max) out += "...(" + std::to_string(text.size()) + " bytes)";
    return out;
}

std::string DocumentFileName(std::string_view documentPath) {
    return std::string(documentPath.substr(documentPath.starts_with('/') ? 1 : 0));
}

namespace {

// Routes are regular expressions matched against the whole path: the route
// of exactly `path`.
std::string Route(std::string_view path) {
    std::string out;
    for (const char c : path) {
        if (std::string_view(R"(\^$.|?*+()[]{})").find(c) != std::string_view::npos) out += '\\';
        out += c;
    }
    return out;
}

void SetLimits(httplib::Server& server) {
    server.set_payload_max_length(64 * 1024);
    server.set_read_timeout(5, 0);
    server.set_write_timeout(5, 0);
    server.set_keep_alive_max_count(100);
    server.set_keep_alive_timeout(5);
}

void RouteDocuments(httplib::Server& server, const std::filesystem::path& docs) {
    for (const char* document : {kVersionDocument, kLinkDocument}) {
        server.Get(Route(document),
                   [file = docs / DocumentFileName(document)](const auto& req, auto& res) {
                       ServeDocument(file, req, res);
                   });
    }
}

void RoutePoll(httplib::Server& server, PollStore& store) {
    server.Get(Route(kPollPath), [&store](const httplib::Request& req, httplib::Response& res) {
        if (!NoParams(req, res)) return;
        const auto current = store.CurrentPoll();
        Answer(res, 200,
               FormatQuestion(current ? *current
                                      : PollQuestion{"There is no poll at the moment", {}}));
    });
    server.Get(Route(kQuestionListPath),
               [&store](const httplib::Request& req, httplib::Response& res) {
                   if (!NoParams(req, res)) return;
                   Answer(res, 200, FormatQuestionList(store.Questions()));
               });
    server.Get(Route(kResultsPath), [&store](const httplib::Request& req, httplib::Response& res) {
        const auto k = NumberParam(req, res, kQuestionNumberParam);
        if (!k) return;
        const auto counts = store.Results(*k);
        if (!counts) return Answer(res, 404, "There is no such question.\n");
        Answer(res, 200, FormatResults(*counts));
    });
    server.Get(Route(kVotePath), [&store](const httplib::Request& req, httplib::Response& res) {
        // HEAD runs the GET routes; a probe must not count as a vote.
        if (req.method != "GET") return Answer(res, 405, "Only GET votes.\n");
        const auto m = NumberParam(req, res, kVoteParam);
        if (!m) return;
        Answer(res, 200, VoteMessage(store.Vote(*m), *m));
    });
}

// Other methods on any path, failures of the store, and the text of every
// refusal the HTTP layer makes itself.
void RouteRefusals(httplib::Server& server) {
    const auto refuse = [](const httplib::Request&, httplib::Response& res) {
        Answer(res, 405, "Only GET is served here.\n");
    };
    server.Post(".*", refuse);
    server.Put(".*", refuse);
    server.Patch(".*", refuse);
    server.Delete(".*", refuse);
    server.Options(".*", refuse);

    server.set_exception_handler([](const auto&, auto& res, std::exception_ptr ep) {
        std::string why = "unknown failure";
        try {
            std::rethrow_exception(ep);
        } catch (const std::exception& e) {
            why = e.what();
        } catch (...) {
        }
        std::fprintf(stderr, "mp3vandrel-server: %s\n", why.c_str());
        Answer(res, 503, "The poll is not available at the moment.\n");
    });
    server.set_error_handler([](const httplib::Request&, httplib::Response& res) {
        if (res.body.empty())
            res.set_content("Request refused (" + std::to_string(res.status) + ").\n",
                            "text/plain");
    });
}

void LogRequests(httplib::Server& server, std::function<void(const std::string&)> log) {
    if (!log) log = [](const std::string& line) { std::fprintf(stderr, "%s\n", line.c_str()); };
    server.set_logger([log](const httplib::Request& req, const httplib::Response& res) {
        std::string target = req.target.empty() ? req.path : req.target;
        log(Now() + " " + (req.remote_addr.empty() ? "-" : req.remote_addr) + " " +
            LogField(req.method, 16) + " \"" + LogField(target) + "\" " +
            std::to_string(res.status) + " " + std::to_string(res.body.size()));
    });
}

}  // namespace

void InstallPollService(httplib::Server& server, PollServiceParams params) {
    SetLimits(server);
    RouteDocuments(server, params.docs);
    RoutePoll(server, params.store);
    RouteRefusals(server);
    LogRequests(server, std::move(params.log));
}

}  // namespace mv
