#pragma once
// Placeholder until the bar-level check lands: it knows nothing yet.

#include <opencv2/core/mat.hpp>

#include <string_view>

enum class BarsSay { Fits, Misfits, Unknown };

inline BarsSay CheckEanBars(const cv::Mat&, cv::Rect, std::string_view)
{
    return BarsSay::Unknown;
}
