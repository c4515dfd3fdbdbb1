#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Where one request ends in the bytes a client has sent so far, decided before
// any handler sees it: the server takes the whole request into memory first,
// so a slow client never holds a worker. It takes no request bodies beyond a
// short one it can frame by Content-Length; anything it cannot frame safely is
// refused, and the connection closed, so no bytes of a body are ever read as
// the next request.
namespace mv {

struct RequestFrameParams {
    size_t maxHeadBytes = 32 * 1024;  // the request line and every header line
    size_t maxBodyBytes = 64 * 1024;
};

struct RequestFrame {
    enum class Kind { Incomplete, Complete, Refused };
    Kind kind = Kind::Incomplete;
    size_t length = 0;  // Complete: the request's bytes, head and body
    int status = 0;     // Refused: the status to answer with
    std::string why;    // Refused: for the log
    // Incomplete: the bytes known to hold no end of the head, to resume from
    // when more have come (so a head trickled in is not searched again and
    // again from its start); 0 once the head has ended and only body is due.
    size_t searched = 0;
};

// Frames the first request in `bytes`. A head ends, as the HTTP layer reads
// it, at the first empty line ("\r\n") after the request line; lines end at
// LF. Refused: a head over the bound (431); a Transfer-Encoding (400: a body
// that cannot be framed without reading it); a Content-Length that is not
// digits, or repeated with another value (400); a GET or HEAD with a body
// (400); a body over the bound (413).
// `searched` is an earlier Incomplete frame's, for the same bytes grown.
RequestFrame FrameRequest(std::string_view bytes, const RequestFrameParams& params = {},
                          size_t searched = 0);

// `request` (one whole request, as framed) without its Range header lines.
// Every document and poll reply is served whole: the HTTP layer would cut a
// body to a range after the handler and still answer 200, so a client could
// take a cut reply for the whole one.
std::string WithoutRangeHeaders(std::string_view request);

}  // namespace mv
