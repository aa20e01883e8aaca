#include "decode/EanWidths.h"

#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

namespace {

using namespace ean;
constexpr int kDigits = 2 * kHalfDigits;

// A digit's widths in modules in the L code, space first; the G code is them reversed (space
// first too), the R code them again, bar first.
constexpr std::array<std::array<int, kDigitElements>, 10> kLWidths = {{
    {3, 2, 1, 1}, {2, 2, 2, 1}, {2, 1, 2, 2}, {1, 4, 1, 1}, {1, 1, 3, 2},
    {1, 2, 3, 1}, {1, 1, 1, 4}, {1, 3, 1, 2}, {1, 2, 1, 3}, {3, 1, 1, 2},
}};
// Which left-half digits are in the G code, by the first digit, which only this choice carries.
constexpr std::array<std::string_view, 10> kParities = {
    "LLLLLL", "LLGLGG", "LLGGLG", "LLGGGL", "LGLLGG", "LGGLLG", "LGGGLL", "LGLGLG", "LGLGGL", "LGGLGL",
};

// Spreads tried, in modules: beyond these a one-module space or bar is gone altogether.
constexpr double kMostSpread = 0.8;
constexpr double kSpreadStep = 0.02;
constexpr int kSpreads = static_cast<int>(2 * kMostSpread / kSpreadStep + 0.5) + 1;

// A digit that fits no pattern weighs no more than this (squared modules) in the choice of
// spread, so that one spoiled digit does not pull it.
constexpr double kDigitCostCap = 2.0;
// A reading is clear when every digit's widths lie this close to its pattern's (squared
// modules over four widths: a pattern at all, not a blur between two) and the nearest other
// valid reading fits worse by this much: two patterns lie 2 apart at the least (a module moved
// from one element to another), a 1 and a 7 lie 4 apart. A valid reading changes two digits
// at least, so the two smallest margins of a digit's pattern over its next nearest add up to
// no more than what it costs.
constexpr double kFitCost = 0.8;
constexpr double kClearance = 0.8;
constexpr double kNoMargin = std::numeric_limits<double>::max();

// One pattern's fit to measured widths as a function of the spread g:
// sum over elements of (measured - pattern - sign * g)^2 = a - 2 b g + n g^2.
struct Fit {
    double a = 0;
    double b = 0;
    double n = 0;
    double At(double g) const { return a - 2 * b * g + n * g * g; }
};

struct Pattern {
    int digit;
    bool g;  // the G code, of the left half
    std::array<int, kDigitElements> widths;
};

std::vector<Pattern> PatternsOf(bool left)
{
    std::vector<Pattern> patterns;
    for (int digit = 0; digit < 10; ++digit) {
        std::array<int, kDigitElements> reversed = kLWidths[digit];
        std::reverse(reversed.begin(), reversed.end());
        patterns.push_back({digit, false, kLWidths[digit]});
        if (left)
            patterns.push_back({digit, true, reversed});
    }
    return patterns;
}

const std::vector<Pattern>& Patterns(bool left)
{
    static const std::vector<Pattern> leftPatterns = PatternsOf(true);
    static const std::vector<Pattern> rightPatterns = PatternsOf(false);
    return left ? leftPatterns : rightPatterns;
}

double SpreadAt(int step)
{
    return -kMostSpread + step * kSpreadStep;
}

bool CheckDigitRight(std::string_view digits)
{
    int sum = 0;
    for (std::size_t i = 0; i < digits.size(); ++i)
        sum += (digits[i] - '0') * (i % 2 == 0 ? 1 : 3);
    return sum % 10 == 0;
}

// Every pattern's fit to each digit's widths, in that digit's module; left-half digits begin
// with a space, right-half ones with a bar.
struct Fits {
    std::array<std::vector<Fit>, kDigits> digits;
    Fit guards;
};

Fits FitsOf(const EanWidths& widths)
{
    Fits fits;
    std::array<double, kDigits> module{};
    for (int d = 0; d < kDigits; ++d) {
        const bool left = d < kHalfDigits;
        const int at = left ? kLeftAt + d * kDigitElements : kRightAt + (d - kHalfDigits) * kDigitElements;
        double sum = 0;
        for (int i = 0; i < kDigitElements; ++i)
            sum += widths[at + i];
        module[d] = sum / kDigitModules;
        for (const Pattern& pattern : Patterns(left)) {
            Fit fit;
            for (int i = 0; i < kDigitElements; ++i) {
                const double sign = (i % 2 == 0) == left ? -1 : 1;  // a space's width loses the spread
                const double off = widths[at + i] / module[d] - pattern.widths[i];
                fit.a += off * off;
                fit.b += sign * off;
                fit.n += 1;
            }
            fits.digits[d].push_back(fit);
        }
    }
    // Every guard element is one module: start and end bar-space-bar, centre space-bar-space-bar-space.
    const auto addGuard = [&](int at, double module, bool barFirst) {
        for (int i = 0; i < (at == kCentreAt ? kCentreElements : kGuardElements); ++i) {
            const double sign = (i % 2 == 0) == barFirst ? 1 : -1;
            const double off = widths[at + i] / module - 1;
            fits.guards.a += off * off;
            fits.guards.b += sign * off;
            fits.guards.n += 1;
        }
    };
    addGuard(0, module[0], true);
    addGuard(kCentreAt, (module[kHalfDigits - 1] + module[kHalfDigits]) / 2, false);
    addGuard(kEndGuardAt, module[kDigits - 1], true);
    return fits;
}

struct Nearest {
    int pattern = -1;
    double cost = std::numeric_limits<double>::max();
    double second = std::numeric_limits<double>::max();
};

Nearest NearestAt(const std::vector<Fit>& fits, double spread)
{
    Nearest nearest;
    for (int p = 0; p < static_cast<int>(fits.size()); ++p) {
        const double cost = fits[p].At(spread);
        if (cost < nearest.cost) {
            nearest.second = nearest.cost;
            nearest.pattern = p;
            nearest.cost = cost;
        } else if (cost < nearest.second) {
            nearest.second = cost;
        }
    }
    return nearest;
}

}  // namespace

