#pragma once
// The four corners of a detected symbol's outline, from its location points.

#include <opencv2/core/types.hpp>

#include <array>
#include <optional>
#include <utility>
#include <vector>

// A walk over the points from the first, one point per vertex; past the last point a
// vertex repeats the one before and the walk starts over. So four or more points give
// p0 p1 p2 p3, three p0 p1 p2 p2, two p0 p1 p1 p0, one p0 p0 p0 p0. No points: nothing.
std::optional<std::array<cv::Point, 4>> OutlineVertices(const std::vector<std::pair<int, int>>& points);
