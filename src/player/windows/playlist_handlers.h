#pragma once

#include <QObject>
#include <filesystem>
#include <functional>
#include <string>
#include <unordered_map>

#include "platform/file_ops.h"
#include "player/playlist_file.h"

class QAction;
class QEvent;
class QLineEdit;
class QListWidget;
class QMenu;
class QPoint;
class QWidget;

namespace mv {

class Dialogs;

// The widgets of the main window that the playlist commands read and write.
struct PlaylistWidgets {
    QWidget* window = nullptr;  // parent of the questions and dialogs
    QListWidget* lPlayList = nullptr;
    QMenu* pmPlayList = nullptr;
    QAction* tmiPlay = nullptr;
    QAction* tmiRemove = nullptr;
    QAction* tmiTag = nullptr;
    QAction* tmiLocate = nullptr;
    QAction* tmiDelete = nullptr;
    QAction* tmiRecurse = nullptr;  // add subfolders too
    QLineEdit* eExt = nullptr;
};

// What the playlist asks of the rest of the window.
struct PlaylistHooks {
    std::function<void(const std::string& path)> playFile;  // the playback handlers
    std::function<void(const std::string& path)> readTag;   // the tag panel
    std::function<std::string()> browserFolder;             // the browser's current folder
    // Moves the browser to `folder` and selects the file `name` there.
    std::function<void(const std::string& folder, const std::string& name)> browseTo;
    std::function<void()> refreshBrowser;
    // Trash or delete for good, and the deletion log; unset: delete, no log.
    std::function<mv::RemovalPolicy()> removalPolicy;
    std::function<void()> enterBusyState;
    std::function<void()> leaveBusyState;
};

// The playlist box and its menus: the Playlist menu commands, the popup menu,
// Delete, drag to reorder, double-click. The playlist (the window's) and the
// box change together, so row k always shows entry k. GUI thread only.
class PlaylistHandlers : public QObject {
    Q_OBJECT
  public:
    PlaylistHandlers(const PlaylistWidgets& widgets, Dialogs& dialogs, mv::Playlist& playlist,
                     std::filesystem::path programFolder, PlaylistHooks hooks,
                     QObject* parent = nullptr);

    void bPlaylistAddClick();
    void bClearPlaylistClick();
    void bSavePClick();
    void bLoadPClick();
    void tmiPlayClick();
    void tmiRemoveClick();
    void tmiTagClick();
    void tmiLocateClick();
    void tmiDeleteClick();
    void lPlayListClick();
    void lPlayListDblClick() { tmiPlayClick(); }
    void lPlayListContextPopup(const QPoint& pos);
    void RemoveSelected();  // the Delete key

    // Appends the file's entries to the playlist and the box (any format; see
    // playlist_formats.h); the entries left out for missing files are told once.
    bool LoadPlaylist(const std::filesystem::path& file);

    // The row a drop at `pos` (viewport coordinates) lands on.
    int DropTarget(const QPoint& pos) const;
    // The auto-scroll while dragging over `pos`.
    void DragOver(const QPoint& pos);
    void DropAt(const QPoint& pos);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Rebuilds the box's rows from the playlist (after a change in the middle).
    void ShowPlaylist(int current);
    std::string CurrentPath() const;

    PlaylistWidgets w_;
    Dialogs& dialogs_;
    mv::Playlist& playlist_;
    std::filesystem::path programFolder_;
    PlaylistHooks hooks_;
    // Seconds per path as standard playlists gave them, so a save keeps them.
    std::unordered_map<std::string, int> lengths_;
};

}  // namespace mv
