#include "ui/common/proportional_layout.h"

#include <cmath>

namespace mv {

namespace {

float Share(int part, int whole) {
    return whole == 0 ? 0.0f : static_cast<float>(part) / static_cast<float>(whole);
}

int Scaled(int whole, float share) {
    return static_cast<int>(std::trunc(static_cast<double>(whole) * static_cast<double>(share)));
}

}  // namespace

LayoutShares CaptureShares(const std::vector<LayoutRect>& children, int parentWidth,
                           int parentHeight) {
    LayoutShares shares;
    for (const LayoutRect& r : children) {
        shares.widthShares.push_back(Share(r.width, parentWidth));
        shares.heightShares.push_back(Share(r.height, parentHeight));
        shares.leftShares.push_back(Share(r.left, parentWidth));
        shares.topShares.push_back(Share(r.top, parentHeight));
    }
    return shares;
}

void FitSharesIntoWidth(LayoutShares& shares) {
    float m = 0.0f;
    for (std::size_t i = 0; i < shares.size(); ++i) {
        float right = shares.leftShares[i] + shares.widthShares[i];
        if (right > m) m = right;
    }
    if (!(m > 1.0f)) return;
    const float divisor = m + 0.03f;
    for (std::size_t i = 0; i < shares.size(); ++i) {
        shares.widthShares[i] /= divisor;
        shares.heightShares[i] /= divisor;
        shares.leftShares[i] /= divisor;
        shares.topShares[i] /= divisor;
    }
}

LayoutRect PlaceFromShares(const LayoutShares& shares, std::size_t i, int parentWidth,
                           int parentHeight) {
    LayoutRect r;
    r.width = Scaled(parentWidth, shares.widthShares[i]);
    r.height = Scaled(parentHeight, shares.heightShares[i]);
    r.left = Scaled(parentWidth, shares.leftShares[i]);
    r.top = Scaled(parentHeight, shares.topShares[i]);
    return r;
}

}  // namespace mv
