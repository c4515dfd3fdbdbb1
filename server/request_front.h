#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "request_framing.h"

namespace httplib {
class Stream;
}

// The server's front: one thread accepts the connections and reads each
// request whole (head and short body) under a deadline and a size bound,
// without a worker; only a complete request goes to a worker, which answers
// it from memory and hands a kept-alive connection back. So clients that
// trickle their heads hold a little memory each, never a worker, and the
// bounds on connections (in all and per client address) keep that memory
// bounded. A connection over a bound is answered 503 and closed; one whose
// request is not complete by the deadline is answered 408 and closed.
namespace mv {

struct RequestFrontParams {
    size_t workers = 64;
    size_t maxConnections = 1000;
    size_t maxPerAddress = 256;  // 0: no bound per address
    // From the connection's start, or the end of its previous answer, to its
    // request's last byte; it bounds an idle kept-alive connection too.
    std::chrono::milliseconds requestDeadline{10000};
    std::chrono::milliseconds writeTimeout{5000};
    size_t maxRequestsPerConnection = 100;
    RequestFrameParams frame;
    // Answers one request read from the stream (the HTTP layer's own request
    // handling); `closeConnection` asks for its last answer on the connection.
    // Returns false, or sets `connectionClosed`, when the connection must end.
    std::function<bool(httplib::Stream& stream, bool closeConnection, bool& connectionClosed)>
        handle;
    // One line for each request the front itself refuses; unset: none.
    std::function<void(const std::string&)> log;
};

class RequestFront {
  public:
    explicit RequestFront(RequestFrontParams params);
    ~RequestFront();
    RequestFront(const RequestFront&) = delete;
    RequestFront& operator=(const RequestFront&) = delete;

    // Listens on host:port (0: a free port, which is returned); -1 on failure.
    int Bind(const std::string& host, int port);
    // Serves until Stop(); returns once every worker has finished.
    void Run();
    // From any thread or a signal-waiting thread.
    void Stop();

  private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace mv
