#include "support/widgets/scripted_dialogs.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace mv {

// Other folders' tests rely on these answers; a wrong one would hide a fault.
TEST(ScriptedDialogs, AnswersInOrderAndRecordsEveryBox) {
    ScriptedDialogs d;
    d.QueueReply(true);
    d.QueueText(QStringLiteral("CD1"));
    d.Information(nullptr, QStringLiteral("hello"));
    EXPECT_TRUE(d.YesNo(nullptr, QStringLiteral("Sure?"), DefaultAnswer::Affirmative));
    EXPECT_EQ(d.InputText(nullptr, QStringLiteral("CD Name"), QStringLiteral("What?"), {}),
              QStringLiteral("CD1"));
    EXPECT_EQ(d.Texts(), (QStringList{QStringLiteral("hello"), QStringLiteral("Sure?"),
                                      QStringLiteral("What?")}));
    EXPECT_EQ(d.History()[2].caption, QStringLiteral("CD Name"));
}

TEST(ScriptedDialogs, MissingOrMismatchedAnswerFailsAndDeclines) {
    ScriptedDialogs d;
    bool reply = true;
    EXPECT_NONFATAL_FAILURE(
        reply = d.YesNo(nullptr, QStringLiteral("Delete?"), DefaultAnswer::Cautious), "unanswered");
    EXPECT_FALSE(reply);

    d.QueueReply(true);
    std::optional<QString> text = QStringLiteral("x");
    EXPECT_NONFATAL_FAILURE(text = d.OpenFile(nullptr, QStringLiteral("Open"), {}, {}),
                            "yes/no reply was queued");
    EXPECT_EQ(text, std::nullopt);
}

}  // namespace mv
