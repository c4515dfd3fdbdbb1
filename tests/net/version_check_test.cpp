// The version check on a scripted transport: which requests it makes, when it
// asks, and how every kind of failure ends it quietly.
#include "net/version_check.h"

#include <gtest/gtest.h>

#include "support/core/scripted_transport.h"

namespace {

using mv::test::ScriptedTransport;

struct CheckRun {
    mv::VersionCheckResult result;
    int questions = 0;
};

CheckRun Check(ScriptedTransport& transport, bool answerYes) {
    CheckRun run;
    run.result = mv::CheckForNewVersion({transport, "example.test:8080", [&] {
                                             ++run.questions;
                                             return answerYes;
                                         }});
    return run;
}

TEST(VersionCheck, NewerVersionAskedAndLinkFetchedOnlyOnYes) {
    ScriptedTransport t;
    t.Answer("1.6\r\n");
    t.Answer("http://example.org/get\r\n");
    CheckRun run = Check(t, true);
    EXPECT_EQ(run.questions, 1);
    EXPECT_EQ(run.result.link, "http://example.org/get\r\n");  // as it came
    EXPECT_EQ(run.result.error, "");
    EXPECT_EQ(t.Paths(), (std::vector<std::string>{"/Mp3VandrelVersion.txt", "/DlLink.txt"}));
    for (const auto& r : t.requests) {
        EXPECT_EQ(r.server, "example.test:8080");
        EXPECT_TRUE(r.followRedirects);
        EXPECT_EQ(r.headers, (decltype(r.headers){{"Accept", "text/html, */*"}}));
    }

    ScriptedTransport declined;
    declined.Answer("1.51");
    run = Check(declined, false);
    EXPECT_EQ(run.questions, 1);
    EXPECT_FALSE(run.result.accepted);
    EXPECT_EQ(declined.Paths(), (std::vector<std::string>{"/Mp3VandrelVersion.txt"}));

    ScriptedTransport same;
    same.Answer("1.52b");
    run = Check(same, true);
    EXPECT_EQ(run.questions, 0);
    EXPECT_EQ(same.requests.size(), 1u);
}

TEST(VersionCheck, FailuresEndTheCheckQuietlyWithAReason) {
    const struct {
        const char* name;
        bool failVersion;  // else the link request fails
        std::string error;
        long status;
        std::string body;
    } cases[] = {
        {"refused", true, "Connection refused", 0, ""},
        {"timeout", true, "Operation timed out after 10000 milliseconds", 0, ""},
        {"error status", true, "the server answered with status 500", 500, ""},
        {"empty version", true, "", 200, ""},
        {"link refused", false, "Connection refused", 0, ""},
    };
    for (const auto& c : cases) {
        ScriptedTransport t;
        if (c.failVersion && !c.error.empty()) t.Fail(c.error, c.status);
        if (c.failVersion && c.error.empty()) t.Answer(c.body);
        if (!c.failVersion) {
            t.Answer("9.99");
            t.Fail(c.error);
        }
        const CheckRun run = Check(t, true);
        EXPECT_NE(run.result.error, "") << c.name;
        EXPECT_EQ(run.result.link, "") << c.name;
        EXPECT_EQ(run.questions, c.failVersion ? 0 : 1) << c.name;
    }
}

}  // namespace
