#pragma once

#include <cstddef>
#include <vector>

// Proportional placement: each child keeps its share of the parent's width and
// height, captured once from the design and applied on every resize.
namespace mv {

struct LayoutRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const LayoutRect&) const = default;
};

// Four arrays, one entry per child in the parent's child order.
struct LayoutShares {
    std::vector<float> widthShares;
    std::vector<float> heightShares;
    std::vector<float> leftShares;
    std::vector<float> topShares;

    std::size_t size() const { return widthShares.size(); }
};

// Shares of `children` relative to a parent of the given size. A zero-sized
// parent gives zero shares rather than dividing by zero.
LayoutShares CaptureShares(const std::vector<LayoutRect>& children, int parentWidth,
                           int parentHeight);

// When the children reach past the right edge (largest left + width share m
// above 1), every share is divided by m + 0.03 so the contents fit again.
void FitSharesIntoWidth(LayoutShares& shares);

// Child i placed for a parent of the given size; products are truncated
// toward zero, never rounded.
LayoutRect PlaceFromShares(const LayoutShares& shares, std::size_t i, int parentWidth,
                           int parentHeight);

}  // namespace mv
