#pragma once

#include <string>

#include "net/http_transport.h"
#include "net/poll_wire.h"

// The four requests of the poll window, each with the headers the window has
// always sent and without following redirects.
namespace mv {

class PollClient {
  public:
    // `transport` outlives the client.
    PollClient(HttpTransport& transport, std::string server)
        : transport_(transport), server_(std::move(server)) {}

    void SetServer(std::string server) { server_ = std::move(server); }

    HttpReply CurrentQuestion() { return Get(kPollPath); }
    HttpReply QuestionList() { return Get(kQuestionListPath); }
    // `questionNo` counts from 1 in the server's order of questions.
    HttpReply Results(int questionNo) {
        return Get(std::string(kResultsPath) + "?" + kQuestionNumberParam + "=" +
                   std::to_string(questionNo));
    }
    // `option` counts from 1; the server votes on its current question.
    HttpReply Vote(int option) {
        return Get(std::string(kVotePath) + "?" + kVoteParam + "=" + std::to_string(option));
    }

  private:
    HttpReply Get(std::string path) {
        return transport_.Get({server_,
                               std::move(path),
                               {{"Accept", "text/html, */*"},
                                {"User-Agent", "Mozilla/3.0 (compatible; Indy Library)"}},
                               false});
    }

    HttpTransport& transport_;
    std::string server_;
};

}  // namespace mv
