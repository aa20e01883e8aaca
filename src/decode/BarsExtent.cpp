#include "decode/BarsExtent.h"

#include <opencv2/core.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// A line belongs to the symbol while it correlates this well with the line before it (bars
// give near 1, the quiet zone or a picture beyond the symbol near 0), and keeps this much of
// the contrast of the line it was read along: a smooth background correlates with itself too.
constexpr double kSameBars = 0.6;
constexpr double kKeptContrast = 0.5;
// ...and swings between dark and light at least half as often as the read's own line does, by
// a quarter of that line's range: one straight edge (a shadow's, a tilted label's border)
// also correlates from line to line, and would be followed far beyond the bars.
constexpr double kLeastSwingsShare = 0.5;
constexpr double kSwingShare = 0.25;
constexpr int kMostShift = 1;  // pixels a turned symbol's bars move from one line to the next
constexpr double kFlat = 1e-6;  // a line of one shade has no bars

double Contrast(const cv::Mat& line)
{
    cv::Scalar mean;
    cv::Scalar deviation;
    cv::meanStdDev(line, mean, deviation);
    return deviation[0];
}

// How many times a line (8-bit gray) turns from dark to light or back by `by` gray levels at least.
int SwingsOf(const cv::Mat& line, double by)
{
    int swings = 0;
    double low = line.at<std::uint8_t>(0);
    double high = low;
    int rising = 0;  // +1 after a swing up, -1 after one down, 0 before the first
    for (int i = 1; i < line.cols; ++i) {
        const double value = line.at<std::uint8_t>(i);
        high = std::max(high, value);
        low = std::min(low, value);
        if (rising <= 0 && value - low >= by) {
            ++swings;
            rising = 1;
            high = value;
        } else if (rising >= 0 && high - value >= by) {
            ++swings;
            rising = -1;
            low = value;
        }
    }
    return swings;
}

// Pearson correlation of two profiles of equal length; 0 when either is flat.
double Correlation(const cv::Mat& one, const cv::Mat& other)
{
    cv::Scalar meanOne;
    cv::Scalar deviationOne;
    cv::Scalar meanOther;
    cv::Scalar deviationOther;
    cv::meanStdDev(one, meanOne, deviationOne);
    cv::meanStdDev(other, meanOther, deviationOther);
    if (deviationOne[0] < kFlat || deviationOther[0] < kFlat)
        return 0;
    cv::Mat a;
    cv::Mat b;
    one.convertTo(a, CV_64F, 1, -meanOne[0]);
    other.convertTo(b, CV_64F, 1, -meanOther[0]);
    return a.dot(b) / (static_cast<double>(a.total()) * deviationOne[0] * deviationOther[0]);
}

// Rows of picture (its columns for a symbol read along columns, on the transposed picture)
// from `from` stepping by `step` while they show the bars of the row before; returns the last
// row that does. The profile spans [begin, end) and moves with the best shift of each row.
int Follow(const cv::Mat& picture, int from, int step, int begin, int end)
{
    const cv::Mat read = picture(cv::Range(from, from + 1), cv::Range(begin, end));
    const double contrast = Contrast(read);
    double darkest = 0;
    double lightest = 0;
    cv::minMaxLoc(read, &darkest, &lightest);
    const double swing = kSwingShare * (lightest - darkest);
    const double leastSwings = kLeastSwingsShare * SwingsOf(read, swing);
    int row = from;
    int offset = 0;
    while (true) {
        const int next = row + step;
        if (next < 0 || next >= picture.rows)
            return row;
        const cv::Mat before = picture(cv::Range(row, row + 1), cv::Range(begin + offset, end + offset));
        double best = -1;
        int bestShift = 0;
        for (int shift = -kMostShift; shift <= kMostShift; ++shift) {
            const int left = begin + offset + shift;
            if (left < 0 || end + offset + shift > picture.cols)
                continue;
            const cv::Mat line = picture(cv::Range(next, next + 1), cv::Range(left, left + (end - begin)));
            const double similar = Contrast(line) >= kKeptContrast * contrast ? Correlation(before, line) : -1;
            if (similar > best) {
                best = similar;
                bestShift = shift;
            }
        }
        if (best < kSameBars)
            return row;
        const int left = begin + offset + bestShift;
        if (SwingsOf(picture(cv::Range(next, next + 1), cv::Range(left, left + (end - begin))), swing) < leastSwings)
            return row;
        row = next;
        offset += bestShift;
    }
}

}  // namespace

cv::Rect BarsExtent(const cv::Mat& picture, cv::Rect read)
{
    read &= cv::Rect(0, 0, picture.cols, picture.rows);
    if (read.area() == 0)
        return read;
    const bool alongRows = read.width >= read.height;
    const cv::Mat lines = alongRows ? picture : picture.t();
    const cv::Rect inLines = alongRows ? read : cv::Rect(read.y, read.x, read.height, read.width);
    const int middle = inLines.y + inLines.height / 2;
    const int begin = inLines.x;
    const int end = inLines.x + inLines.width;
    const int first = std::min(inLines.y, Follow(lines, middle, -1, begin, end));
    const int last = std::max(inLines.y + inLines.height - 1, Follow(lines, middle, 1, begin, end));
    const cv::Rect extent(begin, first, end - begin, last - first + 1);
    return alongRows ? extent : cv::Rect(extent.y, extent.x, extent.height, extent.width);
}
