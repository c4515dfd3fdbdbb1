#include "catalogue/windows/drive_scan_commands.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include "platform/text_lines.h"
#include "support/core/temp_tree.h"
#include "support/widgets/scripted_dialogs.h"

namespace mv {

namespace {

using Lines = std::vector<std::string>;

// The window's scan and save over a folder taken as the drive, with the result
// lists as a plain vector of rows.
class DriveScanCommandsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        tree.Folder("home");
        widgets.window = &window;
        widgets.lList = new QLabel(&window);
        widgets.lRef = new QLabel(&window);
        widgets.lRes = new QLabel(&window);
        widgets.eExt = new QLineEdit(QStringLiteral("mp3"), &window);
        widgets.bSave = new QAction(&window);
        widgets.bCancel = new QPushButton(&window);
        hooks.driveRoot = [this] { return tree.Path("cd"); };
        hooks.clearResults = [this] { rows.clear(); };
        hooks.appendRows = [this](std::vector<mv::ResultRow>&& more) {
            rows.insert(rows.end(), more.begin(), more.end());
        };
        hooks.currentRows = [this] { return rows; };
    }
    std::unique_ptr<DriveScanCommands> Commands() {
        return std::make_unique<DriveScanCommands>(widgets, dialogs, foundFiles, tree.Path("home"),
                                                   hooks);
    }

    mv::test::TempTree tree;
    QWidget window;
    DriveScanWidgets widgets;
    DriveScanHooks hooks;
    ScriptedDialogs dialogs;
    std::vector<std::string> foundFiles;
    std::vector<mv::ResultRow> rows;
};

TEST_F(DriveScanCommandsTest, NamesTheListCannotHoldGiveNoRowAndAreNamed) {
    tree.File("cd/\\Injected CD.mp3");
    tree.File("cd/\\Folder/in.mp3");
    tree.File("cd/kept.mp3");
    auto commands = Commands();
    commands->bMakeClick();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].left, "kept.mp3");
    EXPECT_EQ(foundFiles, Lines{tree.Path("cd/kept.mp3")});
    ASSERT_EQ(dialogs.Texts().size(), 1);
    const QString message = dialogs.Texts()[0];
    EXPECT_TRUE(message.contains(QString::fromStdString(tree.Path("cd/\\Injected CD.mp3"))));
    EXPECT_TRUE(message.contains(QString::fromStdString(tree.Path("cd/\\Folder"))));

    dialogs.ClearHistory();
    dialogs.QueueText(QStringLiteral("Disc"));
    commands->bSaveClick();
    EXPECT_EQ(mv::ReadLines(tree.Path("home/Mp3List.txt")),
              (Lines{"\\Mp3 List", "\\Disc", "kept.mp3"}));
}

}  // namespace

}  // namespace mv
