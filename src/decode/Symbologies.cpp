#include "decode/Symbologies.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace {
constexpr std::array<std::string_view, 3> kTwoDimensional{"QR-Code", "PDF417", "SQ-Code"};
constexpr std::array<std::string_view, 2> kAddOns{"EAN-2", "EAN-5"};
constexpr std::size_t kEan13Digits = 13;
constexpr std::size_t kUpcADigits = 12;
constexpr std::array<std::size_t, 2> kAddOnDigits{2, 5};
}  // namespace

bool IsLinear(std::string_view typeName)
{
    return std::find(kTwoDimensional.begin(), kTwoDimensional.end(), typeName) == kTwoDimensional.end();
}

bool IsAddOn(std::string_view typeName)
{
    return std::find(kAddOns.begin(), kAddOns.end(), typeName) != kAddOns.end();
}

void NameEan13(SymbolHit& symbol)
{
    if (symbol.data.starts_with("978") || symbol.data.starts_with("979")) {
        symbol.typeName = "ISBN-13";
    } else if (symbol.data.starts_with('0')) {
        symbol.typeName = "UPC-A";
        symbol.data.erase(0, 1);
    } else {
        symbol.typeName = "EAN-13";
    }
}

std::optional<SymbolHit> MainSymbolOf(const SymbolHit& composite)
{
    const std::string& digits = composite.data;
    if (composite.typeName != "COMPOSITE" ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }))
        return std::nullopt;
    for (const std::size_t addOn : kAddOnDigits) {
        SymbolHit main = composite;
        if (digits.size() == kEan13Digits + addOn) {
            main.data = digits.substr(0, kEan13Digits);
            NameEan13(main);
            return main;
        }
        if (digits.size() == kUpcADigits + addOn) {
            main.typeName = "UPC-A";
            main.data = digits.substr(0, kUpcADigits);
            return main;
        }
    }
    return std::nullopt;
}
