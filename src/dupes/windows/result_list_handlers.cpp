#include "dupes/windows/result_list_handlers.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QScrollBar>
#include <algorithm>
#include <filesystem>
#include <optional>

#include "dupes/result_export.h"
#include "dupes/windows/result_row_delegate.h"
#include "platform/folder_listing.h"
#include "platform/text_lines.h"
#include "ui/common/dialogs.h"
#include "ui/common/display_text.h"

namespace mv {

ResultListHandlers::ResultListHandlers(const ResultListWidgets& widgets, Dialogs& dialogs,
                                       mv::Playlist& playlist,
                                       const std::vector<std::string>& foundFiles,
                                       ResultListHooks hooks, QObject* parent)
    : QObject(parent),
      w_(widgets),
      dialogs_(dialogs),
      playlist_(playlist),
      foundFiles_(foundFiles),
      hooks_(std::move(hooks)) {
    w_.lbCompRes->setModel(&model_);
    w_.lbCompRes->setModelColumn(0);
    w_.lbFile->setModel(&model_);
    w_.lbFile->setModelColumn(1);
    for (QListView* list : {w_.lbCompRes, w_.lbFile}) {
        list->installEventFilter(this);
        list->setContextMenuPolicy(Qt::CustomContextMenu);
        list->setItemDelegate(new ResultRowDelegate(list));
    }
    ConnectWidgets();
}

void ResultListHandlers::ConnectWidgets() {
    for (QListView* list : {w_.lbCompRes, w_.lbFile}) {
        connect(list, &QListView::doubleClicked, this, [this, list] { lbCompResDblClick(list); });
        connect(list, &QListView::customContextMenuRequested, this,
                [this, list](const QPoint& pos) { lbFileContextPopup(list, pos); });
    }
    // The wheel, the scroll bars and the keys scroll both lists together.
    connect(w_.lbCompRes->verticalScrollBar(), &QScrollBar::valueChanged,
            w_.lbFile->verticalScrollBar(), &QScrollBar::setValue);
    connect(w_.lbFile->verticalScrollBar(), &QScrollBar::valueChanged,
            w_.lbCompRes->verticalScrollBar(), &QScrollBar::setValue);
    connect(w_.lbCompRes, &QListView::clicked, this, &ResultListHandlers::lbCompResClick);
    connect(w_.lbFile, &QListView::clicked, this, &ResultListHandlers::lbFileClick);
    connect(w_.bRemove, &QAction::triggered, this, &ResultListHandlers::bRemoveClick);
    connect(w_.bDel, &QAction::triggered, this, &ResultListHandlers::bDelClick);
    connect(w_.bDelete, &QAction::triggered, this, &ResultListHandlers::bDeleteClick);
    if (w_.bSaveCsv != nullptr) {
        connect(w_.bSaveCsv, &QAction::triggered, this, &ResultListHandlers::bSaveCsvClick);
    }
}

void ResultListHandlers::SetCommandsEnabled(bool enabled) {
    w_.bDel->setEnabled(enabled);
    w_.bRemove->setEnabled(enabled);
    w_.bDelete->setEnabled(enabled);
}

void ResultListHandlers::lbCompResClick() {
    const int row = w_.lbCompRes->currentIndex().row();
    if (row >= 0) {
        w_.lbFile->selectionModel()->setCurrentIndex(model_.index(row, 1),
                                                     QItemSelectionModel::ClearAndSelect);
    }
    w_.lbFile->verticalScrollBar()->setValue(w_.lbCompRes->verticalScrollBar()->value());
}

void ResultListHandlers::lbFileClick() {
    const int row = w_.lbFile->currentIndex().row();
    QItemSelectionModel* selection = w_.lbCompRes->selectionModel();
    selection->clearSelection();
    if (row >= 0) {
        selection->setCurrentIndex(model_.index(row, 0), QItemSelectionModel::ClearAndSelect);
    }
    w_.lbCompRes->verticalScrollBar()->setValue(w_.lbFile->verticalScrollBar()->value());
}

void ResultListHandlers::lbCompResKeyDown(int key) {
    if (key == Qt::Key_Delete) bRemoveClick();
}

void ResultListHandlers::lbCompResKeyPress(QListView* list, const QString& text) {
    if (!switchAllowed_ || (text != QStringLiteral("x") && text != QStringLiteral("X"))) return;
    const int k = list->currentIndex().row();
    if (k < 0) return;
    model_.SwapSides(k);
}

void ResultListHandlers::lbCompResDblClick(QListView* list) {
    if (!mv::IsMp3Extension(TypedBytes(w_.eExt->text()))) return;
    const int k = list->currentIndex().row();
    if (k < 0) return;
    std::string path;
    if (!foundFiles_.empty()) {
        if (static_cast<std::size_t>(k) >= foundFiles_.size()) return;
        path = foundFiles_[static_cast<std::size_t>(k)];
    } else {
        const mv::ResultRow& row = model_.rows()[static_cast<std::size_t>(k)];
        const bool left = list == w_.lbCompRes;
        // A list location or a search row names nothing that could be played.
        if ((left ? row.leftKind : row.rightKind) != mv::RowKind::FileOnDisk) return;
        path = left ? row.left : row.right;
    }
    if (hooks_.browseTo) hooks_.browseTo(mv::FolderPart(path), mv::NamePart(path));
    if (hooks_.playFile) hooks_.playFile(path);
}

std::vector<std::size_t> ResultListHandlers::SelectedLeftRows() const {
    std::vector<std::size_t> rows;
    for (const QModelIndex& index : w_.lbCompRes->selectionModel()->selectedIndexes()) {
        rows.push_back(static_cast<std::size_t>(index.row()));
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

void ResultListHandlers::RemoveRowsAndAlign(const std::vector<std::size_t>& ascending) {
    const int first = ascending.empty() ? -1 : static_cast<int>(ascending.front());
    model_.RemoveRows(ascending);
    if (model_.rowCount() == 0) {
        SetCommandsEnabled(false);
        w_.lRes->clear();
    }
    // Both lists show the same current row, the one that took the place of the
    // first removed row; nothing stays highlighted that the other list lacks.
    const int row =
        first < 0 ? w_.lbCompRes->currentIndex().row() : std::min(first, model_.rowCount() - 1);
    for (QListView* list : {w_.lbCompRes, w_.lbFile}) {
        QItemSelectionModel* selection = list->selectionModel();
        selection->clearSelection();
        if (row >= 0) {
            selection->setCurrentIndex(model_.index(row, list == w_.lbCompRes ? 0 : 1),
                                       QItemSelectionModel::NoUpdate);
        } else {
            selection->clearCurrentIndex();
        }
    }
}

void ResultListHandlers::bRemoveClick() {
    RemoveRowsAndAlign(mv::RowsToRemove(model_.rows(), SelectedLeftRows()));
    if (hooks_.refreshBrowser) hooks_.refreshBrowser();
}

void ResultListHandlers::ReportDeleteFailures(const mv::DeleteOutcome& outcome) {
    const std::string message = mv::DeleteFailureMessage(outcome.passedOver);
    if (!message.empty()) dialogs_.Information(w_.window, DisplayText(message));
    if (!outcome.logError.empty()) {
        dialogs_.Information(w_.window, DisplayText("The deleted files could not all be logged. " +
                                                    outcome.logError));
    }
}

mv::RemovalPolicy ResultListHandlers::RemovalPolicy() const {
    return hooks_.removalPolicy ? hooks_.removalPolicy() : mv::RemovalPolicy{};
}

void ResultListHandlers::bDelClick() {
    if (dialogs_.YesNo(w_.window,
                       QStringLiteral("Are you sure you want to delete selected file(s)??"),
                       DefaultAnswer::Cautious)) {
        const mv::DeleteOutcome outcome =
            mv::DeleteLeftFiles(model_.rows(), SelectedLeftRows(), RemovalPolicy());
        // A file that could not be deleted keeps its rows: it is still on the disk.
        RemoveRowsAndAlign(mv::RowsToRemove(model_.rows(), outcome.rowsDone));
        if (hooks_.refreshBrowser) hooks_.refreshBrowser();
        PurgePlaylist();
        ReportDeleteFailures(outcome);
        return;
    }
    PurgePlaylist();
}

void ResultListHandlers::bDeleteClick() {
    const mv::RemovalPolicy policy = RemovalPolicy();
    // With the trash switched on, the question must not say the files are lost.
    const QString question =
        policy.toTrash
            ? QStringLiteral(
                  "This will move ALL files in the left list to the trash. Are you sure?")
            : QStringLiteral(
                  "This will delete ALL files in the left list from your hard "
                  "drive. (It will not go in the trash can!). Are you sure?");
    if (!dialogs_.YesNo(w_.window, question, DefaultAnswer::Cautious)) return;
    std::vector<std::size_t> all(model_.rows().size());
    for (std::size_t i = 0; i < all.size(); ++i) all[i] = i;
    const mv::DeleteOutcome outcome = mv::DeleteLeftFiles(model_.rows(), all, policy);
    PurgePlaylist();
    if (hooks_.refreshBrowser) hooks_.refreshBrowser();
    if (outcome.passedOver.empty()) {
        model_.Clear();
        SetCommandsEnabled(false);
        w_.lRes->clear();
    } else {
        RemoveRowsAndAlign(mv::RowsToRemove(model_.rows(), outcome.rowsDone));
    }
    ReportDeleteFailures(outcome);
}

void ResultListHandlers::bSaveCsvClick() {
    if (model_.rows().empty()) {
        dialogs_.Information(w_.window, QStringLiteral("There are no results to save."));
        return;
    }
    const std::optional<QString> chosen =
        dialogs_.SaveFile(w_.window, QStringLiteral("Save results as CSV"), QString(),
                          QStringLiteral("CSV files (*.csv);;All files (*)"));
    if (!chosen || chosen->isEmpty()) return;
    std::string path = TypedBytes(*chosen);
    if (std::filesystem::path(path).extension().empty()) path += ".csv";
    const std::string error = mv::WriteLinesAtomically(path, mv::ResultsCsvLines(model_.rows()));
    if (!error.empty()) dialogs_.Information(w_.window, DisplayText(error));
}

void ResultListHandlers::PurgePlaylist() {
    const std::vector<std::size_t> removed = mv::PurgeMissingEntries(playlist_);
    for (auto it = removed.rbegin(); it != removed.rend(); ++it) {
        delete w_.lPlayList->takeItem(static_cast<int>(*it));
    }
}

void ResultListHandlers::lbFileContextPopup(QListView* list, const QPoint& pos) {
    const QModelIndex index = list->indexAt(pos);
    if (!index.isValid()) return;
    // The right click made this row current in its list; the other list follows,
    // as after a left click.
    if (list->currentIndex().row() != index.row()) {
        list->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    }
    if (list == w_.lbCompRes) {
        lbCompResClick();
    } else {
        lbFileClick();
    }
    const auto i = static_cast<std::size_t>(index.row());
    const mv::ResultRow& row = model_.rows()[i];
    const bool left = list == w_.lbCompRes;
    const std::string& text = left ? row.left : row.right;
    const mv::RowKind kind = left ? row.leftKind : row.rightKind;
    if (kind == mv::RowKind::FileOnDisk && mv::MatchesExtension(text, "mp3")) {
        if (hooks_.readTag) hooks_.readTag(text);
        return;
    }
    if (row.rightKind == mv::RowKind::ScannedFolder) {
        // A drive scan's row: its file's full path is kept beside the lists.
        if (i < foundFiles_.size() && hooks_.readTag) hooks_.readTag(foundFiles_[i]);
        return;
    }
    dialogs_.Information(w_.window, QStringLiteral("You can't open this file!"));
}

bool ResultListHandlers::eventFilter(QObject* watched, QEvent* event) {
    auto* list = qobject_cast<QListView*>(watched);
    if (event->type() == QEvent::KeyPress && list != nullptr) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Delete) {
            lbCompResKeyDown(key->key());
            return true;
        }
        const QString text = key->text();
        if (switchAllowed_ && (text == QStringLiteral("x") || text == QStringLiteral("X"))) {
            lbCompResKeyPress(list, text);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace mv
