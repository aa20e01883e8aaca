#pragma once
// The digits an EAN-13's bar and space widths along one line print, with the ink spread taken
// out: one amount of width that every bar gained and every space lost.

#include <array>
#include <string>
#include <string_view>

// The symbol's elements from the start guard's first bar to the end guard's last: 3 guard,
// 24 left-half, 5 centre, 24 right-half and 3 guard widths, in pixels (any unit). Every guard
// element is a module wide, every digit four elements and seven modules.
namespace ean {
inline constexpr int kHalfDigits = 6;
inline constexpr int kGuardElements = 3;
inline constexpr int kCentreElements = 5;
inline constexpr int kDigitElements = 4;
inline constexpr double kDigitModules = 7;
inline constexpr int kLeftAt = kGuardElements;
inline constexpr int kCentreAt = kLeftAt + kHalfDigits * kDigitElements;
inline constexpr int kRightAt = kCentreAt + kCentreElements;
inline constexpr int kEndGuardAt = kRightAt + kHalfDigits * kDigitElements;
inline constexpr double kSymbolModules = 95;
}  // namespace ean
inline constexpr int kEanElements = ean::kEndGuardAt + ean::kGuardElements;
static_assert(kEanElements == 59);
using EanWidths = std::array<double, kEanElements>;

struct EanReading {
    std::string digits;  // 13; '?' first when the left half's codes name no first digit
    bool valid = false;  // a first digit named, and the check digit right
    // Every digit fits its pattern closely, and any other valid reading (one that changes two
    // digits at least, since the check digit catches one) fits clearly worse.
    bool clear = false;
    double cost = 0;     // squared modules per element off the patterns read: how well they fit
    double spread = 0;   // modules each bar gained (lost, below 0)
};

// Reads widths as the ink spread that fits them best and, at that spread, the digit each
// four elements come nearest (the first digit from which left-half digits are in the G code).
// Each digit is measured in its own module, a seventh of its four widths, which follows a
// symbol foreshortened by perspective; the guards take their neighbouring digits' module.
EanReading ReadEanWidths(const EanWidths& widths);
