#pragma once

#include <QLabel>

namespace mv {

// A one-line label that keeps its whole text readable inside its rectangle:
// when the text is wider than the label (fonts differ from the design's), it is
// drawn in a smaller size, down to a floor, and elided only below that.
class FittingLabel : public QLabel {
    Q_OBJECT
  public:
    explicit FittingLabel(const QString& text, QWidget* parent = nullptr);

    // The pixel size the text is drawn in at the label's present width.
    int FittedPixelSize() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace mv
