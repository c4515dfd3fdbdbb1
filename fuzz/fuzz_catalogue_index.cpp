// The reader of the kept list index, and the index it gives back. Input: one
// control byte, then either a list's lines (bit 1 clear: the index of those
// lines is built, kept as bytes and read back, and must answer as the built
// one does) or an index file's bytes (bit 1 set: read under the key, line
// count and percentage its own header names; with bit 0 set the body's
// checksum is made right first, so the checks behind it are reached). An
// index the reader accepts must answer every question without a fault.
#include <xxhash.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "dupes/candidate_index.h"
#include "dupes/list_index_file.h"
#include "dupes/name_matcher.h"
#include "fuzz_files.h"
#include "platform/text_lines.h"

namespace {

std::vector<mv::PreparedName> Prepared(const std::vector<std::string>& lines) {
    std::vector<mv::PreparedName> names;
    for (const std::string& line : lines) names.push_back(mv::PrepareName(mv::NormalizeName(line)));
    return names;
}

// Every reference and the candidates of each probe, checked for shape.
void Exercise(const mv::CandidateIndex& index, const std::vector<mv::PreparedName>& probes) {
    for (uint32_t j = 0; j < index.Count(); ++j) (void)index.Ref(j);
    std::vector<uint32_t> out;
    for (const mv::PreparedName& probe : probes) {
        out.clear();
        index.Candidates(probe, 0, out);
        for (size_t k = 0; k < out.size(); ++k) {
            FUZZ_CHECK(out[k] < index.Count() && (k == 0 || out[k - 1] < out[k]));
        }
    }
}

void RoundTrip(std::string_view bytes, int percent) {
    const std::vector<std::string> lines = mv::SplitLines(bytes);
    const std::vector<mv::PreparedName> refs = Prepared(lines);
    const auto built = mv::CandidateIndex::Build(refs, percent);
    const mv::ListKey key = mv::KeyOfLines(lines);
    const std::string kept = mv::ListIndexBytes(*built, key, lines.size(), percent);
    FUZZ_CHECK(!kept.empty());
    const auto loaded = mv::ReadListIndexBytes(kept, key, lines.size(), percent);
    FUZZ_CHECK(loaded != nullptr && loaded->Count() == refs.size());
    std::vector<uint32_t> a, b;
    for (uint32_t j = 0; j < refs.size(); ++j) {
        const mv::PreparedName ref = loaded->Ref(j);
        FUZZ_CHECK(ref.words == refs[j].words &&
                   ref.startsWithBackslash == refs[j].startsWithBackslash);
        a.clear();
        b.clear();
        built->Candidates(refs[j], j / 2, a);
        loaded->Candidates(refs[j], j / 2, b);
        FUZZ_CHECK(a == b);
    }
}

void ReadFile(std::string bytes, bool fixChecksum) {
    if (bytes.size() < 64) {
        FUZZ_CHECK(mv::ReadListIndexBytes(bytes, {}, 0, 80) == nullptr);
        return;
    }
    uint32_t percent = 0;
    mv::ListKey key;
    uint64_t lineCount = 0;
    std::memcpy(&percent, bytes.data() + 12, 4);
    std::memcpy(&key.low, bytes.data() + 16, 8);
    std::memcpy(&key.high, bytes.data() + 24, 8);
    std::memcpy(&lineCount, bytes.data() + 32, 8);
    if (fixChecksum) {
        const uint64_t bodySize = bytes.size() - 64;
        const uint64_t sum = XXH3_64bits(bytes.data() + 64, bodySize);
        std::memcpy(bytes.data() + 48, &bodySize, 8);
        std::memcpy(bytes.data() + 56, &sum, 8);
    }
    const auto index = mv::ReadListIndexBytes(bytes, key, lineCount, static_cast<int>(percent));
    if (index == nullptr) return;
    FUZZ_CHECK(index->Count() == lineCount);
    Exercise(*index, Prepared({"love song.mp3", "a", "", "01 The Night Nightfall.mp3"}));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    if ((data[0] & 2) == 0) {
        // Percentages 1..101 have a word index to keep.
        RoundTrip(rest, 1 + (data[0] >> 2) * 100 / 63);
    } else {
        ReadFile(std::string(rest), (data[0] & 1) != 0);
    }
    return 0;
}
