#include "decode/SymbolPlace.h"

#include <algorithm>
#include <climits>

namespace {
constexpr int kWidening = 10;  // the longer side's share, as 1 / kWidening on each side
constexpr int kLeastWidening = 4;  // pixels: a symbol read on one scan line is one pixel high

cv::Rect Widened(const cv::Rect& place)
{
    const int by = std::max(kLeastWidening, std::max(place.width, place.height) / kWidening);
    return {place.x - by, place.y - by, place.width + 2 * by, place.height + 2 * by};
}
}  // namespace

cv::Rect PlaceOf(const SymbolHit& symbol)
{
    if (symbol.points.empty())
        return {};
    int left = INT_MAX;
    int top = INT_MAX;
    int right = INT_MIN;
    int bottom = INT_MIN;
    for (const auto& [x, y] : symbol.points) {
        left = std::min(left, x);
        top = std::min(top, y);
        right = std::max(right, x);
        bottom = std::max(bottom, y);
    }
    // Points are pixels: the rectangle includes the last row and column.
    return {left, top, right - left + 1, bottom - top + 1};
}

bool SamePlace(const SymbolHit& one, const SymbolHit& other)
{
    if (one.points.empty() || other.points.empty())
        return false;
    return (Widened(PlaceOf(one)) & Widened(PlaceOf(other))).area() > 0;
}

bool OneWithinOther(const SymbolHit& one, const SymbolHit& other)
{
    if (one.points.empty() || other.points.empty())
        return false;
    const cv::Rect first = PlaceOf(one);
    const cv::Rect second = PlaceOf(other);
    return 2 * (first & second).area() >= std::min(first.area(), second.area());
}
