#pragma once
// A closer look at a doubted place of a picture: its neighbourhood cut out, its bars turned
// upright and scaled to about a camera frame's width, read by both engines.

#include "decode/CrossCheck.h"

#include <opencv2/core/mat.hpp>
#include <opencv2/core/types.hpp>

#include <optional>
#include <span>
#include <string_view>

// Both engines' reads of the neighbourhood of place (a rectangle of picture pixels) in the
// way-th way (0: upright and scaled; 1: that smoothed, for noise and grain; 2: that with its
// light evened out, for a shadow or a glare band over part of it), zxing-cpp reading the
// symbologies named; points in picture pixels. Where nothing at all is read upright (a label
// seen at a slant, its length no longer along the rows), the place is read as it lies.
// lookPicture is the picture enlarged `enlargement` times (1: the picture itself). Nothing
// read for a place outside the picture; nullopt past the last way.
std::optional<EngineReads> LookCloser(const cv::Mat& lookPicture, int enlargement, cv::Rect place, int way,
                                      std::span<const std::string_view> zxingNames);
