#pragma once
// Whether a linear read spans its whole symbol. Codabar and Code 39 leave the gaps between
// their characters free and carry no check character: a character misread as a stop
// character ends a read in the middle of the symbol, and its text then lacks the rest. Such
// a read's bars go on past its end, where a whole symbol has its quiet zone.

#include <opencv2/core/mat.hpp>
#include <opencv2/core/types.hpp>

#include <cstddef>

// Whether bars go on past either end of a read: `bars` is the rectangle its bars cover (picture
// pixels, an 8-bit gray picture; the read runs along its longer side) and `characters` the
// count of characters it read, start and stop included. True when on most of several lines
// through the bars the symbol's bars, followed from the read's middle across the gaps between
// them, reach half a character or more past an end.
bool BarsGoOnPastRead(const cv::Mat& picture, cv::Rect bars, std::size_t characters);
