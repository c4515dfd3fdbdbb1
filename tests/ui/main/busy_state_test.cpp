// While a long command runs the window is busy: no other command starts,
// from a menu, a button or a shortcut's action, and the controls take no
// input; afterwards everything answers again.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>

#include "dupes/windows/compare_commands.h"
#include "player/windows/tf_eq.h"
#include "ui/main/main_window_support.h"
#include "ui/main/tf_princ.h"

namespace mv {

namespace {

using uitest::Find;
using uitest::L;

class BusyStateTest : public ::testing::Test {
  protected:
    void SetUp() override {
        uitest::App();
        tree.File("drive/Music/a.mp3");
        drives.roots = {tree.Path("drive")};
        window = std::make_unique<TfPrinc>(dialogs, drives, tree.Root());
        window->hideToTray = [] {};
        window->showFromTray = [] {};
        equalizer = std::make_unique<TfEQ>(window.get());
        window->SetWindows({nullptr, nullptr, equalizer.get()});
        CompareBackend backend;
        backend.run = [this](const mv::CompareParams&, mv::CompareControl&) {
            ++runs;
            return mv::CompareResult{};
        };
        backend.collectFolderFiles = [](const std::string& root, const std::string&,
                                        const mv::FolderWalkHooks&) {
            mv::FolderFilesCollection collected;
            collected.folders = {{root, {}, {}}};
            return collected;
        };
        backend.parsePercent = [](const std::string&) -> std::optional<int> { return 80; };
        window->Compare().SetBackend(backend);
    }
    // Triggers the commands a user reaches from the menus and buttons; a
    // modal window one of them wrongly opens is closed so the test ends.
    void TriggerCommands() {
        QTimer guard;
        QObject::connect(&guard, &QTimer::timeout, [] {
            if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
        });
        guard.start(50);
        for (const char* name : {"bFolder", "bCompare", "Equalizer1", "Edit1", "Scan1"}) {
            Find<QAction>(*window, name)->trigger();
        }
    }
    // A typed character reaches the box only when it takes input.
    static void Type(QLineEdit* box, const char* text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, L(text));
        QApplication::sendEvent(box, &press);
    }
    std::vector<QWidget*> Controls() {
        return {Find<QComboBox>(*window, "dc"),          Find<QListWidget>(*window, "dl"),
                Find<QListWidget>(*window, "fl"),        Find<QListView>(*window, "lbCompRes"),
                Find<QListView>(*window, "lbFile"),      Find<QLineEdit>(*window, "eExt"),
                Find<QLineEdit>(*window, "ePerc"),       Find<QPushButton>(*window, "bRename"),
                Find<QPushButton>(*window, "bRenameAll")};
    }

    uitest::TempTree tree;
    ScriptedDialogs dialogs;
    uitest::FolderDrives drives;
    std::unique_ptr<TfPrinc> window;
    std::unique_ptr<TfEQ> equalizer;
    int runs = 0;
};

TEST_F(BusyStateTest, BusyWindowRefusesCommandsAndInputAndTakesThemAgainAfter) {
    QLineEdit* ePerc = Find<QLineEdit>(*window, "ePerc");
    ePerc->setText(L("8"));
    window->EnterBusyState();
    TriggerCommands();
    EXPECT_EQ(runs, 0);
    EXPECT_FALSE(equalizer->isVisible());
    EXPECT_TRUE(dialogs.Texts().isEmpty());
    Type(ePerc, "5");
    EXPECT_EQ(ePerc->text(), L("8"));
    for (QWidget* w : Controls()) EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    for (QAction* menu : Find<QMenuBar>(*window, "MM")->actions()) {
        EXPECT_FALSE(menu->isEnabled()) << menu->objectName().toStdString();
    }
    EXPECT_TRUE(Find<QPushButton>(*window, "bCancel")->isEnabled());  // Stop still answers

    // The extension of a kind that turns renaming off does not keep it off after.
    Find<QLineEdit>(*window, "eExt")->setText(L("wma"));
    window->LeaveBusyState();
    EXPECT_FALSE(window->IsBusy());
    for (QWidget* w : Controls()) EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
    for (QAction* menu : Find<QMenuBar>(*window, "MM")->actions()) EXPECT_TRUE(menu->isEnabled());
    Type(ePerc, "5");
    EXPECT_EQ(ePerc->text(), L("85"));
    Find<QLineEdit>(*window, "eExt")->setText(L("Mp3"));
    Find<QAction>(*window, "bFolder")->trigger();
    EXPECT_EQ(runs, 1);
    Find<QAction>(*window, "Equalizer1")->trigger();
    EXPECT_TRUE(equalizer->isVisible());
}

}  // namespace

}  // namespace mv
