// Where the front cuts the first request out of the bytes a client sent, and
// what it refuses before any handler sees it.
#include "request_framing.h"

#include <gtest/gtest.h>

namespace {

using Kind = mv::RequestFrame::Kind;

TEST(RequestFraming, CutsTheFirstRequestAndRefusesBodiesItCannotFrame) {
    const std::string get = "GET /x HTTP/1.1\r\nHost: h\r\n\r\n";
    const std::string post = "POST /x HTTP/1.1\r\nContent-Length: 3\r\n\r\n";
    const struct {
        std::string bytes;
        Kind kind;
        size_t lengthOrStatus;
    } cases[] = {
        {get, Kind::Complete, get.size()},
        {get + "GET /y HTTP/1.1\r\n", Kind::Complete, get.size()},
        {get.substr(0, get.size() - 2), Kind::Incomplete, 0},
        {"", Kind::Incomplete, 0},
        // Lines end at LF; only a line of exactly CR LF ends the head.
        {"GET /x HTTP/1.1\n\r\n", Kind::Complete, 18},
        {"GET /x HTTP/1.1\r\nA: b\n\r\nrest", Kind::Complete, 24},
        {"GET /x HTTP/1.1\r\nA: b\n\nB: c\r\n", Kind::Incomplete, 0},
        {"\r\n\r\n", Kind::Complete, 4},
        {post + "ab", Kind::Incomplete, 0},
        {post + "abcGET", Kind::Complete, post.size() + 3},
        {"POST /x HTTP/1.1\r\ncontent-length:  3 \r\nContent-Length: 3\r\n\r\nabc", Kind::Complete,
         63},
        {"GET /x HTTP/1.1\r\nContent-Length: 0\r\n\r\n", Kind::Complete, 38},
        {"GET /x HTTP/1.1\r\nContent-Length: -5\r\n\r\n", Kind::Refused, 400},
        {"GET /x HTTP/1.1\r\nContent-Length: 5\r\n\r\nhello", Kind::Refused, 400},
        {"HEAD /x HTTP/1.1\r\nContent-Length: 1\r\n\r\nx", Kind::Refused, 400},
        {"POST /x HTTP/1.1\r\nContent-Length: 3x\r\n\r\n", Kind::Refused, 400},
        {"POST /x HTTP/1.1\r\nContent-Length: 99999999999999999999\r\n\r\n", Kind::Refused, 400},
        {"POST /x HTTP/1.1\r\nContent-Length: 3\r\nContent-Length: 4\r\n\r\n", Kind::Refused, 400},
        {"GET /x HTTP/1.1\r\ntransfer-encoding: chunked\r\n\r\nzz\r\n", Kind::Refused, 400},
        {"POST /x HTTP/1.1\r\nContent-Length: 65537\r\n\r\n", Kind::Refused, 413},
        {"GET /" + std::string(40000, 'a'), Kind::Refused, 431},
        {"GET /x HTTP/1.1\r\nA: " + std::string(33000, 'a') + "\r\n\r\n", Kind::Refused, 431},
    };
    for (const auto& c : cases) {
        const auto frame = mv::FrameRequest(c.bytes);
        const auto shown = c.bytes.substr(0, 60);
        EXPECT_EQ(frame.kind, c.kind) << shown;
        const size_t got = c.kind == Kind::Complete  ? frame.length
                           : c.kind == Kind::Refused ? static_cast<size_t>(frame.status)
                                                     : 0;
        EXPECT_EQ(got, c.lengthOrStatus) << shown;
    }
}

// Replies are served whole, so a Range header never reaches the HTTP layer;
// every other byte of the request, its body included, stays.
TEST(RequestFraming, RangeHeadersAreLeftOutAndNothingElse) {
    const struct {
        std::string request, handed;
    } cases[] = {
        {"GET /x HTTP/1.1\r\nRange: bytes=0-1\r\nHost: h\r\n\r\n",
         "GET /x HTTP/1.1\r\nHost: h\r\n\r\n"},
        {"GET /x HTTP/1.1\r\nhost: h\r\n range :bytes=2-\r\nRANGE: x\n\r\n",
         "GET /x HTTP/1.1\r\nhost: h\r\n\r\n"},
        {"GET /Range: HTTP/1.1\r\nRanges: no\r\n\r\n",
         "GET /Range: HTTP/1.1\r\nRanges: no\r\n\r\n"},
        {"POST /x HTTP/1.1\r\nContent-Length: 11\r\n\r\nRange: 0-1\r\n",
         "POST /x HTTP/1.1\r\nContent-Length: 11\r\n\r\nRange: 0-1\r\n"},
        {"GET /x HTTP/1.1\r\n\r\n", "GET /x HTTP/1.1\r\n\r\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(mv::WithoutRangeHeaders(c.request), c.handed) << c.request;
        const auto frame = mv::FrameRequest(c.handed);
        EXPECT_EQ(frame.kind, Kind::Complete) << c.handed;
    }
}

// A request grows byte by byte: it is incomplete until its last byte, then
// complete with its own length, whatever follows; resuming the search where
// the last one stopped finds what a search from the start finds.
TEST(RequestFraming, EveryPrefixOfARequestIsIncomplete) {
    const std::string request =
        "POST /v HTTP/1.1\r\nHost: h\n\r\r\nA:\r\nContent-Length: 4\r\n\r\nbody";
    size_t searched = 0;
    for (size_t n = 0; n <= request.size(); ++n) {
        const auto resumed = mv::FrameRequest(request.substr(0, n), {}, searched);
        const auto fresh = mv::FrameRequest(request.substr(0, n));
        EXPECT_EQ(resumed.kind, n < request.size() ? Kind::Incomplete : Kind::Complete) << n;
        EXPECT_EQ(resumed.kind, fresh.kind) << n;
        EXPECT_EQ(resumed.searched, fresh.searched) << n;
        searched = resumed.searched;
    }
    const auto frame = mv::FrameRequest(request + request);
    EXPECT_EQ(frame.kind, Kind::Complete);
    EXPECT_EQ(frame.length, request.size());
}

}  // namespace
