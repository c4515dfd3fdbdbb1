#pragma once

#include <vector>

#include "ui/common/proportional_layout.h"

class QWidget;

namespace mv {

// ProportionalChildren: some children of one parent, each set at its design
// rectangle by Place(), then kept in proportion as the parent is resized.
// Capture() records each child's share of the parent as it stands (with
// `fitIntoWidth`, shares that run past the right edge are brought in);
// Apply() places every child from those shares, and does nothing before a
// capture.
class ProportionalChildren {
  public:
    void Place(QWidget* child, mv::LayoutRect design);
    void Capture(int parentWidth, int parentHeight, bool fitIntoWidth);
    void Apply(int parentWidth, int parentHeight) const;
    bool Captured() const { return captured_; }

  private:
    std::vector<QWidget*> children_;
    mv::LayoutShares shares_;
    bool captured_ = false;
};

}  // namespace mv