EanReading ReadEanWidths(const EanWidths& widths)
{
    const Fits fits = FitsOf(widths);
    int bestStep = 0;
    double bestCost = std::numeric_limits<double>::max();
    for (int step = 0; step < kSpreads; ++step) {
        const double spread = SpreadAt(step);
        double cost = fits.guards.At(spread);
        for (const std::vector<Fit>& digit : fits.digits)
            cost += std::min(kDigitCostCap, NearestAt(digit, spread).cost);
        if (cost < bestCost) {
            bestCost = cost;
            bestStep = step;
        }
    }
    EanReading reading;
    reading.spread = SpreadAt(bestStep);
    reading.cost = bestCost / kEanElements;
    double worstCost = 0;
    std::array<double, 2> leastMargins{kNoMargin, kNoMargin};
    std::string parity;
    std::string digits(1, '?');
    for (int d = 0; d < kDigits; ++d) {
        const bool left = d < kHalfDigits;
        const Nearest nearest = NearestAt(fits.digits[d], reading.spread);
        const Pattern& pattern = Patterns(left)[nearest.pattern];
        digits += static_cast<char>('0' + pattern.digit);
        if (left)
            parity += pattern.g ? 'G' : 'L';
        worstCost = std::max(worstCost, nearest.cost);
        const double margin = nearest.second - nearest.cost;
        if (margin < leastMargins[1])
            leastMargins[1] = margin;
        if (leastMargins[1] < leastMargins[0])
            std::swap(leastMargins[0], leastMargins[1]);
    }
    const auto first = std::find(kParities.begin(), kParities.end(), parity);
    if (first != kParities.end())
        digits[0] = static_cast<char>('0' + (first - kParities.begin()));
    reading.valid = first != kParities.end() && CheckDigitRight(digits);
    reading.digits = std::move(digits);
    reading.clear = worstCost <= kFitCost && leastMargins[0] + leastMargins[1] >= kClearance;
    return reading;
}
