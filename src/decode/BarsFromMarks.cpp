#include "decode/BarsFromMarks.h"

#include "decode/BarRuns.h"
#include "decode/BarsExtent.h"

#include <opencv2/core.hpp>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

namespace {

// A quiet zone is 10 narrow bars wide or more; a bar or a space within a symbol 4 modules at
// most (Code 128), or 3 narrow bars (Code 39, Codabar). A run this many narrow ones wide ends
// the symbol.
constexpr double kQuietZoneInNarrow = 7;
// The narrow width: the quarter of the runs about the marks that are narrowest.
constexpr std::ptrdiff_t kRunsForNarrow = 12;  // on either side of the bar at the marks
constexpr double kNarrowQuantile = 0.25;
// The bar at the marks lies at most this far from them (pixels).
constexpr double kMarksOffBar = 3;
// Extremes stand out by a share of the contrast within this reach (pixels, or a share of the
// line when that is longer): wider than a module at any scale a reader resolves.
constexpr int kLeastContrastReach = 16;
constexpr int kContrastReachShare = 20;

double Width(const BarRun& run)
{
    return run.end - run.begin;
}

// Where the bars of the symbol that has a bar within [from, to] begin and end along runs.
std::optional<std::pair<double, double>> BarsAbout(const std::vector<BarRun>& runs, double from, double to)
{
    const auto offMarks = [&](const BarRun& run) {
        return run.dark ? std::max({0.0, run.begin - to, from - run.end}) : HUGE_VAL;
    };
    const auto at = std::min_element(runs.begin(), runs.end(), [&](const BarRun& one, const BarRun& other) {
        return offMarks(one) < offMarks(other);
    });
    if (at == runs.end() || offMarks(*at) > kMarksOffBar)
        return std::nullopt;
    const auto index = at - runs.begin();
    const auto size = static_cast<std::ptrdiff_t>(runs.size());
    std::vector<double> widths;
    for (auto i = std::max<std::ptrdiff_t>(0, index - kRunsForNarrow); i < std::min(size, index + kRunsForNarrow + 1); ++i)
        widths.push_back(Width(runs[static_cast<std::size_t>(i)]));
    const auto narrow = widths.begin() + static_cast<std::ptrdiff_t>(kNarrowQuantile * static_cast<double>(widths.size()));
    std::nth_element(widths.begin(), narrow, widths.end());
    const double quietZone = kQuietZoneInNarrow * *narrow;
    auto last = at;
    for (auto run = at; run != runs.end() && Width(*run) < quietZone; ++run)
        if (run->dark)
            last = run;
    auto first = at;
    for (auto run = at; Width(*run) < quietZone; --run) {
        if (run->dark)
            first = run;
        if (run == runs.begin())
            break;
    }
    return std::make_pair(first->begin, last->end);
}

}  // namespace

bool MarksOnlyAnEnd(cv::Rect marked, bool alongRows)
{
    if (marked.empty())
        return false;
    return alongRows ? marked.width <= marked.height : marked.height <= marked.width;
}

cv::Rect BarsFromMarks(const cv::Mat& picture, cv::Rect marked, bool alongRows)
{
    const cv::Rect whole(0, 0, picture.cols, picture.rows);
    marked &= whole;
    if (picture.type() != CV_8UC1 || marked.area() == 0)
        return {};
    // The marks' lines, and one on either side, across the whole picture.
    const cv::Rect lines = alongRows ? cv::Rect(0, marked.y - 1, picture.cols, marked.height + 2)
                                     : cv::Rect(marked.x - 1, 0, marked.width + 2, picture.rows);
    const BarLines along = LinesAlong(picture, lines & whole, alongRows, 0);
    const int contrastReach = std::max(kLeastContrastReach, along.lines.cols / kContrastReachShare);
    const double from = alongRows ? marked.x : marked.y;
    const double to = alongRows ? marked.br().x : marked.br().y;
    const std::optional<std::pair<double, double>> bars =
        BarsAbout(RunsAcross(along.lines, along.lines.rows / 2, contrastReach), from, to);
    if (!bars)
        return {};
    const int first = static_cast<int>(bars->first);
    const int length = static_cast<int>(bars->second) - first;
    if (length <= (alongRows ? marked.height : marked.width))
        return {};  // too short to tell its length from its height
    const cv::Rect read = alongRows ? cv::Rect(first, marked.y, length, marked.height)
                                    : cv::Rect(marked.x, first, marked.width, length);
    return BarsExtent(picture, read & whole);
}
