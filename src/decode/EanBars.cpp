#include "decode/EanBars.h"

#include "decode/BarRuns.h"
#include "decode/BarsExtent.h"
#include "decode/EanWidths.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

namespace {

using namespace ean;

constexpr std::size_t kDigitCount = 13;

// Lines across the bars, spread over this share of their height about its middle.
constexpr int kMostLines = 11;
constexpr double kLinesShare = 0.8;
// Each line reaches this share of the read's length beyond either end of it: an engine may
// have traced only half the symbol (ZBar reads each half of an EAN on its own), and the
// quiet zones lie beyond.
constexpr double kLineReach = 1.2;
constexpr int kLeastReach = 12;  // pixels
// Extremes stand out by a share of the contrast within this share of the read's length.
constexpr double kContrastReach = 0.15;
// A symbol between quiet zones of at least this many modules.
constexpr double kLeastQuiet = 2.5;
// Elements narrower or wider than these many modules (as the whole symbol's size gives them)
// cannot be an EAN's guards; a digit's module beyond these shares of the symbol's average is a
// window in the wrong place.
constexpr double kNarrowestGuard = 0.1;
constexpr double kWidestGuard = 2.5;
constexpr double kLeastDigitModule = 0.6;
constexpr double kMostDigitModule = 1.6;

// A line read of a symbol: for the given digits, for other ones, for other digits in its right
// half only (the left half's codes naming no first digit), or for none clearly.
enum class LineSays { Fits, Misfits, RightHalfMisfits, Nothing };

// Whether widths could be an EAN-13's: its guards and digits about as wide as its size says.
bool EanLike(const EanWidths& widths, double module)
{
    const auto guardLike = [&](int from, int count) {
        return std::all_of(widths.begin() + from, widths.begin() + from + count, [&](double width) {
            return width >= kNarrowestGuard * module && width <= kWidestGuard * module;
        });
    };
    if (!guardLike(0, kGuardElements) || !guardLike(kCentreAt, kCentreElements) ||
        !guardLike(kEndGuardAt, kGuardElements))
        return false;
    for (int from = kGuardElements; from < kEndGuardAt; from += kDigitElements) {
        if (from == kCentreAt)
            from += kCentreElements;
        double sum = 0;
        for (int i = from; i < from + kDigitElements; ++i)
            sum += widths[i];
        if (sum < kLeastDigitModule * kDigitModules * module || sum > kMostDigitModule * kDigitModules * module)
            return false;
    }
    return true;
}

// The candidate symbols on a line that cover position `holding`: 59 runs from a bar to a bar
// between quiet zones, each read both ways, since the symbol may stand on its head.
std::vector<EanWidths> WindowsOf(const std::vector<BarRun>& runs, double holding)
{
    std::vector<EanWidths> windows;
    for (std::size_t at = 1; at + kEanElements < runs.size(); ++at) {
        const BarRun& first = runs[at];
        const BarRun& last = runs[at + kEanElements - 1];
        if (!first.dark || first.begin > holding || last.end < holding)
            continue;
        const double module = (last.end - first.begin) / kSymbolModules;
        const BarRun& before = runs[at - 1];
        const BarRun& after = runs[at + kEanElements];
        if (before.end - before.begin < kLeastQuiet * module || after.end - after.begin < kLeastQuiet * module)
            continue;
        EanWidths widths{};
        for (int i = 0; i < kEanElements; ++i)
            widths[i] = runs[at + i].end - runs[at + i].begin;
        if (!EanLike(widths, module))
            continue;
        windows.push_back(widths);
        std::reverse(widths.begin(), widths.end());
        windows.push_back(widths);
    }
    return windows;
}

LineSays SayOf(const EanReading& reading, std::string_view digits13)
{
    if (!reading.clear)
        return LineSays::Nothing;
    if (reading.digits == digits13)
        return LineSays::Fits;
    if (reading.valid)
        return LineSays::Misfits;
    // The right half has one code a digit, and no parity that must name a first digit.
    const std::size_t rightHalf = 1 + kHalfDigits;
    return reading.digits.substr(rightHalf) != digits13.substr(rightHalf) ? LineSays::RightHalfMisfits
                                                                          : LineSays::Nothing;
}

// What the lines across `bars` say, lines along rows (or, not alongRows, along columns)
// reaching beyond the read's ends.
struct Tally {
    int wholeLines = 0;  // on which a symbol was found
    int fits = 0;
    int misfits = 0;
    int rightHalfMisfits = 0;
};

Tally TallyLines(const cv::Mat& picture, cv::Rect bars, bool alongRows, std::string_view digits13)
{
    const double length = alongRows ? bars.width : bars.height;
    const int reach = std::max(kLeastReach, static_cast<int>(kLineReach * length));
    const BarLines along = LinesAlong(picture, bars, alongRows, reach);
    const cv::Mat& lines = along.lines;
    const double middle = along.barsBegin + along.barsLength / 2;
    const int contrastReach = std::max(1, static_cast<int>(kContrastReach * along.barsLength));

    Tally tally;
    const int count = std::min(kMostLines, lines.rows);
    const double first = lines.rows * (1 - kLinesShare) / 2;
    const double stride = count > 1 ? lines.rows * kLinesShare / (count - 1) : 0;
    for (int k = 0; k < count; ++k) {
        const int row = count == 1 ? lines.rows / 2 : std::clamp(static_cast<int>(first + k * stride), 0, lines.rows - 1);
        const std::vector<BarRun> runs = RunsAcross(lines, row, contrastReach);
        std::optional<EanReading> best;
        for (const EanWidths& window : WindowsOf(runs, middle)) {
            const EanReading reading = ReadEanWidths(window);
            if (!best || reading.cost < best->cost)
                best = reading;
        }
        if (!best)
            continue;
        ++tally.wholeLines;
        switch (SayOf(*best, digits13)) {
        case LineSays::Fits:
            ++tally.fits;
            break;
        case LineSays::Misfits:
            ++tally.misfits;
            break;
        case LineSays::RightHalfMisfits:
            ++tally.rightHalfMisfits;
            break;
        case LineSays::Nothing:
            break;
        }
    }
    return tally;
}

}  // namespace

BarsSay CheckEanBars(const cv::Mat& picture, cv::Rect place, std::string_view digits13)
{
    if (picture.empty() || picture.type() != CV_8UC1 || digits13.size() != kDigitCount ||
        !std::all_of(digits13.begin(), digits13.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return BarsSay::Unknown;
    const cv::Rect bars = BarsExtent(picture, place);
    if (bars.area() == 0)
        return BarsSay::Unknown;
    // The read runs along its place's longer side; a place near square (a symbol turned about
    // 45 degrees, or one traced whole) may be read either way.
    const bool alongRows = place.width >= place.height;
    Tally tally = TallyLines(picture, bars, alongRows, digits13);
    if (tally.wholeLines == 0)
        tally = TallyLines(picture, bars, !alongRows, digits13);
    // A right half read as other digits on more lines than the whole symbol fits: in a small
    // picture the left half's codes blur between a 1, a 4 and a 7, and lines that read them
    // as no valid symbol still read the right half plainly.
    if (tally.misfits > 0 || tally.rightHalfMisfits > tally.fits)
        return BarsSay::Misfits;
    return tally.fits >= 2 ? BarsSay::Fits : BarsSay::Unknown;
}
