#pragma once
// The dark and light runs along one line across a linear symbol, their edges placed to a
// fraction of a pixel.

#include <opencv2/core/mat.hpp>
#include <opencv2/core/types.hpp>

#include <span>
#include <vector>

struct BarRun {
    double begin;  // in samples of the profile; the first run begins at 0, the last ends at its length
    double end;
    bool dark;
};

// The runs of a profile (gray values, one a pixel along the line): each extreme that stands
// out from its neighbours by at least the step there (gray levels, one for each sample) is a
// run, and each edge lies where the profile crosses midway between the two extremes beside it.
// An edge between a narrow, blurred run and a wide one thus sits at the narrow run's own half
// height, which a single threshold for the whole line would miss. Nothing without a step for each sample.
std::vector<BarRun> RunsAlong(std::span<const float> profile, std::span<const float> steps);

// The runs along row `row` of lines (8-bit gray, its rows crossing the bars), that row averaged
// with the rows beside it: an extreme stands out by a share of the contrast within contrastReach
// samples about it and well above the noise the rows show, so that a glare or a shadow over
// part of the symbol lowers the step there only.
std::vector<BarRun> RunsAcross(const cv::Mat& lines, int row, int contrastReach);

// The picture about a symbol's bars as lines along its length: the rows through `bars` (a
// rectangle of the picture), or its columns made rows when not alongRows, each reaching
// `reach` pixels past either end (within the picture).
struct BarLines {
    cv::Mat lines;      // 8-bit gray, a row a line
    double barsBegin;   // where the bars' rectangle begins along each line
    double barsLength;  // and how long it is
};
BarLines LinesAlong(const cv::Mat& picture, cv::Rect bars, bool alongRows, int reach);
