// The ban scan as a comparison of the main window: Stop reaches it, and the
// busy state and the result commands come back after it. These check the
// window's wiring rather than the ban commands alone.
#include <gtest/gtest.h>

#include <QAction>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <thread>

#include "dupes/windows/compare_commands.h"
#include "dupes/windows/result_list_handlers.h"
#include "ui/main/file_browser.h"
#include "ui/main/main_window_support.h"
#include "ui/main/tf_princ.h"

namespace mv {

namespace {

using uitest::L;

class BanScanWiringTest : public ::testing::Test {
  protected:
    void SetUp() override {
        uitest::App();
        music = tree.Folder("drive/Music");
        drives.roots = {tree.Path("drive")};
        window = std::make_unique<TfPrinc>(dialogs, drives, tree.Root());
        window->hideToTray = [] {};
        window->showFromTray = [] {};
    }
    std::vector<mv::ResultRow> Rows() { return window->Results().Model().rows(); }

    uitest::TempTree tree;
    ScriptedDialogs dialogs;
    uitest::FolderDrives drives;
    std::string music;
    std::unique_ptr<TfPrinc> window;
};

TEST_F(BanScanWiringTest, StopEndsTheScanCancelledAndLeavesTheBusyState) {
    tree.File("BanList.txt", "\\BANLIST\r\nremix\r\n");
    window->Browser().SetFolder(music);
    mv::CompareParams seen;
    CompareBackend backend;
    backend.run = [&seen](const mv::CompareParams& p, mv::CompareControl& control) {
        seen.mode = p.mode;
        seen.percentText = p.percentText;
        seen.listLines = p.listLines;
        p.onRows({{"/x/Remix.mp3", "/BANLIST/remix"}});
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!control.stopRequested && std::chrono::steady_clock::now() < limit) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        mv::CompareResult r;
        r.cancelled = control.stopRequested;
        r.resultText = "1 result in 0.02 seconds";
        r.messages = {r.cancelled ? "Comparison Cancelled" : "Comparison finished"};
        return r;
    };
    backend.collectFolderFiles = &mv::CollectFolderFiles;
    backend.parsePercent = &mv::ParsePercent;
    window->Compare().SetBackend(backend);
    QTimer::singleShot(20, [&] { uitest::Find<QPushButton>(*window, "bCancel")->click(); });
    uitest::Find<QAction>(*window, "Scan1")->trigger();

    EXPECT_EQ(seen.mode, mv::kModeFolderVsList);
    EXPECT_EQ(seen.percentText, "100");
    EXPECT_EQ(seen.listLines, (std::vector<std::string>{"\\BANLIST", "remix"}));
    EXPECT_EQ(dialogs.Texts(), QStringList{L("Comparison Cancelled")});
    EXPECT_EQ(Rows().size(), 1u);
    EXPECT_FALSE(window->IsBusy());
    EXPECT_TRUE(uitest::Find<QAction>(*window, "Scan1")->isEnabled() &&
                uitest::Find<QAction>(*window, "bDel")->isEnabled());
}

}  // namespace

}  // namespace mv
