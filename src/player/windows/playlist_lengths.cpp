#include "player/windows/playlist_lengths.h"

#include <QApplication>
#include <QListWidget>
#include <QPainter>
#include <QTimer>
#include <memory>

#include "player/play_time.h"
#include "ui/common/display_text.h"

namespace mv {

namespace {

QString LengthTextOf(const QModelIndex& index) {
    const QVariant ms = index.data(PlaylistLengths::kLengthRole);
    if (!ms.isValid() || ms.toLongLong() <= 0) return {};
    return DisplayText(mv::PlayTimeText(ms.toLongLong()));
}

}  // namespace

void PlaylistLengthDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QString length = LengthTextOf(index);
    constexpr int kGap = 6;
    const int lengthWidth = length.isEmpty() ? 0 : opt.fontMetrics.horizontalAdvance(length) + kGap;
    // A long name gives way to the length rather than run under it.
    opt.text =
        opt.fontMetrics.elidedText(opt.text, Qt::ElideRight, opt.rect.width() - lengthWidth - kGap);
    const QWidget* widget = opt.widget;
    QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
    if (length.isEmpty()) return;
    painter->save();
    const bool selected = (opt.state & QStyle::State_Selected) != 0;
    painter->setPen(opt.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    painter->drawText(opt.rect.adjusted(0, 0, -kGap / 2, 0), Qt::AlignRight | Qt::AlignVCenter,
                      length);
    painter->restore();
}

PlaylistLengths::PlaylistLengths(QListWidget* lPlayList, const mv::Playlist& playlist,
                                 PlaylistLengthsHooks hooks, QObject* parent)
    : QObject(parent), lPlayList_(lPlayList), playlist_(playlist), hooks_(std::move(hooks)) {
    if (!hooks_.gather) hooks_.gather = &mv::GatherFacts;
    lPlayList_->setItemDelegate(new PlaylistLengthDelegate(lPlayList_));
    // Some callers add the row before the entry: look once both stand.
    fillTimer_ = new QTimer(this);
    fillTimer_->setSingleShot(true);
    fillTimer_->setInterval(0);
    connect(fillTimer_, &QTimer::timeout, this, &PlaylistLengths::Fill);
    connect(lPlayList_->model(), &QAbstractItemModel::rowsInserted, this,
            &PlaylistLengths::RowsCameIn);
}

PlaylistLengths::~PlaylistLengths() {
    stop_ = true;
    if (worker_.joinable()) worker_.join();
}

QString PlaylistLengths::LengthText(int row) const {
    if (row < 0 || row >= lPlayList_->count()) return {};
    return LengthTextOf(lPlayList_->model()->index(row, 0));
}

void PlaylistLengths::RowsCameIn() {
    fillTimer_->start();
}

// Shows what is known and hands what is not to a worker, unless one runs:
// its end comes back here.
void PlaylistLengths::Fill() {
    std::vector<std::string> wanted;
    const int rows = std::min<int>(lPlayList_->count(), static_cast<int>(playlist_.size()));
    for (int row = 0; row < rows; ++row) {
        const std::string& path = playlist_[static_cast<size_t>(row)].path;
        QListWidgetItem* item = lPlayList_->item(row);
        const auto known = lengths_.find(path);
        if (known != lengths_.end()) {
            if (!item->data(kLengthRole).isValid())
                item->setData(kLengthRole, QVariant::fromValue<qint64>(known->second));
        } else if (!Reading() && asked_.insert(path).second) {
            wanted.push_back(path);
        }
    }
    if (wanted.empty()) return;
    mv::FactsBatchParams params;
    params.paths = std::move(wanted);
    params.hash = mv::HashWhich::None;
    params.cacheFile = cacheFile_;
    params.threads = 1;  // the comparison's facts may want the other cores
    params.progress = [this](std::size_t, std::size_t) { return !stop_; };
    worker_ = std::thread([this, params = std::move(params)] {
        const mv::FactsBatchResult result = hooks_.gather(params);
        auto lengths = std::make_shared<std::unordered_map<std::string, int64_t>>();
        for (const std::string& path : params.paths) {
            const auto it = result.facts.find(path);
            (*lengths)[path] = it == result.facts.end() ? 0 : it->second.durationMs;
        }
        QMetaObject::invokeMethod(
            this, [this, lengths] { Finished(std::move(*lengths)); }, Qt::QueuedConnection);
    });
}

void PlaylistLengths::Finished(std::unordered_map<std::string, int64_t> lengths) {
    if (worker_.joinable()) worker_.join();
    for (auto& [path, ms] : lengths) lengths_.emplace(path, ms);
    // A stopped batch did not read them all: those stay asked, as with a
    // file that cannot be read.
    Fill();
}

}  // namespace mv
