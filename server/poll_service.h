#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "net/server_paths.h"
#include "poll_store.h"

namespace httplib {
class Server;
}

// The HTTP face of the server: the two version documents from a folder and
// the four poll requests from the store. Anything else gets a 4xx answer: an
// unknown path 404, a bad or missing number 400, POST, PUT, PATCH, DELETE or
// OPTIONS 405; a storage failure 503.
namespace mv {

struct PollServiceParams {
    PollStore& store;  // outlives the server
    std::filesystem::path docs;
    // One line per request; unset: standard error.
    std::function<void(const std::string&)> log;
};

// Registers the routes, limits and the log on `server`.
void InstallPollService(httplib::Server& server, PollServiceParams params);

// The vote reply: the message the poll window shows as it is.
std::string VoteMessage(const VoteOutcome& outcome, long long option);

// The file a document path (kVersionDocument, kLinkDocument) names in the
// document folder: the path without its leading "/".
std::string DocumentFileName(std::string_view documentPath);

// A request target as one printable log field: control and non-ASCII bytes
// escaped, long targets cut.
std::string LogField(std::string_view text, size_t max = 200);

}  // namespace mv
