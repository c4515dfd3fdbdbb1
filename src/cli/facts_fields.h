#pragma once

#include <atomic>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "cli/row_output.h"
#include "media/facts_batch.h"
#include "media/media_facts.h"

// One file's facts as the tool prints them: the facts command's rows and the
// columns --details adds to dupes and compare.
namespace mv::cli {

// GatherFacts through the program's facts cache, stopping when `stop` is
// set; a cache that cannot be used is said on `err` (the facts are complete
// without it).
FactsBatchResult GatherToolFacts(FactsBatchParams params, const std::atomic<bool>& stop,
                                 std::ostream& err);

// size, duration_ms, bitrate_kbps, vbr, sample_rate, channels, id3v1, id3v2,
// ape, audio_hash: the facts of a file after its path.
const std::vector<std::string>& FactsColumns();

// The texts of FactsColumns() for TSV and CSV: numbers in decimal, yes or no,
// the hash as 32 hex digits. Empty where a value is not known: every field
// when `facts` is null (a side that is no file), all but the size for a
// file that is not audio, the hash when the frames were not hashed.
std::vector<std::string> FactsFields(const MediaFacts* facts);

// The same as a JSON object keyed path and FactsColumns(): numbers,
// booleans, the hash as a string, null where a value is not known; null
// itself when `facts` is null.
JsonValue FactsJson(const std::string& path, const MediaFacts* facts);

// yes, no or - (not known, or a side that is no file), and true, false or null.
std::string SameAudioField(const std::optional<bool>& same);
JsonValue SameAudioJson(const std::optional<bool>& same);

}  // namespace mv::cli
