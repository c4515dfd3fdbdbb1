#include "dupes/index_postings.h"

#include <gtest/gtest.h>

#include <vector>

namespace mv {
namespace {

// One word held by two names: name 0 of one word, name 1 of two. A kept
// index holds its postings as flat arrays; Load must refuse any whose
// segments a probe would misread, since a probe stops reading a word's
// segments at the first one too long.
TEST(PostingsLoad, AWordsSegmentsMustGoShortestFirst) {
    const std::vector<uint32_t> nameOffsets = {0, 1, 3};
    const std::vector<uint32_t> nameWords = {0, 0, 0};
    struct Case {
        std::vector<uint32_t> lengths, names;
        bool loads;
    };
    const Case cases[] = {
        {{1, 2}, {0, 1}, true},
        {{2, 1}, {1, 0}, false},  // every record fits its length, but the order is wrong
        {{1, 1}, {0, 0}, false},  // one length twice
    };
    for (const Case& c : cases) {
        BlobWriter out;
        out.Put(std::vector<uint32_t>{0, 2});  // names filed under word 0
        out.Put(std::vector<uint32_t>{0, 2});  // its segments
        out.Put(c.lengths);
        out.Put(std::vector<uint32_t>{1, 1});  // one name in each
        out.Put(std::vector<uint64_t>{0, 1});  // where each segment's names start
        out.Put(c.names);
        const std::string bytes = out.Release();
        BlobReader in(bytes);
        Postings postings;
        EXPECT_EQ(postings.Load(in, 1, nameOffsets, nameWords), c.loads)
            << c.lengths[0] << "," << c.lengths[1];
    }
}

}  // namespace
}  // namespace mv
