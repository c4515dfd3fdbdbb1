#pragma once

#include <QObject>
#include <functional>
#include <string>
#include <vector>

#include "dupes/result_rows.h"
#include "dupes/windows/result_pair_model.h"
#include "player/playlist_file.h"

class QAction;
class QLabel;
class QLineEdit;
class QListView;
class QListWidget;
class QPoint;
class QWidget;

namespace mv {

class Dialogs;

// The widgets of the main window that the result-list commands read and write.
struct ResultListWidgets {
    QWidget* window = nullptr;  // parent of the questions
    QListView* lbCompRes = nullptr;
    QListView* lbFile = nullptr;
    QLabel* lRes = nullptr;
    QAction* bDel = nullptr;
    QAction* bRemove = nullptr;
    QAction* bDelete = nullptr;
    QAction* bSaveCsv = nullptr;  // "Save results as CSV..."
    QLineEdit* eExt = nullptr;
    QListWidget* lPlayList = nullptr;
};

// What the result lists ask of the rest of the window.
struct ResultListHooks {
    std::function<void()> refreshBrowser;  // brefreshClick
    // Moves the browser to `folder` and makes the file `name` current there.
    std::function<void(const std::string& folder, const std::string& name)> browseTo;
    std::function<void(const std::string& path)> playFile;  // the playback seam
    std::function<void(const std::string& path)> readTag;   // the tag panel seam
    // Trash or delete for good, and the deletion log; unset: delete, no log.
    std::function<mv::RemovalPolicy()> removalPolicy;
};

// The handlers of the two result lists: selection in step, the X swap, Remove,
// the two deletes, playing a row and the playlist purge. The row pairs live in
// one ResultPairModel shown by both lists.
class ResultListHandlers : public QObject {
    Q_OBJECT
  public:
    ResultListHandlers(const ResultListWidgets& widgets, Dialogs& dialogs, mv::Playlist& playlist,
                       const std::vector<std::string>& foundFiles, ResultListHooks hooks,
                       QObject* parent = nullptr);

    ResultPairModel& Model() { return model_; }

    // True from the start of a mode 2 comparison until the next comparison or drive scan.
    bool SwitchAllowed() const { return switchAllowed_; }
    void SetSwitchAllowed(bool allowed) { switchAllowed_ = allowed; }

    // Enables or disables bDel, bRemove and bDelete together.
    void SetCommandsEnabled(bool enabled);

    void lbCompResClick();
    void lbFileClick();
    void lbCompResKeyDown(int key);
    void lbCompResKeyPress(QListView* list, const QString& text);
    void lbCompResDblClick(QListView* list);
    void bRemoveClick();
    void bDelClick();
    void bDeleteClick();
    // Compare results > Save results as CSV...: both lists and each row's kinds.
    void bSaveCsvClick();
    void PurgePlaylist();
    void lbFileContextPopup(QListView* list, const QPoint& pos);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Every connect of the handlers, in one place.
    void ConnectWidgets();
    std::vector<std::size_t> SelectedLeftRows() const;
    // Removes the rows from both lists, disables the commands when none are
    // left, and puts both lists on the same current row.
    void RemoveRowsAndAlign(const std::vector<std::size_t>& ascending);
    void ReportDeleteFailures(const mv::DeleteOutcome& outcome);
    mv::RemovalPolicy RemovalPolicy() const;

    ResultListWidgets w_;
    Dialogs& dialogs_;
    mv::Playlist& playlist_;
    const std::vector<std::string>& foundFiles_;
    ResultListHooks hooks_;
    ResultPairModel model_;
    bool switchAllowed_ = false;
};

}  // namespace mv
