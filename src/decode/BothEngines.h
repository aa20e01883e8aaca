#pragma once
// One look at a picture by both engines at once.

#include "decode/CrossCheck.h"

#include <opencv2/core/mat.hpp>

#include <span>
#include <string_view>

// Which engines take a look. Both take the first, and those further looks that are no
// larger than the picture (ZBar's own test of inverted pictures is such a look); zxing-cpp
// alone takes the costly ones, in which it finds nearly all that both would.
enum class Engines { Both, ZxingOnly };

// What the engines read in an 8-bit gray picture: ZBar every symbology, zxing-cpp those
// named (ZBar's names), points in the picture's pixels, zxing-cpp's symbols in its own order.
// zxing-cpp reads meanwhile, on a thread kept for each calling thread (without ZBar, its linear
// reads only): a camera pass, or a drop of one picture, has a second core for it.
EngineReads ReadWithBoth(const cv::Mat& picture, Engines engines, std::span<const std::string_view> zxingNames);
