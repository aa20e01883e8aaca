#include "decode/QuietZones.h"

#include "decode/BarRuns.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace {

// Lines across the bars, spread over this share of their height about its middle.
constexpr int kLinesCrossed = 5;
constexpr double kShareOfHeightCrossed = 0.6;
// Along a line, the bars of one symbol follow each other across spaces narrower than half a
// character (a Codabar or Code 39 character is 10 to 16 narrow bars wide; its widest space is
// 3, and the gap between characters 1 to 3): a quiet zone is 10 narrow bars or more. A dark
// run wider than a third of a character is no bar but the dark beyond a label's edge.
constexpr double kWidestGapInCharacters = 0.5;
constexpr double kWidestBarInCharacters = 0.35;
// The symbol's bars on a line reach this far past an end of the read: it ended early. The
// read's ends are its rectangle's, which a turned symbol's bars overstep a little.
constexpr double kBeyondInCharacters = 0.5;
// Extremes stand out by a share of the contrast within this share of the read's length.
constexpr double kShareOfLengthForContrast = 0.15;

// Where the bars of the symbol that holds position `at` begin and end along a line: from the
// bar at (or next to) it, outwards bar by bar across the gaps between them.
std::optional<std::pair<double, double>> SymbolAlong(const std::vector<BarRun>& runs, double at, double character)
{
    const auto isBar = [&](const BarRun& run) {
        return run.dark && run.end - run.begin <= kWidestBarInCharacters * character;
    };
    const auto near = std::min_element(runs.begin(), runs.end(), [&](const BarRun& one, const BarRun& other) {
        const auto distance = [&](const BarRun& run) {
            return isBar(run) ? std::max({0.0, run.begin - at, at - run.end}) : HUGE_VAL;
        };
        return distance(one) < distance(other);
    });
    if (near == runs.end() || !isBar(*near))
        return std::nullopt;
    const double widestGap = kWidestGapInCharacters * character;
    auto last = near;
    for (auto run = near + 1; run + 1 < runs.end() && run->end - run->begin < widestGap && isBar(*(run + 1)); run += 2)
        last = run + 1;
    auto first = near;
    for (auto run = near; run - runs.begin() >= 2 && (run - 1)->end - (run - 1)->begin < widestGap && isBar(*(run - 2));
         run -= 2)
        first = run - 2;
    return std::make_pair(first->begin, last->end);
}

}  // namespace

bool BarsGoOnPastRead(const cv::Mat& picture, cv::Rect bars, std::size_t characters)
{
    bars &= cv::Rect(0, 0, picture.cols, picture.rows);
    if (picture.type() != CV_8UC1 || characters == 0 || bars.area() == 0)
        return false;
    const bool alongRows = bars.width >= bars.height;
    const double character = (alongRows ? bars.width : bars.height) / static_cast<double>(characters);
    // Far enough past either end to see a whole character more.
    const BarLines along = LinesAlong(picture, bars, alongRows, static_cast<int>(std::ceil(2 * character)));
    const cv::Mat& lines = along.lines;
    const double first = along.barsBegin;  // the read's ends along the lines
    const double last = first + along.barsLength;
    const double beyond = kBeyondInCharacters * character;
    const int contrastReach = std::max(1, static_cast<int>(kShareOfLengthForContrast * along.barsLength));

    int crossed = 0;
    int goOn = 0;
    for (int k = 0; k < kLinesCrossed; ++k) {
        const double share = (1 - kShareOfHeightCrossed) / 2 + kShareOfHeightCrossed * k / (kLinesCrossed - 1);
        const int row = std::clamp(static_cast<int>(share * lines.rows), 0, lines.rows - 1);
        const std::optional<std::pair<double, double>> symbol =
            SymbolAlong(RunsAcross(lines, row, contrastReach), (first + last) / 2, character);
        if (!symbol)
            continue;
        ++crossed;
        goOn += symbol->first < first - beyond || symbol->second > last + beyond;
    }
    return crossed > 0 && 2 * goOn > crossed;
}
