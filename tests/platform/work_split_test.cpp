#include "platform/work_split.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <vector>

namespace mv {
namespace {

TEST(SplitWork, EveryIndexOnceInBatchesOfAtMostTheSize) {
    for (const size_t count : {0, 1, 7, 8, 9, 1000}) {
        for (const unsigned threads : {1u, 2u, 3u}) {
            for (const size_t batch : {0, 1, 8}) {
                SCOPED_TRACE(testing::Message() << count << " " << threads << " " << batch);
                std::vector<std::atomic<int>> hits(count);
                std::atomic<bool> tooLong{false};
                SplitWork(count, threads, batch, [&](size_t begin, size_t end) {
                    if (end - begin > std::max<size_t>(batch, 1) || begin >= end) tooLong = true;
                    for (size_t k = begin; k < end; ++k) ++hits[k];
                });
                EXPECT_FALSE(tooLong);
                for (size_t k = 0; k < count; ++k) EXPECT_EQ(hits[k], 1) << k;
            }
        }
    }
}

TEST(SplitWork, OneThreadRunsInOrderAndAFailureStopsTheRest) {
    std::vector<size_t> order;
    SplitWork(10, 1, 3, [&](size_t begin, size_t) { order.push_back(begin); });
    EXPECT_EQ(order, (std::vector<size_t>{0, 3, 6, 9}));

    for (const unsigned threads : {1u, 2u}) {
        std::atomic<size_t> started{0};
        EXPECT_THROW(SplitWork(100000, threads, 1,
                               [&](size_t begin, size_t) {
                                   ++started;
                                   if (begin == 5) throw std::runtime_error("disk gone");
                               }),
                     std::runtime_error);
        EXPECT_LT(started, 100000u) << threads;
    }
}

}  // namespace
}  // namespace mv
