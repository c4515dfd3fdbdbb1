#include "ui/common/fitting_label.h"

#include <QFontMetrics>
#include <QPainter>

namespace mv {

namespace {

constexpr int kSmallestPixelSize = 7;

int PixelSizeOf(const QFont& font) {
    if (font.pixelSize() > 0) return font.pixelSize();
    return QFontMetrics(font).height();
}

}  // namespace

FittingLabel::FittingLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {}

int FittingLabel::FittedPixelSize() const {
    QFont f = font();
    int size = PixelSizeOf(f);
    const int available = contentsRect().width();
    while (size > kSmallestPixelSize) {
        f.setPixelSize(size);
        if (QFontMetrics(f).horizontalAdvance(text()) <= available) break;
        --size;
    }
    return size;
}

void FittingLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QFont f = font();
    f.setPixelSize(FittedPixelSize());
    painter.setFont(f);
    painter.setPen(palette().color(foregroundRole()));
    const QRect area = contentsRect();
    const QString shown = QFontMetrics(f).elidedText(text(), Qt::ElideRight, area.width());
    painter.drawText(area, static_cast<int>(alignment()) | Qt::TextSingleLine, shown);
}

}  // namespace mv
