// The rename commands against a stand-in for the browser: it records where it
// was moved and lists files as the file list does, and the playlist purge is
// logged in the same record, so the order of events shows.
#pragma once

#include <gtest/gtest.h>

#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "filetools/windows/rename_commands.h"
#include "platform/folder_listing.h"
#include "support/core/tag_fixture.h"
#include "support/core/temp_tree.h"
#include "support/widgets/scripted_dialogs.h"

namespace mv::test {

class RenameFixture : public ::testing::Test {
  protected:
    // `more` adds the hooks one kind of test needs to the shared ones.
    void MakeCommands(const std::string& ext, const std::function<void(RenameHooks&)>& more = {}) {
        folder = tree.Folder("music");
        RenameHooks hooks;
        hooks.selectedFile = [this] { return selected; };
        hooks.browserFolder = [this] { return folder; };
        hooks.extension = [ext] { return ext; };
        hooks.openFolder = [this, ext](const std::string& to) {
            events.push_back("open " + to);
            folder = to;
            return mv::ListFolderFiles(to, ext);
        };
        hooks.purgePlaylist = [this] { events.push_back("purge"); };
        if (more) more(hooks);
        commands = std::make_unique<RenameCommands>(&window, dialogs, std::move(hooks));
    }

    TempTree tree;
    QWidget window;
    ScriptedDialogs dialogs;
    std::string folder, selected;
    std::vector<std::string> events;
    std::unique_ptr<RenameCommands> commands;
};

}  // namespace mv::test
