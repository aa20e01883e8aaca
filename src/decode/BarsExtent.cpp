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

// Two equal lengths of 8-bit gray summed in one pass, for their spread and correlation: the
// walk below measures three candidate lines for every line of the symbol.
struct PairSums {
    std::int64_t count = 0;
    std::int64_t one = 0;
    std::int64_t other = 0;
    std::int64_t oneSquared = 0;
    std::int64_t otherSquared = 0;
    std::int64_t product = 0;
};

PairSums SumsOf(const std::uint8_t* one, const std::uint8_t* other, int length)
{
    PairSums sums;
    sums.count = length;
    for (int i = 0; i < length; ++i) {
        const std::int64_t a = one[i];
        const std::int64_t b = other[i];
        sums.one += a;
        sums.other += b;
        sums.oneSquared += a * a;
        sums.otherSquared += b * b;
        sums.product += a * b;
    }
    return sums;
}

// Standard deviation of a line's gray levels, from its sums.
double Spread(std::int64_t count, std::int64_t sum, std::int64_t sumSquared)
{
    const double n = static_cast<double>(count);
    return std::sqrt(std::max(0.0, static_cast<double>(count * sumSquared - sum * sum)) / (n * n));
}

double Contrast(const cv::Mat& line)
{
    const PairSums sums = SumsOf(line.ptr<std::uint8_t>(), line.ptr<std::uint8_t>(), line.cols);
    return Spread(sums.count, sums.one, sums.oneSquared);
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
double Correlation(const PairSums& sums)
{
    const double oneSpread = Spread(sums.count, sums.one, sums.oneSquared);
    const double otherSpread = Spread(sums.count, sums.other, sums.otherSquared);
    if (oneSpread < kFlat || otherSpread < kFlat)
        return 0;
    const double n = static_cast<double>(sums.count);
    const double covariance = static_cast<double>(sums.count * sums.product - sums.one * sums.other) / (n * n);
    return covariance / (oneSpread * otherSpread);
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
            const PairSums sums = SumsOf(before.ptr<std::uint8_t>(), picture.ptr<std::uint8_t>(next) + left, end - begin);
            const bool keepsContrast = Spread(sums.count, sums.other, sums.otherSquared) >= kKeptContrast * contrast;
            const double similar = keepsContrast ? Correlation(sums) : -1;
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
