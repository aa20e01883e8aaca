#include "capture/OutlineVertices.h"

std::optional<std::array<cv::Point, 4>> OutlineVertices(const std::vector<std::pair<int, int>>& points)
{
    if (points.empty())
        return std::nullopt;
    std::array<cv::Point, 4> vertices;
    std::size_t next = 0;
    for (std::size_t v = 0; v < vertices.size(); ++v) {
        if (next < points.size()) {
            vertices[v] = cv::Point(points[next].first, points[next].second);
            ++next;
        } else {
            vertices[v] = vertices[v - 1];  // v > 0: the first vertex always takes p0
            next = 0;
        }
    }
    return vertices;
}
