#include "ui/main/proportional_children.h"

#include <QWidget>

namespace mv {

void ProportionalChildren::Place(QWidget* child, mv::LayoutRect design) {
    child->setGeometry(design.left, design.top, design.width, design.height);
    children_.push_back(child);
}

void ProportionalChildren::Capture(int parentWidth, int parentHeight, bool fitIntoWidth) {
    std::vector<mv::LayoutRect> rects;
    for (const QWidget* w : children_) rects.push_back({w->x(), w->y(), w->width(), w->height()});
    shares_ = mv::CaptureShares(rects, parentWidth, parentHeight);
    if (fitIntoWidth) mv::FitSharesIntoWidth(shares_);
    captured_ = true;
}

void ProportionalChildren::Apply(int parentWidth, int parentHeight) const {
    if (!captured_) return;
    for (std::size_t i = 0; i < children_.size(); ++i) {
        const mv::LayoutRect r = mv::PlaceFromShares(shares_, i, parentWidth, parentHeight);
        children_[i]->setGeometry(r.left, r.top, r.width, r.height);
    }
}

}  // namespace mv
