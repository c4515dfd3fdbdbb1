#pragma once

#include <chromaprint.h>

#include <string>

// Chromaprint, loaded when the first print is made rather than when the
// program starts: through libavcodec it brings in some ninety libraries,
// which would cost every run of the tool and the window about 15 ms of
// start-up whether it prints or not.
namespace mv {

struct ChromaprintApi {
    decltype(&chromaprint_new) create = nullptr;
    decltype(&chromaprint_free) destroy = nullptr;
    decltype(&chromaprint_start) start = nullptr;
    decltype(&chromaprint_feed) feed = nullptr;
    decltype(&chromaprint_finish) finish = nullptr;
    decltype(&chromaprint_get_raw_fingerprint) rawFingerprint = nullptr;
    decltype(&chromaprint_dealloc) dealloc = nullptr;
    decltype(&chromaprint_get_item_duration) itemDuration = nullptr;
    decltype(&chromaprint_get_sample_rate) sampleRate = nullptr;
    decltype(&chromaprint_get_version) version = nullptr;
};

// The library's entry points, loaded on the first call (from any thread) and
// kept for the life of the process. Null when it cannot be loaded or lacks
// one of them; `problem` then says why (the same text on every call).
const ChromaprintApi* Chromaprint(std::string* problem = nullptr);

}  // namespace mv
