#include "support/core/scoped_env.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using mv::test::ScopedEnv;

constexpr const char* kName = "MV_SCOPED_ENV_TEST";

std::optional<std::string> Now() {
    const char* value = std::getenv(kName);
    return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
}

TEST(ScopedEnvTest, RestoresAbsenceAndEarlierValuesThroughNestedAndUnsetGuards) {
    ::unsetenv(kName);
    {
        ScopedEnv outer(kName, "one");
        EXPECT_EQ(Now(), "one");
        {
            ScopedEnv inner(kName, "");  // empty is a value, not absence
            EXPECT_EQ(Now(), "");
            {
                ScopedEnv gone = ScopedEnv::Unset(kName);
                EXPECT_EQ(Now(), std::nullopt);
            }
            EXPECT_EQ(Now(), "");
        }
        EXPECT_EQ(Now(), "one");
    }
    EXPECT_EQ(Now(), std::nullopt);

    // Unsetting what was never there leaves it absent afterwards too.
    { ScopedEnv gone = ScopedEnv::Unset(kName); }
    EXPECT_EQ(Now(), std::nullopt);
}

}  // namespace
