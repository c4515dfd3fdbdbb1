// Options > Server...: the dialog opens on the current value, OK keeps a good
// value and closes, a bad one is refused through the message box and the
// dialog stays open on what was typed.
#include "net/windows/tf_server.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>

#include "support/widgets/scripted_dialogs.h"
#include "support/widgets/test_application.h"

namespace mv {

namespace {

TEST(TfServerTest, OkKeepsAGoodValueAndRefusesABadOne) {
    mv::test::TestApplication();
    ScriptedDialogs dialogs;
    TfServer dialog(dialogs);
    auto* eServer = dialog.findChild<QLineEdit*>(QStringLiteral("eServer"));
    auto* bOK = dialog.findChild<QPushButton*>(QStringLiteral("bOK"));
    ASSERT_NE(eServer, nullptr);
    ASSERT_NE(bOK, nullptr);

    dialog.Open("localhost:8080");
    EXPECT_EQ(eServer->text(), QStringLiteral("localhost:8080"));
    eServer->setText(QStringLiteral("ftp://example.org"));
    bOK->click();
    ASSERT_EQ(dialogs.Texts().size(), 1);
    EXPECT_TRUE(dialogs.Texts()[0].contains(QStringLiteral("only http:// and https://")));
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Server(), "");
    EXPECT_EQ(eServer->text(), QStringLiteral("ftp://example.org"));

    eServer->setText(QStringLiteral(" HTTPS://example.org:8443 "));
    bOK->click();
    EXPECT_EQ(dialogs.Texts().size(), 1);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Server(), "https://example.org:8443");

    // Opened again, it starts from the value given, not the last one kept.
    dialog.Open("other:81");
    EXPECT_EQ(eServer->text(), QStringLiteral("other:81"));
    EXPECT_EQ(dialog.Server(), "");
}

}  // namespace

}  // namespace mv
