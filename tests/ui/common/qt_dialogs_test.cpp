#include "ui/common/qt_dialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

namespace mv {

namespace {

struct Question {
    bool yesNo;
    DefaultAnswer defaultAnswer;
    bool enterMeans;
};

// Enter answers with the default button: the cautious one unless asked otherwise.
TEST(QtDialogs, EnterPressesTheDefaultButton) {
    const Question questions[] = {
        {true, DefaultAnswer::Cautious, false},
        {true, DefaultAnswer::Affirmative, true},
        {false, DefaultAnswer::Cautious, false},
        {false, DefaultAnswer::Affirmative, true},
    };
    QtDialogs dialogs(QStringLiteral("Mp3 Vandrel"));
    for (const Question& q : questions) {
        bool boxSeen = false;
        QTimer::singleShot(0, [&boxSeen] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) return;
            boxSeen = true;
            QTest::keyClick(box, Qt::Key_Return);
        });
        const bool answer =
            q.yesNo ? dialogs.YesNo(nullptr, QStringLiteral("Delete?"), q.defaultAnswer)
                    : dialogs.OkCancel(nullptr, QStringLiteral("Overwrite?"), q.defaultAnswer);
        EXPECT_TRUE(boxSeen);
        EXPECT_EQ(answer, q.enterMeans) << q.yesNo << " " << static_cast<int>(q.defaultAnswer);
    }
}

}  // namespace

}  // namespace mv
