// The facts of an MP3 file. Input: the bytes of a file. Whatever they are,
// the reading never crashes, and what it says holds together: the audio range
// lies inside the file, only audio is hashed, and the hash is that of the
// bytes of the range. The sound print of the same bytes never crashes either,
// and a print scores 1 against itself.
// Header-only here: the fuzz target checks the hash without linking xxHash.
#define XXH_INLINE_ALL
#include <xxhash.h>

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz_files.h"
#include "media/media_facts.h"
#include "media/print_similarity.h"
#include "media/sound_print.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto path = WriteFuzzFile("song.mp3", bytes);
    const mv::MediaFacts facts = mv::ReadMediaFacts(path.string(), true);
    // A few seconds are plenty to reach the decoder's every path.
    const mv::SoundPrintResult print = mv::ReadSoundPrint({path.string(), 5});
    FUZZ_CHECK(print.keyed && print.key.size == size);
    if (print.status == mv::SoundPrintStatus::Printed) {
        FUZZ_CHECK(print.problem.empty() && print.print.durationMs <= 5000);
        const auto& items = print.print.items;
        FUZZ_CHECK(items.size() < 16 || mv::ComparePrints(items, items).similarity == 1.0);
    } else {
        FUZZ_CHECK(!print.problem.empty() && print.print.items.empty());
    }
    FUZZ_CHECK(facts.status != mv::FactsStatus::Unreadable);
    FUZZ_CHECK(facts.size == size);
    if (facts.status == mv::FactsStatus::NotMpegAudio) {
        FUZZ_CHECK(facts.problem == "not MPEG audio");
        FUZZ_CHECK(!facts.audioHash);
        return 0;
    }
    FUZZ_CHECK(facts.problem.empty());
    FUZZ_CHECK(facts.audioOffset + facts.audioLength <= size);
    FUZZ_CHECK(facts.durationMs > 0 && facts.sampleRate > 0);
    FUZZ_CHECK(facts.audioHash.has_value());
    const XXH128_hash_t expected = XXH3_128bits(data + facts.audioOffset, facts.audioLength);
    FUZZ_CHECK(facts.audioHash->high == expected.high64 && facts.audioHash->low == expected.low64);
    FUZZ_CHECK(mv::SameAudio(facts, facts) == true);
    return 0;
}
