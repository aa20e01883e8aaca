#include "decode/Symbologies.h"

#include <algorithm>
#include <array>

namespace {
constexpr std::array<std::string_view, 3> kTwoDimensional{"QR-Code", "PDF417", "SQ-Code"};
constexpr std::array<std::string_view, 2> kAddOns{"EAN-2", "EAN-5"};
}  // namespace

bool IsLinear(std::string_view typeName)
{
    return std::find(kTwoDimensional.begin(), kTwoDimensional.end(), typeName) == kTwoDimensional.end();
}

bool IsAddOn(std::string_view typeName)
{
    return std::find(kAddOns.begin(), kAddOns.end(), typeName) != kAddOns.end();
}
