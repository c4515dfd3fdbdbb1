#include "request_framing.h"

#include <algorithm>
#include <optional>

namespace mv {

namespace {

bool IEquals(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// Digits only, at most 18 of them (so no overflow); nullopt otherwise.
std::optional<size_t> ParseLength(std::string_view text) {
    if (text.empty() || text.size() > 18) return std::nullopt;
    size_t n = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + static_cast<size_t>(c - '0');
    }
    return n;
}

RequestFrame Refuse(int status, std::string why) {
    return {RequestFrame::Kind::Refused, 0, status, std::move(why)};
}

// What the header lines between the request line and the empty line say of
// the body: its length, or a refusal.
RequestFrame BodyLength(std::string_view headers) {
    std::optional<size_t> length;
    while (!headers.empty()) {
        const size_t end = headers.find('\n');
        const std::string_view line = headers.substr(0, end);
        headers.remove_prefix(end == std::string_view::npos ? headers.size() : end + 1);
        const size_t colon = line.find(':');
        if (colon == std::string_view::npos) continue;
        const std::string_view name = Trim(line.substr(0, colon));
        const std::string_view value = Trim(line.substr(colon + 1));
        if (IEquals(name, "Transfer-Encoding"))
            return Refuse(400, "a body in Transfer-Encoding is not taken");
        if (!IEquals(name, "Content-Length")) continue;
        const auto n = ParseLength(value);
        if (!n) return Refuse(400, "a malformed Content-Length");
        if (length && *length != *n) return Refuse(400, "two different Content-Lengths");
        length = n;
    }
    return {RequestFrame::Kind::Complete, length.value_or(0), 0, {}};
}

bool IsRangeLine(std::string_view line) {
    const size_t colon = line.find(':');
    return colon != std::string_view::npos && IEquals(Trim(line.substr(0, colon)), "Range");
}

}  // namespace

std::string WithoutRangeHeaders(std::string_view request) {
    // The head ends as FrameRequest finds it: at the empty line after the
    // request line. The request line is never a header.
    const size_t lineEnd = request.find('\n');
    const size_t emptyLine = request.find("\n\r\n", lineEnd);
    if (emptyLine == std::string_view::npos) return std::string(request);
    std::string kept(request.substr(0, lineEnd + 1));
    kept.reserve(request.size());
    size_t at = lineEnd + 1;
    while (at <= emptyLine) {
        const size_t end = request.find('\n', at) + 1;
        const std::string_view line = request.substr(at, end - at);
        if (!IsRangeLine(line)) kept.append(line);
        at = end;
    }
    kept.append(request.substr(at));
    return kept;
}

RequestFrame FrameRequest(std::string_view bytes, const RequestFrameParams& params,
                          size_t searched) {
    const size_t lineEnd = bytes.find('\n');
    size_t headEnd = std::string_view::npos;
    const size_t from = lineEnd == std::string_view::npos ? lineEnd : std::max(lineEnd, searched);
    for (size_t at = bytes.find('\n', from); at != std::string_view::npos;
         at = bytes.find('\n', at + 1)) {
        // An empty line: "\r\n" just after the previous line's end.
        if (at >= lineEnd + 2 && bytes[at - 1] == '\r' && bytes[at - 2] == '\n') {
            headEnd = at + 1;
            break;
        }
    }
    if (headEnd == std::string_view::npos) {
        if (bytes.size() > params.maxHeadBytes) return Refuse(431, "the head is too long");
        RequestFrame waiting;
        waiting.searched = bytes.size();
        return waiting;
    }
    if (headEnd > params.maxHeadBytes) return Refuse(431, "the head is too long");
    auto frame = BodyLength(bytes.substr(lineEnd + 1, headEnd - lineEnd - 1));
    if (frame.kind == RequestFrame::Kind::Refused) return frame;
    const std::string_view method = bytes.substr(0, bytes.find(' '));
    if (frame.length > 0 && (method == "GET" || method == "HEAD"))
        return Refuse(400, "a GET or HEAD with a body");
    if (frame.length > params.maxBodyBytes) return Refuse(413, "the body is too long");
    frame.length += headEnd;
    if (bytes.size() < frame.length) return {};
    return frame;
}

}  // namespace mv
