#pragma once

#include <QObject>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "dupes/compare_engine.h"
#include "dupes/compare_request.h"
#include "platform/folder_listing.h"

class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QProgressBar;
class QWidget;

namespace mv {

class Dialogs;
class ResultListHandlers;

// The widgets a comparison reads and writes.
struct CompareWidgets {
    QWidget* window = nullptr;
    QLabel* lList = nullptr;
    QLabel* lRef = nullptr;
    QLabel* lRes = nullptr;
    QProgressBar* gp = nullptr;
    QLineEdit* ePerc = nullptr;
    QLineEdit* eExt = nullptr;
    QFrame* pTag = nullptr;
    QAction* cbRec = nullptr;
    QAction* cbMinimize = nullptr;
    QAction* bSave = nullptr;
};

// What a comparison asks of the rest of the window.
struct CompareHooks {
    std::function<void()> enterBusyState;
    std::function<void()> leaveBusyState;
    std::function<void()> refreshBrowser;
    std::function<std::string()> browserFolder;
    std::function<void()> hideToTray;
    std::function<void()> showFromTray;
    // A run ended and its rows stand in the lists (a stopped run's too).
    std::function<void(mv::CompareMode)> runEnded;
};

// The core the commands run: the comparison, the folder collection and the
// percentage rule.
struct CompareBackend {
    std::function<mv::CompareResult(const mv::CompareParams&, mv::CompareControl&)> run;
    // The folder tree's walk, listing each folder's files as well, so the run
    // reads no folder twice. It runs on the run's worker thread and ends early
    // when hooks.stop is set.
    std::function<mv::FolderFilesCollection(const std::string& root, const std::string& ext,
                                            const mv::FolderWalkHooks& hooks)>
        collectFolderFiles;
    std::function<std::optional<int>(const std::string& text)> parsePercent;
};

// The two comparison commands, the Stop button, and the window side of a run:
// the core works on a worker thread while the handler waits in a local event
// loop, so the window repaints and Stop is heard at once. The worker never
// touches a widget: a timer feeds the gauge from the shared counters, and rows
// reach the lists in batches through queued calls.
class CompareCommands : public QObject {
    Q_OBJECT
  public:
    CompareCommands(const CompareWidgets& widgets, Dialogs& dialogs, ResultListHandlers& results,
                    std::vector<std::string>& foundFiles, std::filesystem::path programFolder,
                    CompareHooks hooks, QObject* parent = nullptr);

    using RunFunction =
        std::function<mv::CompareResult(const mv::CompareParams&, mv::CompareControl&)>;

    void SetBackend(CompareBackend backend) { backend_ = std::move(backend); }
    bool HasBackend() const { return static_cast<bool>(backend_.run); }

    void bCompareClick();
    void bFolderClick();
    void bCancelClick();

    // One comparison with its preparation and ending; returns what the core
    // reported. A request with `walkRoot` walks that tree on the worker thread
    // with the backend's collectFolderFiles before the run, so the window stays
    // live and Stop is heard while the disk is read. The search, naming no
    // folders, keeps those of the last command.
    mv::CompareResult RunCompare(const mv::CompareRequest& request);
    // "Find dupes in the folder" with `run` in place of the comparison of
    // names (the search by sound): the same folder, walk, busy state, lists,
    // gauge, Stop, tray and end of the run; the percentage is not read.
    mv::CompareResult RunFolderWith(const RunFunction& run);

    // A click on the result label: the folders the last run could not read.
    void lResClick();
    const std::vector<std::string>& FoldersPassedOver() const { return passedOver_; }

    bool Running() const { return running_; }
    bool StopRequested() const { return control_.stopRequested.load(); }
    const std::vector<std::string>& CompareFolders() const { return compareFolders_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void FolderCommand(mv::CompareCommand command);
    mv::CompareRequest FolderRequest(mv::CompareCommand command) const;
    mv::CompareResult RunRequest(const mv::CompareRequest& request,
                                 std::optional<std::vector<std::string>> listLines,
                                 const RunFunction& run);
    void UpdateGauge();
    // The phases of RunCompare, in order.
    void PrepareRun(mv::CompareMode mode);
    mv::CompareParams ParamsFor(const mv::CompareRequest& request, bool walkOnWorker);
    // Runs the core on a worker thread, walking `walkRoot` there first when given.
    mv::CompareResult RunOnWorker(mv::CompareParams& params, const std::string* walkRoot,
                                  const RunFunction& run);
    void ShowResult(const mv::CompareResult& result);
    void EndRun(mv::CompareMode mode);

    CompareWidgets w_;
    Dialogs& dialogs_;
    ResultListHandlers& results_;
    std::vector<std::string>& foundFiles_;
    std::filesystem::path programFolder_;
    CompareHooks hooks_;
    CompareBackend backend_;
    mv::CompareControl control_;
    std::vector<std::string> compareFolders_;
    std::vector<std::string> passedOver_;         // of the last run, for lResClick
    std::vector<std::string> collectPassedOver_;  // of the last collection, for its run
    bool running_ = false;
};

}  // namespace mv
