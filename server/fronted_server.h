#pragma once

#include <httplib.h>

#include "request_front.h"

namespace mv {

// The HTTP layer with its handling of one request opened to the front, which
// calls it with a request it has already read whole.
class FrontedServer : public httplib::Server {
  public:
    using httplib::Server::process_request;

    // The front's `handle` for this server; the server outlives the front.
    auto FrontHandler() {
        return [this](httplib::Stream& stream, bool close, bool& closed) {
            return process_request(stream, close, closed, nullptr);
        };
    }
};

}  // namespace mv
