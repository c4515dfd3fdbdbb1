#include "dupes/facts_text.h"

#include <cstdio>

#include "platform/clock_text.h"

namespace mv {
namespace {

constexpr const char* kDot = " \u00b7 ";

std::string Tenths(std::uint64_t tenths, const char* unit) {
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " " + unit;
}

std::string TagsText(const MediaFacts& f) {
    std::string tags;
    const auto add = [&tags](bool present, const char* name) {
        if (!present) return;
        if (!tags.empty()) tags += ", ";
        tags += name;
    };
    add(f.id3v1, "ID3v1");
    add(f.id3v2, "ID3v2");
    add(f.ape, "APE");
    return tags.empty() ? "no tag" : tags;
}

}  // namespace

std::string BytesText(std::uint64_t bytes) {
    // Rounded to tenths of each unit in turn; 999,960 bytes is 1000.0 kB,
    // which reads better as the 1.0 MB it is.
    static const char* const kUnits[] = {"kB", "MB", "GB"};
    std::uint64_t divisor = 100;  // a tenth of a kB
    for (int u = 0; u < 2; ++u, divisor *= 1000) {
        const std::uint64_t tenths = (bytes + divisor / 2) / divisor;
        if (tenths < 10000) return Tenths(tenths, kUnits[u]);
    }
    return Tenths((bytes + divisor / 2) / divisor, kUnits[2]);
}

std::string DurationText(std::int64_t ms) {
    const std::int64_t seconds = ms <= 0 ? 0 : (ms + 500) / 1000;
    return ClockText(seconds, seconds >= 3600);
}

std::string FactsText(const MediaFacts& facts) {
    if (facts.status != FactsStatus::Audio) {
        if (!facts.problem.empty()) return facts.problem;
        return facts.status == FactsStatus::NotMpegAudio ? "not MPEG audio" : "cannot be read";
    }
    return BytesText(facts.size) + kDot + DurationText(facts.durationMs) + kDot +
           std::to_string(facts.bitrateKbps) + " kbps " + (facts.vbr ? "VBR" : "CBR") + kDot +
           TagsText(facts);
}

}  // namespace mv
