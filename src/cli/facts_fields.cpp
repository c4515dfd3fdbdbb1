#include "cli/facts_fields.h"

#include <ostream>
#include <utility>

namespace mv::cli {
namespace {

// What the columns hold for one file, typed once for both renderings.
struct FactsValues {
    std::optional<long long> size, durationMs, bitrateKbps, sampleRate, channels;
    std::optional<bool> vbr, id3v1, id3v2, ape;
    std::optional<std::string> hash;
};

FactsValues ValuesOf(const MediaFacts* facts) {
    FactsValues v;
    if (!facts || facts->status == FactsStatus::Unreadable) return v;
    v.size = static_cast<long long>(facts->size);
    if (facts->status != FactsStatus::Audio) return v;
    v.durationMs = facts->durationMs;
    v.bitrateKbps = facts->bitrateKbps;
    v.vbr = facts->vbr;
    v.sampleRate = facts->sampleRate;
    v.channels = facts->channels;
    v.id3v1 = facts->id3v1;
    v.id3v2 = facts->id3v2;
    v.ape = facts->ape;
    if (facts->audioHash) v.hash = facts->audioHash->Hex();
    return v;
}

std::string Text(const std::optional<long long>& n) {
    return n ? std::to_string(*n) : std::string();
}

std::string Text(const std::optional<bool>& b) {
    return b ? (*b ? "yes" : "no") : "";
}

JsonValue Json(const std::optional<long long>& n) {
    return n ? JsonValue::Number(*n) : JsonValue::Null();
}

JsonValue Json(const std::optional<bool>& b) {
    return b ? JsonValue::Bool(*b) : JsonValue::Null();
}

}  // namespace

FactsBatchResult GatherToolFacts(FactsBatchParams params, const std::atomic<bool>& stop,
                                 std::ostream& err) {
    params.cacheFile = DefaultFactsCachePath();
    params.progress = [&stop](std::size_t, std::size_t) { return !stop.load(); };
    FactsBatchResult result = GatherFacts(params);
    if (!result.cacheProblem.empty()) {
        err << "The facts cache cannot be used: " << result.cacheProblem << '\n';
    }
    return result;
}

const std::vector<std::string>& FactsColumns() {
    static const std::vector<std::string> columns = {
        "size",     "duration_ms", "bitrate_kbps", "vbr", "sample_rate",
        "channels", "id3v1",       "id3v2",        "ape", "audio_hash"};
    return columns;
}

std::vector<std::string> FactsFields(const MediaFacts* facts) {
    const FactsValues v = ValuesOf(facts);
    return {Text(v.size),       Text(v.durationMs), Text(v.bitrateKbps), Text(v.vbr),
            Text(v.sampleRate), Text(v.channels),   Text(v.id3v1),       Text(v.id3v2),
            Text(v.ape),        v.hash.value_or("")};
}

JsonValue FactsJson(const std::string& path, const MediaFacts* facts) {
    if (!facts) return JsonValue::Null();
    const FactsValues v = ValuesOf(facts);
    const JsonValue values[] = {
        Json(v.size),        Json(v.durationMs),
        Json(v.bitrateKbps), Json(v.vbr),
        Json(v.sampleRate),  Json(v.channels),
        Json(v.id3v1),       Json(v.id3v2),
        Json(v.ape),         v.hash ? JsonValue::Text(*v.hash) : JsonValue::Null()};
    std::vector<std::pair<std::string, JsonValue>> members = {{"path", JsonValue::Text(path)}};
    for (size_t i = 0; i < FactsColumns().size(); ++i) {
        members.emplace_back(FactsColumns()[i], values[i]);
    }
    return JsonValue::Object(std::move(members));
}

std::string SameAudioField(const std::optional<bool>& same) {
    return same ? (*same ? "yes" : "no") : "-";
}

JsonValue SameAudioJson(const std::optional<bool>& same) {
    return Json(same);
}

}  // namespace mv::cli
