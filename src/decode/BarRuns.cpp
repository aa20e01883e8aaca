#include "decode/BarRuns.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

namespace {

// An extreme stands out from its neighbours by this share of the contrast about it (within
// the caller's reach), by kNoiseSteps times the noise of the line, and by kLeastStep gray
// levels: grain and JPEG ringing stay below it, and a glare or a shadow over part of the
// symbol lowers it there only.
constexpr float kStepShare = 0.15F;
constexpr float kNoiseSteps = 7;
constexpr float kLeastStep = 8;
// The noise of a pixel, as a standard deviation, from the median difference of two pixels
// that would be alike without it: the median of |N(0, 2 sigma^2)| is 0.954 sigma.
constexpr float kMedianToSigma = 1 / 0.954F;

struct Extreme {
    std::size_t at;
    float value;
    bool dark;
};

// Alternating darkest and lightest samples, each differing from the one before by the step
// at least (a hysteresis that noise within a run does not cross).
std::vector<Extreme> ExtremesOf(std::span<const float> profile, std::span<const float> steps)
{
    std::vector<Extreme> extremes;
    if (profile.empty())
        return extremes;
    Extreme lightest{0, profile[0], false};
    Extreme darkest{0, profile[0], true};
    int seeking = 0;  // +1 a light extreme next, -1 a dark one, 0 either
    for (std::size_t i = 1; i < profile.size(); ++i) {
        const float value = profile[i];
        const float step = steps[i];
        if (seeking >= 0 && value > lightest.value)
            lightest = {i, value, false};
        if (seeking <= 0 && value < darkest.value)
            darkest = {i, value, true};
        if (seeking >= 0 && lightest.value - value >= step) {
            extremes.push_back(lightest);
            seeking = -1;
            darkest = {i, value, true};
        } else if (seeking <= 0 && value - darkest.value >= step) {
            extremes.push_back(darkest);
            seeking = 1;
            lightest = {i, value, false};
        }
    }
    if (seeking != 0)
        extremes.push_back(seeking > 0 ? lightest : darkest);
    return extremes;
}

// Where the profile crosses midway between two neighbouring extremes; the middle of the first
// and last crossing when noise makes it cross more than once.
double EdgeBetween(std::span<const float> profile, const Extreme& one, const Extreme& next)
{
    const float middle = (one.value + next.value) / 2;
    double first = -1;
    double last = -1;
    for (std::size_t i = one.at; i < next.at; ++i) {
        const float here = profile[i] - middle;
        const float there = profile[i + 1] - middle;
        if ((here <= 0) == (there <= 0))
            continue;
        const double at = static_cast<double>(i) + here / (here - there);
        if (first < 0)
            first = at;
        last = at;
    }
    return first < 0 ? static_cast<double>(one.at + next.at) / 2 : (first + last) / 2;
}

// The gray values along row `row` of lines, each the mean of it and the rows beside it: a
// pixel's noise weighs less, while a turned symbol's bars move too little to blur.
struct Profile {
    std::vector<float> values;
    float noise;  // standard deviation of the values' noise
};

Profile ProfileOf(const cv::Mat& lines, int row)
{
    cv::Mat band;
    const int top = std::max(0, row - 1);
    const int bottom = std::min(lines.rows, row + 2);
    cv::reduce(lines.rowRange(top, bottom), band, 0, cv::REDUCE_AVG, CV_32F);
    Profile profile{std::vector<float>(band.begin<float>(), band.end<float>()), 0};
    // Along the bars the picture changes by its noise alone: the outer rows of the band tell it.
    if (bottom - top > 2) {
        std::vector<float> differences(lines.cols);
        for (int x = 0; x < lines.cols; ++x)
            differences[x] = std::abs(static_cast<float>(lines.at<std::uint8_t>(top, x)) - lines.at<std::uint8_t>(bottom - 1, x));
        const auto median = differences.begin() + static_cast<std::ptrdiff_t>(differences.size() / 2);
        std::nth_element(differences.begin(), median, differences.end());
        profile.noise = *median * kMedianToSigma / std::sqrt(static_cast<float>(bottom - top));
    }
    return profile;
}

// The step each sample's extreme must clear: a share of the range of gray about it.
std::vector<float> StepsOf(const Profile& line, int reach)
{
    const std::vector<float>& profile = line.values;
    const cv::Mat values(1, static_cast<int>(profile.size()), CV_32F, const_cast<float*>(profile.data()));
    const cv::Mat kernel = cv::Mat::ones(1, 2 * reach + 1, CV_8U);
    cv::Mat lightest;
    cv::Mat darkest;
    cv::dilate(values, lightest, kernel, cv::Point(-1, -1), 1, cv::BORDER_REPLICATE);
    cv::erode(values, darkest, kernel, cv::Point(-1, -1), 1, cv::BORDER_REPLICATE);
    std::vector<float> steps(profile.size());
    for (std::size_t i = 0; i < steps.size(); ++i)
        steps[i] = std::max({kLeastStep, kNoiseSteps * line.noise,
                             kStepShare * (lightest.at<float>(static_cast<int>(i)) - darkest.at<float>(static_cast<int>(i)))});
    return steps;
}

}  // namespace

std::vector<BarRun> RunsAlong(std::span<const float> profile, std::span<const float> steps)
{
    if (steps.size() != profile.size())
        return {};
    const std::vector<Extreme> extremes = ExtremesOf(profile, steps);
    std::vector<BarRun> runs;
    double begin = 0;
    for (std::size_t i = 0; i < extremes.size(); ++i) {
        const double end = i + 1 < extremes.size() ? EdgeBetween(profile, extremes[i], extremes[i + 1])
                                                   : static_cast<double>(profile.size());
        runs.push_back({begin, end, extremes[i].dark});
        begin = end;
    }
    return runs;
}

std::vector<BarRun> RunsAcross(const cv::Mat& lines, int row, int contrastReach)
{
    const Profile profile = ProfileOf(lines, row);
    return RunsAlong(profile.values, StepsOf(profile, contrastReach));
}

BarLines LinesAlong(const cv::Mat& picture, cv::Rect bars, bool alongRows, int reach)
{
    const cv::Rect inLines = alongRows ? bars : cv::Rect(bars.y, bars.x, bars.height, bars.width);
    const int across = alongRows ? picture.cols : picture.rows;
    const int begin = std::max(0, inLines.x - reach);
    const int end = std::min(across, inLines.x + inLines.width + reach);
    const cv::Rect region = alongRows ? cv::Rect(begin, inLines.y, end - begin, inLines.height)
                                      : cv::Rect(inLines.y, begin, inLines.height, end - begin);
    return {alongRows ? picture(region) : cv::Mat(picture(region).t()), static_cast<double>(inLines.x - begin),
            static_cast<double>(inLines.width)};
}
