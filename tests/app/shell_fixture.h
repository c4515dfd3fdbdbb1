// The shell on a temporary program folder, with one empty folder as its only
// drive so the file browser lists nothing else, and scripted dialogs.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <utility>

#include "app/safe_application.h"
#include "app/shell.h"
#include "support/core/folder_drives.h"
#include "support/core/temp_tree.h"
#include "support/widgets/scripted_dialogs.h"

namespace mv::test {

// One application object per test process, as in the program.
inline void EnsureApp() {
    static int argc = 1;
    static char name[] = "app_tests";
    static char* argv[] = {name, nullptr};
    static SafeApplication* app = new SafeApplication(argc, argv);
    (void)app;
}

class ShellFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureApp();
        oldCwd_ = std::filesystem::current_path();
    }
    // The shell moves into its program folder; leave it before the tree goes.
    void TearDown() override {
        shell_.reset();
        std::filesystem::current_path(oldCwd_);
    }

    Shell& Start(ShellSeams seams = {}) {
        shell_.reset();
        shell_ =
            std::make_unique<Shell>(ShellParams{dialogs_, drives_, home_, std::move(seams), false});
        shell_->Start();
        return *shell_;
    }
    void Write(const std::string& name, const std::string& bytes) {
        std::ofstream(home_ / name, std::ios::binary) << bytes;
    }
    std::string Read(const std::string& name) {
        std::ifstream in(home_ / name, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }

    ScriptedDialogs dialogs_;
    TempTree tree_;
    const std::filesystem::path home_{tree_.Folder("home")};
    const std::string drive_{tree_.Folder("drive")};
    FolderDrives drives_{{drive_}};
    std::unique_ptr<Shell> shell_;
    std::filesystem::path oldCwd_;
};

}  // namespace mv::test
