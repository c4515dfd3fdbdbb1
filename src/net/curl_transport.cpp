#include <curl/curl.h>

#include <mutex>

#include "net/http_transport.h"

namespace mv {

namespace {

// The body as it arrives, up to a cap. Answering fewer bytes than offered
// makes libcurl end the transfer with a write error.
struct BodySink {
    std::string body;
    size_t cap = 0;
    bool overCap = false;
};

size_t AppendBody(char* data, size_t size, size_t count, void* target) {
    auto& sink = *static_cast<BodySink*>(target);
    const size_t n = size * count;
    if (n > sink.cap - sink.body.size()) {
        sink.overCap = true;
        return 0;
    }
    sink.body.append(data, n);
    return n;
}

std::string OverCapText(const std::string& url, size_t cap) {
    return url + ": the reply is longer than " + std::to_string(cap) + " bytes";
}

class CurlTransport : public HttpTransport {
  public:
    explicit CurlTransport(CurlTransportParams params) : params_(params) {
        // curl_global_init is not thread-safe; once per process is enough.
        static std::once_flag once;
        std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    }

    HttpReply Get(const HttpRequest& request) override {
        HttpReply reply;
        CURL* curl = curl_easy_init();
        if (curl == nullptr) {
            reply.error = "the HTTP client could not start";
            return reply;
        }
        const std::string url = RequestUrl(request.server, request.path);
        curl_slist* headers = nullptr;
        for (const auto& [name, value] : request.headers)
            headers = curl_slist_append(headers, (name + ": " + value).c_str());
        char errorText[CURL_ERROR_SIZE] = {};
        BodySink sink{{}, params_.maxReplyBytes, false};
        curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
        curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
        curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, request.followRedirects ? 1L : 0L);
        curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
        curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, params_.connectTimeoutMs);
        curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, params_.requestTimeoutMs);
        curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);  // timeouts without SIGALRM
        curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &AppendBody);
        curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);
        // A Content-Length over the cap is refused before any body is read.
        curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE,
                         static_cast<curl_off_t>(params_.maxReplyBytes));
        curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText);
        const CURLcode code = curl_easy_perform(curl);
        if (sink.overCap || code == CURLE_FILESIZE_EXCEEDED) {
            reply.error = OverCapText(url, params_.maxReplyBytes);
        } else if (code != CURLE_OK) {
            reply.error =
                url + ": " + (errorText[0] != '\0' ? errorText : curl_easy_strerror(code));
        } else {
            curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &reply.status);
            if (reply.status < 200 || reply.status > 299)
                reply.error =
                    url + ": the server answered with status " + std::to_string(reply.status);
            reply.body = std::move(sink.body);
        }
        curl_slist_free_all(headers);
        curl_easy_cleanup(curl);
        return reply;
    }

  private:
    CurlTransportParams params_;
};

}  // namespace

std::unique_ptr<HttpTransport> MakeCurlTransport(CurlTransportParams params) {
    return std::make_unique<CurlTransport>(params);
}

std::string RequestUrl(const std::string& server, const std::string& path) {
    if (server.starts_with("http://") || server.starts_with("https://")) {
        std::string base = server;
        while (!base.empty() && base.back() == '/') base.pop_back();
        return base + path;
    }
    return "http://" + server + path;
}

}  // namespace mv
