#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

// Plain HTTP GETs to the program's web server. The windows ask through this
// interface, so tests can put a scripted transport in place of the network.
namespace mv {

struct HttpRequest {
    std::string server;  // "host:port" (the settings key Server); "host" means port 80
    std::string path;    // from the root, e.g. "/Mp3VandrelVersion.txt"
    std::vector<std::pair<std::string, std::string>> headers;
    bool followRedirects = false;
};

struct HttpReply {
    // Empty when a body arrived with a 2xx status; else why the request failed
    // (no connection, time limit, a reply over the size cap, an error status),
    // for one line of stderr. A reply over the cap is reported as no answer:
    // status 0 and no body, as from a server that cannot be reached.
    std::string error;
    long status = 0;  // 0 when no answer came
    std::string body;
    bool Ok() const { return error.empty(); }
};

class HttpTransport {
  public:
    virtual ~HttpTransport() = default;
    // Blocks until the answer, the failure or the time limit.
    virtual HttpReply Get(const HttpRequest& request) = 0;
};

// The limits every request of the program keeps, so a dead server never hangs
// start-up or a window.
inline constexpr long kConnectTimeoutMs = 3000;
inline constexpr long kRequestTimeoutMs = 10000;
// A version document is a few bytes and a poll reply a few kilobytes; a longer
// reply (or one announced longer) is no answer, so an endless one cannot eat
// the memory within the time limit.
inline constexpr size_t kMaxReplyBytes = 64 * 1024;

struct CurlTransportParams {
    long connectTimeoutMs = kConnectTimeoutMs;
    long requestTimeoutMs = kRequestTimeoutMs;
    size_t maxReplyBytes = kMaxReplyBytes;
};
// libcurl's easy interface; one handle per request, so nothing stays open
// between requests.
std::unique_ptr<HttpTransport> MakeCurlTransport(CurlTransportParams params = {});

// "http://" + server + path; a server given with its scheme is taken as it is.
std::string RequestUrl(const std::string& server, const std::string& path);

}  // namespace mv
