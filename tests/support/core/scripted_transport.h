#pragma once

#include <deque>
#include <string>
#include <vector>

#include "net/http_transport.h"

namespace mv::test {

// A transport for tests: records every request and answers from a queue; an
// unexpected request gets a refused-connection failure.
class ScriptedTransport : public mv::HttpTransport {
  public:
    void Answer(std::string body) { replies_.push_back({{}, 200, std::move(body)}); }
    void Fail(std::string error, long status = 0) {
        replies_.push_back({std::move(error), status, {}});
    }

    mv::HttpReply Get(const mv::HttpRequest& request) override {
        requests.push_back(request);
        if (replies_.empty()) return {"connection refused (nothing scripted)", 0, {}};
        auto reply = replies_.front();
        replies_.pop_front();
        return reply;
    }
    // The paths asked for, in order.
    std::vector<std::string> Paths() const {
        std::vector<std::string> paths;
        for (const auto& r : requests) paths.push_back(r.path);
        return paths;
    }
    size_t Pending() const { return replies_.size(); }

    std::vector<mv::HttpRequest> requests;

  private:
    std::deque<mv::HttpReply> replies_;
};

}  // namespace mv::test
