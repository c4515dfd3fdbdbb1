#pragma once

#include <QStyledItemDelegate>

namespace mv {

// Draws a result row as the style does, but never taller than a row of text
// alone: the same-audio mark sits inside the row, so the two halves of every
// pair, one in each list, stay on one line.
class ResultRowDelegate : public QStyledItemDelegate {
    Q_OBJECT
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

}  // namespace mv
