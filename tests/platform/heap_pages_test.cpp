#include "platform/heap_pages.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace mv {
namespace {

TEST(HugePageTunables, AskedOnlyWhereTheKernelWaitsForTheWishAndNoneIsGiven) {
    struct Case {
        const char* mode;
        const char* tunables;
        std::optional<std::string> expected;
    };
    const Case cases[] = {
        {"always [madvise] never\n", nullptr, "glibc.malloc.hugetlb=1"},
        {"always [madvise] never\n", "", "glibc.malloc.hugetlb=1"},
        {"always [madvise] never\n", "glibc.malloc.arena_max=2",
         "glibc.malloc.arena_max=2:glibc.malloc.hugetlb=1"},
        // The user's own setting stands, whatever it says.
        {"always [madvise] never\n", "glibc.malloc.hugetlb=0", std::nullopt},
        {"always [madvise] never\n", "glibc.malloc.hugetlb=1", std::nullopt},
        // The kernel gives them anyway, never, or the file could not be read.
        {"[always] madvise never\n", nullptr, std::nullopt},
        {"always madvise [never]\n", nullptr, std::nullopt},
        {"", nullptr, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.mode) + " / " + (c.tunables ? c.tunables : "(unset)"));
        EXPECT_EQ(HugePageTunables(c.mode, c.tunables), c.expected);
    }
}

}  // namespace
}  // namespace mv
