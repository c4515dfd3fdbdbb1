// The program's facts against python3-mutagen's on a generated set: four
// encodings (CBR at two rates, mono at a lower sample rate, VBR with its
// Xing header) each under five sets of tags. Tolerances: the length within
// 50 ms (the two readers count lame's delay and padding frames differently),
// the bitrate within 2 kbit/s for VBR (each averages over a slightly
// different span), every other fact exact.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "media/media_facts.h"
#include "media_fixture.h"
#include "support/core/temp_tree.h"

namespace mv {
namespace {

std::vector<std::vector<long>> MutagenFacts(const std::vector<std::string>& paths) {
    std::string command = std::string("/usr/bin/python3 ") + MV_MUTAGEN_FACTS;
    for (const std::string& path : paths) command += " '" + path + "'";
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        while (const size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
        ::pclose(pipe);
    }
    std::vector<std::vector<long>> rows;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::vector<long> row;
        for (long v; fields >> v;) row.push_back(v);
        rows.push_back(row);
    }
    return rows;
}

TEST(MutagenDifferentialTest, FactsAgreeWithASecondReader) {
    if (!test::Mp3ToolsAvailable() ||
        std::system("/usr/bin/python3 -c 'import mutagen' 2>/dev/null") != 0) {
        GTEST_SKIP() << "sox, lame or python3-mutagen missing";
    }
    test::TempTree tree;
    const std::vector<std::pair<std::string, bool>> encodings = {
        {"-b 128", false},
        {"-b 320", false},
        {"-m m -b 48 --resample 22.05", false},
        {"-V 2", true}};
    const std::vector<std::pair<std::string, std::string>> tags = {
        {"", ""},
        {"", test::TagBlock("Title", "Artist")},
        {test::Id3v2Tag("Title", 512), ""},
        {test::Id3v2Tag("Title"), test::TagBlock("Title")},
        {"", test::ApeTag("Title") + test::TagBlock("Title")},
    };
    std::vector<std::string> paths;
    std::vector<bool> vbr;
    for (std::size_t e = 0; e < encodings.size(); ++e) {
        const auto audio = test::SweepMp3(tree.Path("work"), encodings[e].first, 2.5);
        ASSERT_TRUE(audio);
        for (std::size_t t = 0; t < tags.size(); ++t) {
            const std::string name = std::to_string(e) + "_" + std::to_string(t) + ".mp3";
            paths.push_back(
                test::WriteBytes(tree.Path(name), tags[t].first + *audio + tags[t].second));
            vbr.push_back(encodings[e].second);
        }
    }
    const auto expected = MutagenFacts(paths);
    ASSERT_EQ(expected.size(), paths.size());
    for (std::size_t i = 0; i < paths.size(); ++i) {
        SCOPED_TRACE(paths[i]);
        const MediaFacts f = ReadMediaFacts(paths[i], false);
        const std::vector<long>& m = expected[i];
        ASSERT_EQ(m.size(), 8u);
        ASSERT_EQ(f.status, FactsStatus::Audio) << f.problem;
        EXPECT_EQ(static_cast<long>(f.size), m[0]);
        EXPECT_NEAR(f.durationMs, m[1], 50);
        EXPECT_NEAR(f.bitrateKbps, m[2], vbr[i] ? 2 : 0);
        EXPECT_EQ(f.sampleRate, m[3]);
        EXPECT_EQ(f.channels, m[4]);
        EXPECT_EQ(f.id3v1, m[5] == 1);
        EXPECT_EQ(f.id3v2, m[6] == 1);
        EXPECT_EQ(f.ape, m[7] == 1);
        EXPECT_EQ(f.vbr, vbr[i]);
    }
}

}  // namespace
}  // namespace mv
