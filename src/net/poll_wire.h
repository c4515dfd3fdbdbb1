#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "net/server_paths.h"

// The poll's wire format: plain text replies where a "/" ends each item. The
// server formats with these functions and the poll window reads with them, so
// the two cannot drift apart. The readers follow the window's reading rules
// to the letter, odd inputs included (a missing last "/", a digit that names
// more options than the reply carries).
namespace mv {

// The one digit that counts the options caps a poll at nine.
inline constexpr size_t kMaxPollOptions = 9;

struct PollQuestion {
    std::string question;
    std::vector<std::string> options;
};

// The current question: one digit n, the question up to the first "/", then
// n options each ended by "/". nullopt when the reply is empty or its first
// character is not a digit. Without any "/" the rest of the reply is the
// question. When fewer than n options carry a "/", the unended rest is taken
// again for every missing one.
std::optional<PollQuestion> ParseQuestion(std::string_view reply);

// Items each ended by "/"; a last piece without "/" counts whole.
std::vector<std::string> ParseQuestionList(std::string_view reply);

struct ResultLine {
    std::string option;
    std::string count;  // as the server wrote it
};
// option/count/option/count/...; a last value without "/" is taken whole, a
// missing count is empty.
std::vector<ResultLine> ParseResults(std::string_view reply);
// "red - 12 votes."
std::string ResultLineText(const ResultLine& line);

// Why a question or option cannot travel on the wire, or empty when it can.
std::string WireTextProblem(std::string_view text);

// The server's side. Callers check WireTextProblem and the option count first.
std::string FormatQuestion(const PollQuestion& poll);
std::string FormatQuestionList(const std::vector<std::string>& questions);
std::string FormatResults(const std::vector<std::pair<std::string, long long>>& counts);

// A decimal number on the wire: digits only, no leading zero, at least 1, no
// more than `max`. nullopt for anything else.
std::optional<long long> ParseWireNumber(std::string_view text, long long max);

}  // namespace mv
