#include "dupes/windows/result_pair_model.h"

#include <QByteArray>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QString>
#include <QStringList>
#include <functional>

#include "media/print_similarity.h"
#include "ui/common/display_text.h"

namespace mv {

namespace {

// A ring with `inside` drawn in it, in black: a shape, so it reads without colour.
QIcon RingMark(const std::function<void(QPainter&)>& inside) {
    QPixmap pixmap(12, 12);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1.2));
    painter.drawEllipse(QRectF(0.6, 0.6, 10.8, 10.8));
    inside(painter);
    return QIcon(pixmap);
}

// An equals sign in a ring.
QIcon SameAudioMark() {
    return RingMark([](QPainter& painter) {
        painter.drawLine(QPointF(3.5, 4.8), QPointF(8.5, 4.8));
        painter.drawLine(QPointF(3.5, 7.2), QPointF(8.5, 7.2));
    });
}

// A wavy equals sign in a ring, set apart from the same-audio sign by its
// shape alone.
QIcon SameRecordingMark() {
    return RingMark([](QPainter& painter) {
        for (const double y : {4.8, 7.4}) {
            QPainterPath wave(QPointF(3.0, y));
            wave.cubicTo(QPointF(4.6, y - 1.8), QPointF(7.4, y + 1.8), QPointF(9.0, y));
            painter.drawPath(wave);
        }
    });
}

}  // namespace

ResultPairModel::ResultPairModel(QObject* parent) : QAbstractTableModel(parent) {}

int ResultPairModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ResultPairModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 2;
}

QVariant ResultPairModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= static_cast<int>(rows_.size())) return {};
    const mv::ResultRow& row = rows_[static_cast<std::size_t>(index.row())];
    const bool left = index.column() == 0;
    const std::string& text = left ? row.left : row.right;
    switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole:
            return DisplayText(text);
        case BytesRole:
            return BytesData(text);
        case KindRole:
            return static_cast<int>(left ? row.leftKind : row.rightKind);
        case Qt::DecorationRole:
            if (!left) return {};
            if (SameAudio(index.row())) {
                if (sameAudioMark_.isNull()) sameAudioMark_ = SameAudioMark();
                return sameAudioMark_;
            }
            if (!SameRecording(index.row())) return {};
            if (sameRecordingMark_.isNull()) sameRecordingMark_ = SameRecordingMark();
            return sameRecordingMark_;
        case Qt::AccessibleDescriptionRole:
            return left ? Description(index.row()) : QVariant();
        default:
            return {};
    }
}

void ResultPairModel::Clear() {
    beginResetModel();
    rows_.clear();
    sameAudio_.clear();
    sound_.clear();
    endResetModel();
    Q_EMIT Cleared();
}

void ResultPairModel::Append(std::vector<mv::ResultRow>&& batch) {
    if (batch.empty()) return;
    const int first = static_cast<int>(rows_.size());
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(batch.size()) - 1);
    rows_.insert(rows_.end(), std::make_move_iterator(batch.begin()),
                 std::make_move_iterator(batch.end()));
    sameAudio_.resize(rows_.size(), false);
    sound_.resize(rows_.size());
    endInsertRows();
}

void ResultPairModel::RemoveRows(const std::vector<std::size_t>& ascending) {
    if (ascending.empty()) return;
    std::size_t runs = 1;
    for (std::size_t i = 1; i < ascending.size(); ++i) {
        if (ascending[i - 1] + 1 != ascending[i]) ++runs;
    }
    if (runs > 64) {
        // Scattered rows on a long list: one filtered copy instead of many erases.
        beginResetModel();
        std::vector<mv::ResultRow> kept;
        std::vector<bool> keptMarks;
        std::vector<RowSound> keptSound;
        kept.reserve(rows_.size() - ascending.size());
        std::size_t next = 0;
        for (std::size_t i = 0; i < rows_.size(); ++i) {
            if (next < ascending.size() && ascending[next] == i) {
                ++next;
            } else {
                kept.push_back(std::move(rows_[i]));
                keptMarks.push_back(sameAudio_[i]);
                keptSound.push_back(sound_[i]);
            }
        }
        rows_ = std::move(kept);
        sameAudio_ = std::move(keptMarks);
        sound_ = std::move(keptSound);
        endResetModel();
        return;
    }
    // Walk runs of consecutive rows from the end so earlier indices stay valid.
    std::size_t end = ascending.size();
    while (end > 0) {
        std::size_t start = end - 1;
        while (start > 0 && ascending[start - 1] + 1 == ascending[start]) --start;
        const int first = static_cast<int>(ascending[start]);
        const int last = static_cast<int>(ascending[end - 1]);
        beginRemoveRows(QModelIndex(), first, last);
        rows_.erase(rows_.begin() + first, rows_.begin() + last + 1);
        sameAudio_.erase(sameAudio_.begin() + first, sameAudio_.begin() + last + 1);
        sound_.erase(sound_.begin() + first, sound_.begin() + last + 1);
        endRemoveRows();
        end = start;
    }
}

void ResultPairModel::SwapSides(int k) {
    if (k < 0 || k >= static_cast<int>(rows_.size())) return;
    mv::ResultRow& row = rows_[static_cast<std::size_t>(k)];
    std::swap(row.left, row.right);
    std::swap(row.leftKind, row.rightKind);
    Q_EMIT dataChanged(index(k, 0), index(k, 1));
}

void ResultPairModel::SetSameAudio(const std::vector<bool>& rows) {
    sameAudio_.assign(rows_.size(), false);
    for (std::size_t k = 0; k < rows.size() && k < rows_.size(); ++k) sameAudio_[k] = rows[k];
    if (!rows_.empty()) Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, 0));
}

bool ResultPairModel::SameAudio(int k) const {
    return k >= 0 && static_cast<std::size_t>(k) < sameAudio_.size() &&
           sameAudio_[static_cast<std::size_t>(k)];
}

void ResultPairModel::SetSound(const std::vector<RowSound>& rows) {
    sound_.assign(rows_.size(), RowSound{});
    for (std::size_t k = 0; k < rows.size() && k < rows_.size(); ++k) sound_[k] = rows[k];
    if (!rows_.empty()) Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, 0));
}

const ResultPairModel::RowSound& ResultPairModel::SoundOf(int k) const {
    static const RowSound unchecked;
    if (k < 0 || static_cast<std::size_t>(k) >= sound_.size()) return unchecked;
    return sound_[static_cast<std::size_t>(k)];
}

bool ResultPairModel::SameRecording(int k) const {
    const RowSound& sound = SoundOf(k);
    return sound.similarity && *sound.similarity >= kSameRecording;
}

QVariant ResultPairModel::Description(int k) const {
    QStringList marks;
    if (SameAudio(k)) marks << DisplayText(kSameAudioText);
    if (SameRecording(k)) marks << DisplayText(kSameRecordingText);
    if (marks.isEmpty()) return {};
    return marks.join(QStringLiteral(", "));
}

}  // namespace mv
