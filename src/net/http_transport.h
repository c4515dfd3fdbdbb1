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
    // (no connection, time limit, an error status), for one line of stderr.
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

struct CurlTransportParams {
    long connectTimeoutMs = kConnectTimeoutMs;
    long requestTimeoutMs = kRequestTimeoutMs;
};
// libcurl's easy interface; one handle per request, so nothing stays open
// between requests.
std::unique_ptr<HttpTransport> MakeCurlTransport(CurlTransportParams params = {});

// "http://" + server + path; a server given with its scheme is taken as it is.
std::string RequestUrl(const std::string& server, const std::string& path);

}  // namespace mv
