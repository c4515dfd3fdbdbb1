#include "dupes/windows/result_row_delegate.h"

#include <QApplication>
#include <QStyle>

namespace mv {

QSize ResultRowDelegate::sizeHint(const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const {
    QStyleOptionViewItem textOnly = option;
    initStyleOption(&textOnly, index);
    textOnly.features &= ~QStyleOptionViewItem::HasDecoration;
    textOnly.icon = QIcon();
    const QWidget* widget = option.widget;
    const QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(
        style->sizeFromContents(QStyle::CT_ItemViewItem, &textOnly, QSize(), widget).height());
    return size;
}

}  // namespace mv
