#pragma once

#include <QObject>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "filetools/naming_model.h"
#include "filetools/rename_preview.h"

class QWidget;

namespace mv {

class Dialogs;

// What renaming asks of the rest of the window.
struct RenameHooks {
    // The full path of the file list's selected entry; empty when none is selected.
    std::function<std::string()> selectedFile;
    std::function<std::string()> browserFolder;
    std::function<std::string()> extension;  // eExt's text, as typed
    // Moves the browser to `folder` and gives the file list's entries (bare
    // names, in list order); nullopt when the browser cannot go there.
    std::function<std::optional<std::vector<std::string>>(const std::string& folder)> openFolder;
    std::function<void()> purgePlaylist;  // drops playlist entries whose files are gone
    // The Options menu's naming choices; unset: both off, today's names.
    std::function<mv::NamingOptions()> naming;
    // Shows Rename All's table; true performs it. Unset: performed unasked.
    std::function<bool(const mv::RenamePreview&)> confirmPreview;
    std::function<void()> refreshBrowser;  // after an undo; unset: nothing
    // The rename journal every batch goes into; empty: none is kept (no undo).
    std::filesystem::path journalFile;
};

// Rename and Rename All: files renamed after their ID3v1 tags by the naming
// model, which the window keeps for the whole run ("%2 - %1" at every start).
// Renaming runs to its end on the GUI thread. A file that cannot be renamed
// keeps its name; Rename All ends with one message: how many files were
// renamed, and which kept their names and why (as the tool prints them).
// Rename All first shows what it would do (confirmPreview) and then performs
// exactly that table. Every batch is journalled; Undo last rename renames the
// last one back.
class RenameCommands : public QObject {
    Q_OBJECT
  public:
    RenameCommands(QWidget* window, Dialogs& dialogs, RenameHooks hooks, QObject* parent = nullptr);

    void bRenameClick();
    void bRenameAllClick();
    // Renames the files of the last batch not undone back, then one message:
    // how many went back and why the others did not.
    void tmiUndoRenameClick();
    // Whether the journal holds a batch not undone yet.
    bool CanUndo() const;

    // The model as the user last confirmed it (UTF-8).
    const std::string& NamingModel() const { return model_; }
    // What the last command did to each file, in order.
    const std::vector<mv::RenameOutcome>& LastOutcomes() const { return outcomes_; }

  private:
    // The naming model question; false on Cancel (the model then stays).
    bool AskModel();
    mv::NamingOptions Naming() const;
    // Rename All's params as the user answered them; nullopt on Cancel or no folder.
    std::optional<mv::RenameAllParams> AskRenameAll();

    QWidget* window_;
    Dialogs& dialogs_;
    RenameHooks hooks_;
    std::string model_ = mv::kDefaultNamingModel;
    std::vector<mv::RenameOutcome> outcomes_;
};

}  // namespace mv
