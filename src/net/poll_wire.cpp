#include "net/poll_wire.h"

namespace mv {

namespace {

// Cuts the text before the first "/" off `rest` (and the "/" with it); a rest
// without "/" is taken whole and emptied.
std::string TakeItem(std::string_view& rest) {
    const size_t slash = rest.find('/');
    if (slash == std::string_view::npos) {
        std::string item(rest);
        rest = {};
        return item;
    }
    std::string item(rest.substr(0, slash));
    rest.remove_prefix(slash + 1);
    return item;
}

}  // namespace

std::optional<PollQuestion> ParseQuestion(std::string_view reply) {
    if (reply.empty() || reply[0] < '0' || reply[0] > '9') return std::nullopt;
    const int n = reply[0] - '0';
    std::string_view rest = reply.substr(1);
    PollQuestion poll;
    poll.question = TakeItem(rest);
    for (int i = 0; i < n; ++i) {
        const size_t slash = rest.find('/');
        if (slash == std::string_view::npos) {
            // The unended rest stays, so each further round takes it again.
            poll.options.emplace_back(rest);
            continue;
        }
        poll.options.emplace_back(rest.substr(0, slash));
        rest.remove_prefix(slash + 1);
    }
    return poll;
}

std::vector<std::string> ParseQuestionList(std::string_view reply) {
    std::vector<std::string> items;
    while (!reply.empty()) items.push_back(TakeItem(reply));
    return items;
}

std::vector<ResultLine> ParseResults(std::string_view reply) {
    std::vector<ResultLine> lines;
    while (!reply.empty()) {
        ResultLine line;
        line.option = TakeItem(reply);
        line.count = TakeItem(reply);
        lines.push_back(std::move(line));
    }
    return lines;
}

std::string ResultLineText(const ResultLine& line) {
    return line.option + " - " + line.count + " votes.";
}

std::string WireTextProblem(std::string_view text) {
    if (text.find('/') != std::string_view::npos)
        return "contains \"/\", which ends an item on the wire";
    for (const char c : text) {
        // A line break or other control byte would garble the window's one-line
        // captions and the server's log.
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            return "contains a control character";
    }
    return {};
}

std::string FormatQuestion(const PollQuestion& poll) {
    std::string out(1, static_cast<char>('0' + poll.options.size()));
    out += poll.question;
    out += '/';
    for (const auto& option : poll.options) {
        out += option;
        out += '/';
    }
    return out;
}

std::string FormatQuestionList(const std::vector<std::string>& questions) {
    std::string out;
    for (const auto& q : questions) {
        out += q;
        out += '/';
    }
    return out;
}

std::string FormatResults(const std::vector<std::pair<std::string, long long>>& counts) {
    std::string out;
    for (const auto& [option, count] : counts) {
        out += option;
        out += '/';
        out += std::to_string(count);
        out += '/';
    }
    return out;
}

std::optional<long long> ParseWireNumber(std::string_view text, long long max) {
    if (text.empty() || text.size() > 18 || text[0] == '0') return std::nullopt;
    long long value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value > max) return std::nullopt;
    return value;
}

}  // namespace mv
