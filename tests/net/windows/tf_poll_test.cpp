// The poll window on a scripted transport: what it shows for each reply, the
// requests it sends, Vote! only on the current question, the reload after
// each message box, and what a failed request leaves on screen.
#include "net/windows/tf_poll.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "support/core/scripted_transport.h"
#include "support/widgets/scripted_dialogs.h"

namespace mv {

namespace {

QString Q(const char* text) {
    return QString::fromUtf8(text);
}

class TfPollTest : public ::testing::Test {
  protected:
    TfPollTest() {
        auto transport = std::make_unique<mv::test::ScriptedTransport>();
        net_ = transport.get();
        poll_ = std::make_unique<TfPoll>(dialogs_, std::move(transport));
        poll_->SetServer("poll.test:8080");
    }
    // The two replies of a load: the current question and the list.
    void Load(const char* question, const char* list) {
        net_->Answer(question);
        net_->Answer(list);
    }
    void Choose(int entry) {
        poll_->cbPrev->setCurrentIndex(entry);
        Q_EMIT poll_->cbPrev->activated(entry);
    }

    ScriptedDialogs dialogs_;
    mv::test::ScriptedTransport* net_ = nullptr;
    std::unique_ptr<TfPoll> poll_;
};

TEST_F(TfPollTest, ControlsSitAtTheirRectangles) {
    EXPECT_EQ(poll_->windowTitle(), Q("Poll form"));
    EXPECT_EQ(poll_->geometry(), QRect(192, 107, 518, 248));
    EXPECT_EQ(poll_->rgPoll->geometry(), QRect(0, 0, 510, 177));
    EXPECT_EQ(poll_->bVote->geometry(), QRect(16, 192, 75, 25));
    EXPECT_EQ(poll_->bVote->text(), Q("Vote!"));
    EXPECT_EQ(poll_->Label1->geometry(), QRect(120, 192, 102, 13));
    EXPECT_EQ(poll_->Label1->text(), Q("Previous Poll Results:"));
    EXPECT_EQ(poll_->cbPrev->geometry(), QRect(232, 192, 257, 21));
    EXPECT_FALSE(poll_->cbPrev->isEditable());
}

TEST_F(TfPollTest, LoadingShowsQuestionOptionsAndList) {
    const struct {
        const char* reply;
        QStringList options;
    } cases[] = {
        {"3Colour?/red/green/blue/", {Q("red"), Q("green"), Q("blue")}},
        {"3Colour?/red/green/blue", {Q("red"), Q("green"), Q("blue")}},
        {"3Colour?/red/green", {Q("red"), Q("green"), Q("green")}},
        {"0Colour?/", {}},
    };
    for (const auto& c : cases) {
        Load(c.reply, "Old?/Colour?/");
        poll_->FormActivate();
        EXPECT_EQ(poll_->rgPoll->title(), Q("Colour?")) << c.reply;
        EXPECT_EQ(poll_->OptionTexts(), c.options) << c.reply;
        EXPECT_EQ(poll_->cbPrev->count(), 2);
        EXPECT_EQ(poll_->cbPrev->currentIndex(), -1);
        EXPECT_EQ(poll_->cbPrev->placeholderText(), Q("Previous Poll Results"));
    }
    EXPECT_EQ(net_->Paths().front(), "/cgi-win/Votes.dll");
    EXPECT_EQ(net_->Paths()[1], "/cgi-win/Votes.dll/GetQList");
    for (const auto& r : net_->requests) {
        EXPECT_EQ(r.server, "poll.test:8080");
        EXPECT_FALSE(r.followRedirects);
        EXPECT_EQ(r.headers,
                  (decltype(r.headers){{"Accept", "text/html, */*"},
                                       {"User-Agent", "Mozilla/3.0 (compatible; Indy Library)"}}));
    }
}

TEST_F(TfPollTest, VoteSendsTheChosenPositionShowsTheReplyAndReloads) {
    Load("3Colour?/red/green/blue/", "Colour?/");
    poll_->FormActivate();
    poll_->Options()[1]->setChecked(true);
    net_->Answer("Thank you!");
    Load("3Colour?/red/green/blue/", "Colour?/");  // the reload after the box
    poll_->bVote->click();
    EXPECT_EQ(net_->Paths()[2], "/cgi-win/Votes.dll/Vote?Vote=2");
    EXPECT_EQ(dialogs_.Texts(), QStringList{Q("Thank you!")});
    EXPECT_EQ(net_->Pending(), 0u);
    // The reload cleared the choice.
    for (const QRadioButton* b : poll_->Options()) EXPECT_FALSE(b->isChecked());
}

TEST_F(TfPollTest, NoChoiceOrNoOptionsOnlySaysSoWithoutARequest) {
    Load("0Colour?/", "Colour?/");
    poll_->FormActivate();
    Load("0Colour?/", "Colour?/");
    poll_->bVote->click();
    EXPECT_EQ(dialogs_.Texts(), QStringList{Q("You must choose an option before voting.")});
    for (const auto& path : net_->Paths()) EXPECT_EQ(path.find("Vote?"), std::string::npos);
}

TEST_F(TfPollTest, ResultsOfAChosenQuestionAndVoteOnlyOnTheCurrentOne) {
    Load("2Third?/a/b/", "First?/Second?/Third?/");
    poll_->FormActivate();
    const struct {
        int entry;
        bool voteEnabled;
    } choices[] = {{2, true}, {0, false}, {1, false}, {2, true}};
    for (const auto& c : choices) {
        net_->Answer("red/12/blue/3/");
        Choose(c.entry);
        EXPECT_EQ(net_->Paths().back(),
                  "/cgi-win/Votes.dll/GetResults?QuestNo=" + std::to_string(c.entry + 1));
        EXPECT_EQ(poll_->rgPoll->title(), poll_->cbPrev->itemText(c.entry));
        EXPECT_EQ(poll_->OptionTexts(), (QStringList{Q("red - 12 votes."), Q("blue - 3 votes.")}));
        EXPECT_EQ(poll_->bVote->isEnabled(), c.voteEnabled) << c.entry;
    }
    // Vote! keeps its state through a reload.
    net_->Answer("red/12/blue/3/");
    Choose(0);
    Load("2Third?/a/b/", "First?/Second?/Third?/");
    poll_->FormActivate();
    EXPECT_FALSE(poll_->bVote->isEnabled());
}

TEST_F(TfPollTest, FailedRequestsLeaveWhatWasFilledAndSaySoInTheCaption) {
    // Nothing reachable at the first opening.
    net_->Fail("Connection refused");
    poll_->FormActivate();
    EXPECT_EQ(poll_->rgPoll->title(), Q("The poll server could not be reached"));
    EXPECT_TRUE(poll_->OptionTexts().isEmpty());

    // The question came, the list did not.
    net_->Answer("2Colour?/red/blue/");
    net_->Fail("Operation timed out", 0);
    poll_->FormActivate();
    EXPECT_EQ(poll_->rgPoll->title(), Q("Colour? (the poll server could not be reached)"));
    EXPECT_EQ(poll_->OptionTexts(), (QStringList{Q("red"), Q("blue")}));

    // A failed vote shows no box and sends nothing more.
    poll_->Options()[0]->setChecked(true);
    net_->Fail("status 500", 500);
    poll_->bVote->click();
    EXPECT_TRUE(dialogs_.Texts().isEmpty());
    EXPECT_EQ(poll_->rgPoll->title(), Q("Colour? (the poll server could not be reached)"));

    // An unreadable first reply ends the load quietly, the caption untouched.
    net_->Answer("Oops");
    poll_->FormActivate();
    EXPECT_EQ(net_->Pending(), 0u);
    EXPECT_TRUE(poll_->OptionTexts().isEmpty());
}

}  // namespace

}  // namespace mv
