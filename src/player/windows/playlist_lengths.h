#pragma once

#include <QObject>
#include <QStyledItemDelegate>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "media/facts_batch.h"
#include "player/playlist_file.h"

class QListWidget;
class QTimer;

namespace mv {

// Paints a playlist row as it is, with the entry's length (item data
// kLengthRole, in ms) right-aligned after it; the row's text stays the name.
class PlaylistLengthDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

struct PlaylistLengthsHooks {
    // The batch reader; unset: mv::GatherFacts.
    std::function<mv::FactsBatchResult(const mv::FactsBatchParams&)> gather;
};

// The length of every playlist entry, shown once known. Rows that come into
// lPlayList are looked up in the facts cache (a miss reads the file) on a
// worker thread, one batch at a time; each file is read at most once for the
// program's life, also when it leaves the playlist and comes back. The
// playlist (the window's) is read on the GUI thread only.
class PlaylistLengths : public QObject {
    Q_OBJECT
  public:
    // Item data of a lPlayList row: its length in ms (qint64), unset until known.
    static constexpr int kLengthRole = Qt::UserRole + 1;

    PlaylistLengths(QListWidget* lPlayList, const mv::Playlist& playlist,
                    PlaylistLengthsHooks hooks, QObject* parent = nullptr);
    ~PlaylistLengths() override;

    // Where the facts are kept between runs; empty (the default): nowhere.
    void SetCacheFile(std::filesystem::path file) { cacheFile_ = std::move(file); }
    // The text shown after row `row`: "m:ss", empty while unknown.
    QString LengthText(int row) const;
    bool Reading() const { return worker_.joinable(); }

  private:
    void RowsCameIn();
    void Fill();
    void Finished(std::unordered_map<std::string, int64_t> lengths);

    QListWidget* lPlayList_;
    const mv::Playlist& playlist_;
    PlaylistLengthsHooks hooks_;
    std::filesystem::path cacheFile_;
    QTimer* fillTimer_ = nullptr;  // one pass after a burst of inserted rows
    std::thread worker_;
    std::atomic<bool> stop_{false};
    std::unordered_map<std::string, int64_t> lengths_;  // by path; 0: none could be read
    std::unordered_set<std::string> asked_;             // handed to a worker once
};

}  // namespace mv
