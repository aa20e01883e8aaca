#pragma once
// Which symbologies each decoding path keeps, by ZBar's type names.

#include <array>
#include <span>
#include <string_view>

inline constexpr std::array<std::string_view, 6> CAMERA_TYPES{"QR-Code", "Codabar", "CODE-39",
                                                              "CODE-128", "EAN-13", "ISBN-13"};
inline constexpr std::array<std::string_view, 2> DROP_TYPES{"QR-Code", "Codabar"};

// Exact, case-sensitive equality with one of the list's entries: no trimming, no prefixes.
bool IsAccepted(std::string_view typeName, std::span<const std::string_view> list);
