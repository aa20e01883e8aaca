#pragma once
// Where ZBar's read of a linear symbol lies. ZBar marks a Code 128, Code 39 or Codabar symbol
// only where its scan lines met one end of it: points in a line across the bars, which place
// neither the symbol's length nor its middle.

#include <opencv2/core/mat.hpp>
#include <opencv2/core/types.hpp>

// Whether marks spanning the rectangle `marked` (picture pixels; PlaceOf the read) lie in a
// line across the bars of a symbol read along rows (alongRows) or along columns, rather than
// spread along its length, as ZBar's marks of an EAN's two halves are.
bool MarksOnlyAnEnd(cv::Rect marked, bool alongRows);

// The rectangle of picture (8-bit gray) that the symbol's bars cover: along the marks' lines,
// from the bar at the marks outwards, bar after bar either way, up to a light run that is a
// quiet zone (many narrow bars wide) or a dark run as wide (the dark beyond a label's edge),
// or the picture's edge; across the bars as far as they go (BarsExtent). Empty when no bar
// lies at the marks.
cv::Rect BarsFromMarks(const cv::Mat& picture, cv::Rect marked, bool alongRows);
