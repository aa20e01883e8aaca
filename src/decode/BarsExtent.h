#pragma once
// How far a linear symbol's bars reach, from the few rows or columns it was read along.

#include <opencv2/core/mat.hpp>
#include <opencv2/core/types.hpp>

// The rectangle of picture (8-bit gray) that the bars crossing read cover: read spans the
// symbol's length across its bars (the longer side; a row or two when read along rows, a
// column or two when read along columns). From read's middle line outwards, one line at a
// time, while each line still shows the same bars as the one before it (their profiles
// correlate, allowing for a pixel of shift, so that a turned symbol is followed too). Always
// holds read itself, clipped to the picture.
cv::Rect BarsExtent(const cv::Mat& picture, cv::Rect read);
