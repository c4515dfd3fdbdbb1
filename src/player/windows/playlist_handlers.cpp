#include "player/windows/playlist_handlers.h"

#include <QAction>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QScrollBar>

#include "platform/file_ops.h"
#include "platform/folder_listing.h"
#include "player/playlist_edit.h"
#include "player/playlist_formats.h"
#include "ui/common/dialogs.h"
#include "ui/common/display_text.h"

namespace mv {

namespace {

const QString kPlaylistFilter = QStringLiteral(
    "Text files (*.txt);;M3U playlists (*.m3u);;M3U8 playlists (*.m3u8);;PLS playlists "
    "(*.pls);;All files (*)");

std::vector<bool> SelectedRows(const QListWidget* box) {
    std::vector<bool> selected(static_cast<size_t>(box->count()));
    for (const QModelIndex& index : box->selectionModel()->selectedIndexes()) {
        selected[static_cast<size_t>(index.row())] = true;
    }
    return selected;
}

}  // namespace

PlaylistHandlers::PlaylistHandlers(const PlaylistWidgets& widgets, Dialogs& dialogs,
                                   mv::Playlist& playlist, std::filesystem::path programFolder,
                                   PlaylistHooks hooks, QObject* parent)
    : QObject(parent),
      w_(widgets),
      dialogs_(dialogs),
      playlist_(playlist),
      programFolder_(std::move(programFolder)),
      hooks_(std::move(hooks)) {
    QListWidget* box = w_.lPlayList;
    box->setDragEnabled(true);
    box->viewport()->setAcceptDrops(true);
    box->setDragDropMode(QAbstractItemView::DragDrop);
    box->setContextMenuPolicy(Qt::CustomContextMenu);
    box->installEventFilter(this);
    box->viewport()->installEventFilter(this);
    connect(box, &QListWidget::clicked, this, &PlaylistHandlers::lPlayListClick);
    connect(box, &QListWidget::doubleClicked, this, &PlaylistHandlers::lPlayListDblClick);
    connect(box, &QListWidget::customContextMenuRequested, this,
            &PlaylistHandlers::lPlayListContextPopup);
    connect(w_.tmiPlay, &QAction::triggered, this, &PlaylistHandlers::tmiPlayClick);
    connect(w_.tmiRemove, &QAction::triggered, this, &PlaylistHandlers::tmiRemoveClick);
    connect(w_.tmiTag, &QAction::triggered, this, &PlaylistHandlers::tmiTagClick);
    connect(w_.tmiLocate, &QAction::triggered, this, &PlaylistHandlers::tmiLocateClick);
    connect(w_.tmiDelete, &QAction::triggered, this, &PlaylistHandlers::tmiDeleteClick);
}

std::string PlaylistHandlers::CurrentPath() const {
    const int row = w_.lPlayList->currentRow();
    if (row < 0 || row >= static_cast<int>(playlist_.size())) return {};
    return playlist_[static_cast<size_t>(row)].path;
}

void PlaylistHandlers::ShowPlaylist(int current) {
    QListWidget* box = w_.lPlayList;
    box->setUpdatesEnabled(false);
    box->clear();
    QStringList rows;
    rows.reserve(static_cast<qsizetype>(playlist_.size()));
    for (const mv::PlaylistEntry& entry : playlist_) rows << DisplayText(entry.name);
    box->addItems(rows);
    box->setUpdatesEnabled(true);
    // Making a row current selects it; with none the selection stays empty.
    if (current >= 0) {
        box->setCurrentRow(current);
    } else {
        box->setCurrentRow(-1);
    }
}

void PlaylistHandlers::bPlaylistAddClick() {
    if (hooks_.enterBusyState) hooks_.enterBusyState();
    mv::AddFolderParams params;
    params.folder = hooks_.browserFolder ? hooks_.browserFolder() : std::string();
    params.ext = TypedBytes(w_.eExt->text());
    params.recurse = w_.tmiRecurse->isChecked();
    const size_t before = playlist_.size();
    const mv::AddFolderResult added = mv::AddFolderToPlaylist(params, playlist_);
    QStringList rows;
    for (size_t i = before; i < playlist_.size(); ++i) rows << DisplayText(playlist_[i].name);
    w_.lPlayList->addItems(rows);
    if (hooks_.leaveBusyState) hooks_.leaveBusyState();
    if (!added.refused.empty()) {
        dialogs_.Information(w_.window, DisplayText(mv::PlaylistRefusedMessage(added.refused)));
    }
}

void PlaylistHandlers::bClearPlaylistClick() {
    playlist_.clear();
    w_.lPlayList->clear();
}

void PlaylistHandlers::bSavePClick() {
    const auto chosen = dialogs_.SaveFile(w_.window, QStringLiteral("Save Playlist"),
                                          DisplayText(programFolder_.string()), kPlaylistFilter);
    if (!chosen) return;
    std::filesystem::path file(TypedBytes(*chosen));
    if (!file.has_extension()) file += ".txt";
    mv::PlaylistWriteParams params;
    params.file = file;
    params.lengthOf = [this](const std::string& path) {
        const auto known = lengths_.find(path);
        return known == lengths_.end() ? -1 : known->second;
    };
    const mv::PlaylistWriteResult written = mv::WritePlaylistFile(params, playlist_);
    if (!written.error.empty()) {
        dialogs_.Information(w_.window, DisplayText(written.error));
    } else if (mv::PlaylistFormatOf(file) != mv::PlaylistFormat::Own) {
        // The own format's refusals were told when the files were added.
        const std::string refused = mv::UnwritableEntriesMessage(written.refused);
        if (!refused.empty()) dialogs_.Information(w_.window, DisplayText(refused));
    }
}

void PlaylistHandlers::bLoadPClick() {
    const auto chosen = dialogs_.OpenFile(w_.window, QStringLiteral("Load Playlist"),
                                          DisplayText(programFolder_.string()), kPlaylistFilter);
    // A cancelled dialog keeps the playlist (and so LastList.txt at Exit).
    if (!chosen) return;
    bClearPlaylistClick();
    LoadPlaylist(std::filesystem::path(TypedBytes(*chosen)));
}

bool PlaylistHandlers::LoadPlaylist(const std::filesystem::path& file) {
    mv::PlaylistReadResult read = mv::ReadPlaylistFile(file);
    QStringList rows;
    for (size_t i = 0; i < read.entries.size(); ++i) {
        rows << DisplayText(read.entries[i].name);
        if (read.lengths[i] >= 0) lengths_[read.entries[i].path] = read.lengths[i];
        playlist_.push_back(std::move(read.entries[i]));
    }
    w_.lPlayList->addItems(rows);
    if (read.status != mv::ReadStatus::Read && !read.message.empty()) {
        dialogs_.Information(w_.window, DisplayText(read.message));
    }
    if (!read.missing.empty()) {
        dialogs_.Information(w_.window, DisplayText(mv::MissingEntriesMessage(read.missing)));
    }
    return read.status == mv::ReadStatus::Read;
}

void PlaylistHandlers::tmiPlayClick() {
    const std::string path = CurrentPath();
    if (!path.empty() && hooks_.playFile) hooks_.playFile(path);
}

void PlaylistHandlers::RemoveSelected() {
    const auto result = mv::RemoveSelectedEntries(playlist_, SelectedRows(w_.lPlayList),
                                                  w_.lPlayList->currentRow());
    if (result.removed.empty()) return;
    // Rows go from the last, so the indexes of the others hold.
    for (auto it = result.removed.rbegin(); it != result.removed.rend(); ++it) {
        delete w_.lPlayList->takeItem(static_cast<int>(*it));
    }
    w_.lPlayList->clearSelection();
    w_.lPlayList->setCurrentRow(result.current);
}

void PlaylistHandlers::tmiRemoveClick() {
    RemoveSelected();
}

void PlaylistHandlers::tmiTagClick() {
    const std::string path = CurrentPath();
    if (!path.empty() && hooks_.readTag) hooks_.readTag(path);
}

void PlaylistHandlers::tmiLocateClick() {
    const std::string path = CurrentPath();
    if (path.empty() || !hooks_.browseTo) return;
    hooks_.browseTo(mv::ParentFolder(path), mv::PlaylistDisplayName(path));
}

void PlaylistHandlers::tmiDeleteClick() {
    if (!dialogs_.YesNo(w_.window,
                        QStringLiteral("Are you sure you want to delete selected file(s)??"),
                        DefaultAnswer::Cautious)) {
        return;
    }
    const std::vector<bool> selected = SelectedRows(w_.lPlayList);
    const mv::RemovalPolicy policy =
        hooks_.removalPolicy ? hooks_.removalPolicy() : mv::RemovalPolicy{};
    std::string logError;
    for (size_t i = 0; i < selected.size() && i < playlist_.size(); ++i) {
        if (!selected[i]) continue;
        // Read-only files go too (a trashed one keeps its mode, so it comes back
        // as it was); a file that will not go still leaves the list.
        if (!policy.toTrash) mv::ClearAttributes(playlist_[i].path);
        const mv::RemovalResult removal = mv::RemoveUserFile(playlist_[i].path, policy);
        if (logError.empty()) logError = removal.logError;
    }
    const int current = w_.lPlayList->currentRow();
    const auto result = mv::RemoveSelectedEntries(playlist_, selected, current);
    for (auto it = result.removed.rbegin(); it != result.removed.rend(); ++it) {
        delete w_.lPlayList->takeItem(static_cast<int>(*it));
    }
    if (hooks_.refreshBrowser) hooks_.refreshBrowser();
    if (!logError.empty()) {
        dialogs_.Information(w_.window,
                             DisplayText("The deleted files could not all be logged. " + logError));
    }
}

void PlaylistHandlers::lPlayListClick() {
    w_.lPlayList->setSelectionMode(QAbstractItemView::ExtendedSelection);
}

void PlaylistHandlers::lPlayListContextPopup(const QPoint& pos) {
    QListWidget* box = w_.lPlayList;
    if (QListWidgetItem* item = box->itemAt(pos); item != nullptr) box->setCurrentItem(item);
    w_.pmPlayList->popup(box->viewport()->mapToGlobal(pos));
}

int PlaylistHandlers::DropTarget(const QPoint& pos) const {
    QListWidget* box = w_.lPlayList;
    if (!box->viewport()->rect().contains(pos)) return 0;
    const QModelIndex index = box->indexAt(pos);
    // Below the last row: one past the end once the entry is taken out.
    return index.isValid() ? index.row() : box->count();
}

void PlaylistHandlers::DragOver(const QPoint& pos) {
    QListWidget* box = w_.lPlayList;
    QScrollBar* bar = box->verticalScrollBar();
    const QModelIndex under = box->indexAt(pos);
    const QModelIndex top = box->indexAt(QPoint(0, 0));
    if (under.isValid() && under == top) bar->setValue(bar->value() - 1);
    const int rowHeight = box->sizeHintForRow(0) > 0 ? box->sizeHintForRow(0) : 1;
    if (pos.y() >= box->viewport()->height() - rowHeight) bar->setValue(bar->value() + 1);
}

void PlaylistHandlers::DropAt(const QPoint& pos) {
    const int from = w_.lPlayList->currentRow();
    if (from < 0) return;
    const int landed = mv::MovePlaylistEntry(playlist_, from, DropTarget(pos));
    QListWidgetItem* item = w_.lPlayList->takeItem(from);
    w_.lPlayList->insertItem(landed, item);
    w_.lPlayList->setCurrentRow(landed);
}

bool PlaylistHandlers::eventFilter(QObject* watched, QEvent* event) {
    if (watched == w_.lPlayList && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        RemoveSelected();
        return true;
    }
    if (watched != w_.lPlayList->viewport()) return false;
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            // Every drop is welcome, from any source: it moves the current entry.
            auto* drag = static_cast<QDragMoveEvent*>(event);
            drag->setDropAction(Qt::MoveAction);
            drag->accept();
            if (event->type() == QEvent::DragMove) DragOver(drag->position().toPoint());
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            // The move is ours; a MoveAction would let the view remove the source row.
            drop->setDropAction(Qt::CopyAction);
            drop->accept();
            DropAt(drop->position().toPoint());
            return true;
        }
        default:
            return false;
    }
}

}  // namespace mv
