#include "dupes/facts_text.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

TEST(FactsText, BytesAtTheUnitEdges) {
    const std::pair<std::uint64_t, const char*> cases[] = {
        {0, "0.0 kB"},
        {49, "0.0 kB"},
        {50, "0.1 kB"},
        {1000, "1.0 kB"},
        {999'949, "999.9 kB"},
        {999'950, "1.0 MB"},  // 1000.0 kB reads as the next unit
        {4'123'456, "4.1 MB"},
        {999'950'000, "1.0 GB"},
        {21'449'999'999, "21.4 GB"},
        {21'450'000'000, "21.5 GB"},
        {3'000'000'000'000, "3000.0 GB"},
    };
    for (const auto& [bytes, text] : cases) EXPECT_EQ(BytesText(bytes), text) << bytes;
}

TEST(FactsText, Durations) {
    const std::pair<std::int64_t, const char*> cases[] = {
        {0, "0:00"},
        {-5, "0:00"},
        {499, "0:00"},
        {500, "0:01"},
        {232'000, "3:52"},
        {3'599'499, "59:59"},
        {3'599'500, "1:00:00"},
        {3'727'000, "1:02:07"},
        {36'000'000, "10:00:00"},
    };
    for (const auto& [ms, text] : cases) EXPECT_EQ(DurationText(ms), text) << ms;
}

TEST(FactsText, OneFileForPeople) {
    MediaFacts f;
    f.status = FactsStatus::Audio;
    f.size = 4'100'000;
    f.durationMs = 232'000;
    f.bitrateKbps = 128;
    f.id3v1 = true;
    EXPECT_EQ(FactsText(f), "4.1 MB \u00b7 3:52 \u00b7 128 kbps CBR \u00b7 ID3v1");
    f.vbr = true;
    f.id3v2 = true;
    f.ape = true;
    f.bitrateKbps = 245;
    EXPECT_EQ(FactsText(f), "4.1 MB \u00b7 3:52 \u00b7 245 kbps VBR \u00b7 ID3v1, ID3v2, APE");
    f.id3v1 = f.id3v2 = f.ape = false;
    EXPECT_EQ(FactsText(f), "4.1 MB \u00b7 3:52 \u00b7 245 kbps VBR \u00b7 no tag");
    f.status = FactsStatus::Unreadable;
    f.problem = "Permission denied";
    EXPECT_EQ(FactsText(f), "Permission denied");
}

}  // namespace
}  // namespace mv
