#include "collection_plan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <set>

#include "dupes/candidate_index.h"
#include "dupes/name_matcher.h"

namespace mv {
namespace {

bool MatchesMp3(const std::string& name) {
    if (name.size() < 4) return false;
    std::string ext = name.substr(name.size() - 4);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".mp3";
}

bool ValidUtf8(const std::string& s) {
    for (size_t k = 0; k < s.size();) {
        const auto c = static_cast<unsigned char>(s[k]);
        const size_t len = c < 0x80         ? 1
                           : (c >> 5) == 6  ? 2
                           : (c >> 4) == 14 ? 3
                           : (c >> 3) == 30 ? 4
                                            : 0;
        if (len == 0 || k + len > s.size()) return false;
        for (size_t m = 1; m < len; ++m) {
            if ((static_cast<unsigned char>(s[k + m]) >> 6) != 2) return false;
        }
        k += len;
    }
    return true;
}

TEST(CollectionPlan, SameSeedSameCollection) {
    const CollectionPlan a = PlanCollection({300, 7, 200, 0.1});
    const CollectionPlan b = PlanCollection({300, 7, 200, 0.1});
    const CollectionPlan c = PlanCollection({300, 8, 200, 0.1});
    ASSERT_EQ(a.files.size(), b.files.size());
    for (size_t k = 0; k < a.files.size(); ++k) {
        EXPECT_EQ(a.files[k].folder + "/" + a.files[k].name,
                  b.files[k].folder + "/" + b.files[k].name);
        EXPECT_EQ(a.files[k].size, b.files[k].size);
    }
    EXPECT_EQ(a.listLines, b.listLines);
    EXPECT_NE(a.files[0].name + a.files[1].name, c.files[0].name + c.files[1].name);
}

TEST(CollectionPlan, FilesAreUsableOnDisk) {
    const CollectionPlan plan = PlanCollection({2000, 3, 0, 0.1});
    ASSERT_EQ(plan.files.size(), 2000u);
    size_t near = 0;
    std::map<std::string, std::set<std::string>> byFolder;
    for (const PlannedFile& f : plan.files) {
        near += f.nearDuplicate;
        EXPECT_TRUE(byFolder[f.folder].insert(f.name).second)
            << "twice: " << f.folder << "/" << f.name;
        EXPECT_TRUE(ValidUtf8(f.name)) << f.name;
        EXPECT_EQ(f.name.find('/'), std::string::npos) << f.name;
        EXPECT_TRUE(MatchesMp3(f.name)) << f.name;
        // Every folder component is a plain, visible name.
        size_t start = 0;
        while (start <= f.folder.size()) {
            const size_t end = std::min(f.folder.find('/', start), f.folder.size());
            const std::string part = f.folder.substr(start, end - start);
            EXPECT_FALSE(part.empty() || part[0] == '.' || part == "..") << f.folder;
            start = end + 1;
        }
    }
    EXPECT_EQ(near, 200u);
}

TEST(CollectionPlan, CatalogueFollowsTheListLayout) {
    const CollectionPlan plan = PlanCollection({500, 5, 1500, 0.1});
    ASSERT_FALSE(plan.listLines.empty());
    EXPECT_EQ(plan.listLines[0], "\\Mp3 List");
    size_t titles = 0;
    int depth = 0;
    size_t cds = 0;
    for (size_t k = 1; k < plan.listLines.size(); ++k) {
        const std::string& line = plan.listLines[k];
        ASSERT_FALSE(line.empty());
        if (line[0] == '\\') {
            EXPECT_EQ(depth, 0) << "a CD left inside a folder before line " << k;
            ++cds;
        } else if (line[0] == '/') {
            ++depth;
        } else if (line == "..") {
            --depth;
            EXPECT_GE(depth, 0) << "climbs above the CD at line " << k;
        } else {
            ++titles;
            EXPECT_EQ(NormalizeName(line), line) << "not a normalised title: " << line;
        }
    }
    EXPECT_EQ(depth, 0);
    EXPECT_EQ(titles, 1500u);
    EXPECT_EQ(plan.listTitles, 1500u);
    EXPECT_GE(cds, 6u);  // at most 250 titles to a CD
}

// The index against the all-pairs truth on names as people write them.
TEST(CollectionPlan, IndexKeepsEveryMatchOfARealisticCollection) {
    const CollectionPlan plan = PlanCollection({900, 11, 0, 0.1});
    std::vector<PreparedName> names;
    for (const PlannedFile& f : plan.files) names.push_back(PrepareName(NormalizeName(f.name)));
    for (int percent : {50, 80, 100, 101}) {
        const auto index = CandidateIndex::Build(names, percent);
        size_t matches = 0;
        for (uint32_t i = 0; i < names.size(); ++i) {
            std::vector<uint32_t> got;
            index->Candidates(names[i], i + 1, got);
            for (uint32_t j = i + 1; j < names.size(); ++j) {
                if (!PreparedNamesMatch(names[j], names[i], percent)) continue;
                ++matches;
                EXPECT_TRUE(std::binary_search(got.begin(), got.end(), j))
                    << percent << "%: " << plan.files[j].name << " / " << plan.files[i].name;
            }
        }
        if (percent == 80) {
            EXPECT_GT(matches, 30u) << "near-duplicates should match";
        }
    }
}

}  // namespace
}  // namespace mv
