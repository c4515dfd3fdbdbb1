// The start-up version check with its boxes and splash: the first-start
// question, the download question, the link handed to the opener, and the
// quiet end of a failed check.
#include "net/windows/version_check_commands.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>

#include "net/version_check.h"
#include "net/windows/tf_splash.h"
#include "support/core/scripted_transport.h"
#include "support/widgets/scripted_dialogs.h"

namespace mv {

namespace {

QString Q(const char* text) {
    return QString::fromUtf8(text);
}

class VersionCheckTest : public ::testing::Test {
  protected:
    VersionCheckTest() {
        tmiVerCheck_.setCheckable(true);
        tmiVerCheck_.setChecked(true);
    }
    CheckVersionResult Check(bool firstRun) {
        return CheckVersion({dialogs_, nullptr, &tmiVerCheck_, splash_, net_, "localhost:8080",
                             firstRun, [this](const std::string& link) {
                                 opened_.push_back(link);
                                 splashShownAtOpen_ = splash_.isVisible();
                             }});
    }

    ScriptedDialogs dialogs_;
    mv::test::ScriptedTransport net_;
    TfSplash splash_;
    QAction tmiVerCheck_;
    std::vector<std::string> opened_;
    bool splashShownAtOpen_ = false;
};

TEST_F(VersionCheckTest, SplashHasItsSizeAndText) {
    EXPECT_EQ(splash_.size(), QSize(353, 74));
    EXPECT_EQ(splash_.fgd->geometry(), QRect(0, 24, 353, 17));
    EXPECT_EQ(splash_.fgd->text(), Q("Mp3 Vandrel is checking for new versions, please wait"));
    EXPECT_TRUE(splash_.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_FALSE(splash_.isVisible());
}

TEST_F(VersionCheckTest, FirstStartAnsweredNoUnchecksAndMakesNoRequest) {
    dialogs_.QueueReply(false);
    const auto result = Check(true);
    EXPECT_FALSE(tmiVerCheck_.isChecked());
    EXPECT_EQ(dialogs_.Texts(), (QStringList{Q(mv::kFirstRunQuestion), Q(mv::kFirstRunNotice)}));
    EXPECT_FALSE(result.requested);
    EXPECT_TRUE(net_.requests.empty());
}

TEST_F(VersionCheckTest, FirstStartAnsweredYesChecksAtOnce) {
    dialogs_.QueueReply(true);
    net_.Answer("1.52\r\n");
    const auto result = Check(true);
    EXPECT_TRUE(tmiVerCheck_.isChecked());
    EXPECT_TRUE(result.requested);
    EXPECT_EQ(dialogs_.Texts(), QStringList{Q(mv::kFirstRunQuestion)});
    EXPECT_FALSE(splash_.isVisible());
}

TEST_F(VersionCheckTest, NewerVersionAsksAndOpensTheLinkWhileTheSplashShows) {
    net_.Answer("1.6\n");
    net_.Answer("http://example.org/new");
    dialogs_.QueueReply(true);
    Check(false);
    EXPECT_EQ(dialogs_.Texts(), QStringList{Q(mv::kDownloadQuestion)});
    EXPECT_EQ(opened_, std::vector<std::string>{"http://example.org/new"});
    EXPECT_TRUE(splashShownAtOpen_);
    EXPECT_FALSE(splash_.isVisible());

    // Declined: no link request, the splash closes all the same.
    net_.Answer("1.6\n");
    dialogs_.QueueReply(false);
    Check(false);
    EXPECT_EQ(net_.requests.size(), 3u);
    EXPECT_EQ(opened_.size(), 1u);
    EXPECT_FALSE(splash_.isVisible());
}

TEST_F(VersionCheckTest, OffMeansNoRequestAndFailureEndsQuietly) {
    tmiVerCheck_.setChecked(false);
    EXPECT_FALSE(Check(false).requested);
    EXPECT_TRUE(net_.requests.empty());

    tmiVerCheck_.setChecked(true);
    net_.Fail("Failed to connect to localhost port 8080: Connection refused");
    const auto result = Check(false);
    EXPECT_TRUE(result.requested);
    EXPECT_NE(result.error.find("Connection refused"), std::string::npos);
    EXPECT_TRUE(dialogs_.Texts().isEmpty());
    EXPECT_FALSE(splash_.isVisible());
}

}  // namespace

}  // namespace mv
